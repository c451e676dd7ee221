#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/core/BaseObject.h"

class PropertyValue;
class PropertyNode;
class PropertyVector;

// One element of a property tree: a value, a node or a vector, with a name (the XML "id") and a
// type word (the XML tag). Reading a value from a property that is not one reads the empty
// null value instead, so lookups never fail hard.
class AbstractProperty : public BaseObject {
    QUOVEL_TYPE(AbstractProperty)
public:
    enum Kind : int32_t { KIND_NONE = 0, KIND_VALUE = 1, KIND_NODE = 2, KIND_VECTOR = 3 };

    // One applySetup walk. Every property is walked at most once (a setup shared by many nodes
    // is not expanded again below each of them, and a cycle ends), and the walk goes no deeper
    // than MAX_SETUP_DEPTH.
    struct SetupWalk {
        std::unordered_set<const AbstractProperty*> walked;
        size_t depth = 0;
        bool cutShort = false;
    };
    static constexpr size_t MAX_SETUP_DEPTH = 64;

    // The null objects answer null, so reference counting never deletes them.
    BaseObject* getObject() override;

    int32_t getKind() const { return kind; }
    bool isValue() const { return kind == KIND_VALUE; }
    bool isNode() const { return kind == KIND_NODE; }
    bool isVector() const { return kind == KIND_VECTOR; }
    // True for DUMMY_VALUE, DUMMY_NODE and DUMMY_VECTOR, which never change.
    bool isDummy() const { return permanent; }
    // A property that exists and is not one of the stand-ins above.
    static bool isReal(const AbstractProperty* property) {
        return property != nullptr && !property->isDummy();
    }

    const std::string& getName() const { return name; }
    void setName(std::string newName);
    // Empty for an untyped value (what an XML attribute becomes).
    const std::string& getTypeWord() const { return typeWord; }
    void setTypeWord(std::string word);

    // Readers of the value text; a property that is not a value reads as DUMMY_VALUE.
    const std::wstring& getText() const;
    std::string getValue() const;  // narrow (UTF-8)
    int32_t getInt() const;
    float getFloat() const;
    double getDouble() const;
    bool getBool() const;

    // Lets nodes inherit the children of the setups they name (see PropertyNode).
    void applySetup();
    // The walk behind applySetup.
    virtual void applySetupWithin(SetupWalk& walk) = 0;

protected:
    AbstractProperty(Kind kind, std::string typeWord, std::string name);
    // Makes this one of the run-long null objects.
    void markPermanent() { permanent = true; }
    // Enters this property into the walk; false when it was walked already or lies too deep.
    bool enterSetupWalk(SetupWalk& walk) const;

private:
    Kind kind;
    std::string typeWord;
    std::string name;
    bool permanent = false;
};

// The property as the wanted kind, or the matching null object when it is null or another kind.
PropertyValue* valueOrDummy(AbstractProperty* property);
PropertyNode* nodeOrDummy(AbstractProperty* property);
PropertyVector* vectorOrDummy(AbstractProperty* property);
