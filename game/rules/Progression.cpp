#include "game/rules/Progression.h"

#include "framework/core/NumberClamp.h"
#include "framework/core/NumberText.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(Progression, &BaseObject::typeRecord)
QUOVEL_REGISTER_CLASS(Progression)

Progression::Progression(float constant)
    : start(constant), value(constant), delta(0.0f), cap(constant) {}

Progression::Progression(float start, float delta, float cap)
    : start(start), value(start), delta(delta), cap(cap) {}

Progression::Progression(AbstractProperty* definition) {
    read(definition);
}

void Progression::read(AbstractProperty* property) {
    if (property != nullptr && property->isValue()) {
        value = parseFloat(property->getText());
        start = value;
        cap = value;
        delta = 0.0f;
        return;
    }
    PropertyNode* node = nodeOrDummy(property);
    value = parseFloat(node->getChildValue("start")->getText());
    delta = parseFloat(node->getChildValue("delta")->getText());
    cap = parseFloat(node->getChildValue("cap")->getText());
    start = value;
}

float Progression::advance() {
    value += delta;
    if (delta < 0.0f && value < cap) {
        value = cap;
    } else if (delta > 0.0f && value > cap) {
        value = cap;
    }
    return value;
}

int32_t Progression::getInt() const {
    return truncToInt32(value);
}
