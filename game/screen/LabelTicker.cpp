#include "game/screen/LabelTicker.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Sound.h"
#include "game/visuals/ModifierLabelValue.h"

QUOVEL_DEFINE_TYPE(LabelTicker, &GameNode::typeRecord)
QUOVEL_REGISTER_CLASS(LabelTicker)

namespace {

// The index of `word` among `choices`, or `current` when it names none.
int32_t choiceIndex(const std::string& word, std::initializer_list<const char*> choices,
                    int32_t current) {
    int32_t index = 0;
    for (const char* choice : choices) {
        if (word == choice) {
            return index;
        }
        ++index;
    }
    return current;
}

}  // namespace

LabelTicker::LabelTicker(PropertyNode* definition) : GameNode(definition) {
    PropertyNode* node = nodeOrDummy(definition);
    // The duration is the one setting fixed at construction.
    const AbstractProperty* time = node->getChild("time");
    counter = new ModifierLabelValue(time ? time->getInt() : 0, 0, 0, 10, std::wstring());
    counter->setFinishes(false);
    if (AbstractProperty* entry = node->getChild("label")) {
        RefHolder<BaseObject> made(
            ObjectFactoryContainer::instance()->createObject(nodeOrDummy(entry)));
        if (Label* label = objectCast<Label>(made.get())) {
            counter->setLabel(label);
            appendChild(label, this);
        }
    }
    if (AbstractProperty* value = node->getChild("type")) {
        counter->setRule(
            choiceIndex(value->getValue(), {"value", "tenfold", "time"}, counter->getRule()));
    }
    if (AbstractProperty* value = node->getChild("format")) {
        counter->setFormat(
            choiceIndex(value->getValue(), {"plain", "dot", "time"}, counter->getFormat()));
    }
    if (AbstractProperty* value = node->getChild("sound")) {
        std::string section;
        if (AbstractProperty* sectionValue = node->getChild("soundsection")) {
            section = sectionValue->getValue();
        }
        counter->setTickSound(findLoaded<Sound>(value->getValue(), section).get());
    }
    if (AbstractProperty* value = node->getChild("extra")) {
        counter->setExtra(value->getText());
    }
    if (AbstractProperty* value = node->getChild("mul")) {
        counter->setMul(value->getFloat());
    }
    if (AbstractProperty* value = node->getChild("add")) {
        counter->setAdd(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("interval")) {
        counter->setInterval(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("value")) {
        counter->setStartValue(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("target")) {
        counter->setTargetValue(value->getInt());
    }
    counter->formatLabelNumber();
    addModifier(this, counter.get(), true);
}

LabelTicker::~LabelTicker() = default;
