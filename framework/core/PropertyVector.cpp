#include "framework/core/PropertyVector.h"

#include <algorithm>

#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(PropertyVector, &AbstractProperty::typeRecord)

PropertyVector::PropertyVector(std::string name)
    : PropertyVector(KIND_VECTOR, "Vector", std::move(name)) {}

PropertyVector::PropertyVector(Kind kind, std::string typeWord, std::string name)
    : AbstractProperty(kind, std::move(typeWord), std::move(name)) {}

PropertyVector* PropertyVector::dummy() {
    // Made on first use and never freed, like DUMMY_VALUE.
    static PropertyVector* const instance = [] {
        auto* vector = new PropertyVector("DUMMY_VECTOR");
        vector->markPermanent();
        return vector;
    }();
    return instance;
}

AbstractProperty* PropertyVector::getChildAt(int32_t index) const {
    settleList();
    if (index < 0 || index >= getChildCount()) {
        return nullptr;
    }
    return children[static_cast<size_t>(index)].get();
}

AbstractProperty* PropertyVector::addChild(AbstractProperty* child) {
    if (child && !isDummy()) {
        settleList();
        children.emplace_back(child);
    }
    return child;
}

PropertyValue* PropertyVector::addBool(bool value) {
    if (isDummy()) {
        return nullptr;  // nothing would hold the new value
    }
    return static_cast<PropertyValue*>(addChild(PropertyValue::fromBool("", value)));
}

void PropertyVector::applySetupWithin(SetupWalk& walk) {
    if (!enterSetupWalk(walk)) {
        return;
    }
    settleList();
    // A copy: the walk may add to the elements' own trees.
    const std::vector<RefHolder<AbstractProperty>> elements = children;
    ++walk.depth;
    for (const auto& element : elements) {
        element->applySetupWithin(walk);
    }
    --walk.depth;
}
