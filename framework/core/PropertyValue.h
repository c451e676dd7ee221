#pragma once

#include <cstdint>
#include <string>

#include "framework/core/AbstractProperty.h"

// A leaf of a property tree: the value is kept as wide text whatever its type word says, and
// read through the typed readers of AbstractProperty.
//
// Constructors take the name first; those with an `untyped` flag leave the type word empty
// when it is set (the value is then written as an XML attribute and a node lists it by name
// only), otherwise they set the word named beside each.
class PropertyValue : public AbstractProperty {
    QUOVEL_TYPE(PropertyValue)
public:
    PropertyValue(std::string name, int32_t value, bool untyped = false);  // "Integer"
    PropertyValue(std::string name, long value, bool untyped = false);     // "Integer"
    PropertyValue(std::string name, float value, bool untyped = false);    // "Float", trimmed
    // "String"; the narrow (UTF-8) text is kept wide.
    PropertyValue(std::string name, const std::string& value, bool untyped = false);
    PropertyValue(std::string name, const char* value, bool untyped = false);
    PropertyValue(std::string name, std::wstring value, bool untyped = false);  // "Text"
    PropertyValue(std::string name, const wchar_t* value, bool untyped = false);
    // Any type word, with the integer as text.
    PropertyValue(std::string name, std::string typeWord, int32_t value);
    PropertyValue(std::string name, const char* typeWord, int32_t value);
    // Booleans are made with addBool or fromBool; this stops a bool turning into "1".
    PropertyValue(std::string name, bool value, bool untyped = false) = delete;

    // A "Boolean" value "true" or "false".
    static PropertyValue* fromBool(std::string name, bool value, bool untyped = false);

    // The run-long null value "DUMMY_VALUE": untyped, empty, never changed, never deleted.
    static PropertyValue* dummy();

    // Replaces the text; does nothing on DUMMY_VALUE.
    void setText(std::wstring newText);

    // The value text, narrow.
    std::string toString() const override;
    void applySetupWithin(SetupWalk& walk) override;

private:
    friend class AbstractProperty;

    std::wstring text;
};

#define DUMMY_VALUE (::PropertyValue::dummy())
