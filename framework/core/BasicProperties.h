#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "framework/core/BaseObject.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/RefHolder.h"

// The process-wide typed global values: every constant, text and reusable definition ("setup")
// that the property files declare, in eight tables by type, keyed by the property's name.
// Values arrive through the object factory: the type words "Integer", "Double", "Float",
// "Boolean", "String", "Text", "Node" and "Vector" are registered as handlers that store the
// property here and make no object.
//
// Readers insert a missing name with the type's default (0, false, empty, null) and return it,
// so a later store under that name overwrites the default.
class BasicProperties : public BaseObject {
    QUOVEL_TYPE(BasicProperties)
public:
    // Makes the singleton (holding one reference) unless it exists.
    static void createInstance();
    // Drops the singleton at shut-down.
    static void releaseInstance();
    // The singleton, or null before createInstance.
    static BasicProperties* instance();

    int32_t getInteger(const std::string& name);
    double getDouble(const std::string& name);
    float getFloat(const std::string& name);
    bool getBoolean(const std::string& name);
    const std::string& getString(const std::string& name);
    const std::wstring& getText(const std::string& name);
    bool hasText(const std::string& name) const;
    bool hasInteger(const std::string& name) const;
    bool hasFloat(const std::string& name) const;
    // Null when the name holds no node (nor vector).
    PropertyNode* getNode(const std::string& name);
    PropertyVector* getVector(const std::string& name);

    // Storing under an existing name replaces the old value.
    void setInteger(const std::string& name, int32_t value);
    void setDouble(const std::string& name, double value);
    void setFloat(const std::string& name, float value);
    void setBoolean(const std::string& name, bool value);
    void setString(const std::string& name, std::string value);
    void setText(const std::string& name, std::wstring value);
    void setNode(const std::string& name, PropertyNode* node);
    void setVector(const std::string& name, PropertyVector* vector);

    // The factory handlers: store the property under its name (in the singleton, made if
    // needed) and return null. A property of the wrong kind stores the null object's value.
    static BaseObject* storeInteger(AbstractProperty* property);
    static BaseObject* storeDouble(AbstractProperty* property);  // read as "%lf"
    static BaseObject* storeFloat(AbstractProperty* property);   // read as "%f"
    static BaseObject* storeBoolean(AbstractProperty* property);
    static BaseObject* storeString(AbstractProperty* property);  // kept narrow (UTF-8)
    static BaseObject* storeText(AbstractProperty* property);
    static BaseObject* storeNode(AbstractProperty* property);
    static BaseObject* storeVector(AbstractProperty* property);

    // The String values "GAME_ID" and "GAME_NAME": empty until they are loaded, then kept for
    // the rest of the run (the registry path, folder and lock names depend on them).
    static const std::string& getGameId();
    static const std::string& getGameName();

private:
    std::unordered_map<std::string, int32_t> integers;
    std::unordered_map<std::string, double> doubles;
    std::unordered_map<std::string, float> floats;
    std::unordered_map<std::string, bool> booleans;
    std::unordered_map<std::string, std::string> strings;
    std::unordered_map<std::string, std::wstring> texts;
    std::unordered_map<std::string, RefHolder<PropertyNode>> nodes;
    std::unordered_map<std::string, RefHolder<PropertyVector>> vectors;
};

// The displayed text stored under `key` in the Text table: a stored "_" reads as one blank (so
// that files can hold a blank text), and a missing key reads (and is entered) as empty.
std::wstring getBasicText(const std::string& key);
