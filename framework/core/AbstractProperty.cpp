#include "framework/core/AbstractProperty.h"

#include "framework/core/NumberText.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/StringUtils.h"

// A root of the class tree: properties are BaseObjects in layout only.
QUOVEL_DEFINE_TYPE(AbstractProperty)

AbstractProperty::AbstractProperty(Kind kind, std::string typeWord, std::string name)
    : kind(kind), typeWord(std::move(typeWord)), name(std::move(name)) {}

BaseObject* AbstractProperty::getObject() {
    return permanent ? nullptr : this;
}

void AbstractProperty::setName(std::string newName) {
    if (!permanent) {
        name = std::move(newName);
    }
}

void AbstractProperty::setTypeWord(std::string word) {
    if (!permanent) {
        typeWord = std::move(word);
    }
}

const std::wstring& AbstractProperty::getText() const {
    const PropertyValue* value = isValue() ? static_cast<const PropertyValue*>(this) : DUMMY_VALUE;
    return value->text;
}

std::string AbstractProperty::getValue() const {
    return wstringToString(getText());
}

int32_t AbstractProperty::getInt() const {
    return parseInt(getText());
}

float AbstractProperty::getFloat() const {
    return parseFloat(getText());
}

double AbstractProperty::getDouble() const {
    return parseDouble(getText());
}

bool AbstractProperty::getBool() const {
    return parseBool(getText());
}

void AbstractProperty::applySetup() {
    SetupWalk walk;
    applySetupWithin(walk);
    if (walk.cutShort) {
        logProblem("setups nested deeper than " + std::to_string(MAX_SETUP_DEPTH) +
                   " levels were not applied below that depth");
    }
}

bool AbstractProperty::enterSetupWalk(SetupWalk& walk) const {
    if (walk.depth >= MAX_SETUP_DEPTH) {
        walk.cutShort = true;
        return false;
    }
    return walk.walked.insert(this).second;
}

PropertyValue* valueOrDummy(AbstractProperty* property) {
    return property && property->isValue() ? static_cast<PropertyValue*>(property) : DUMMY_VALUE;
}

PropertyNode* nodeOrDummy(AbstractProperty* property) {
    return property && property->isNode() ? static_cast<PropertyNode*>(property) : DUMMY_NODE;
}

PropertyVector* vectorOrDummy(AbstractProperty* property) {
    return property && property->isVector() ? static_cast<PropertyVector*>(property) : DUMMY_VECTOR;
}
