#include "framework/core/PropertyValue.h"

#include "framework/core/NumberText.h"
#include "framework/core/StringUtils.h"

QUOVEL_DEFINE_TYPE(PropertyValue, &AbstractProperty::typeRecord)

namespace {

std::string typeWordUnless(bool untyped, const char* word) {
    return untyped ? std::string() : std::string(word);
}

}  // namespace

PropertyValue::PropertyValue(std::string name, int32_t value, bool untyped)
    : AbstractProperty(KIND_VALUE, typeWordUnless(untyped, "Integer"), std::move(name)),
      text(std::to_wstring(value)) {}

PropertyValue::PropertyValue(std::string name, long value, bool untyped)
    : AbstractProperty(KIND_VALUE, typeWordUnless(untyped, "Integer"), std::move(name)),
      text(std::to_wstring(value)) {}

PropertyValue::PropertyValue(std::string name, float value, bool untyped)
    : AbstractProperty(KIND_VALUE, typeWordUnless(untyped, "Float"), std::move(name)),
      text(floatToWString(value)) {}

PropertyValue::PropertyValue(std::string name, const std::string& value, bool untyped)
    : AbstractProperty(KIND_VALUE, typeWordUnless(untyped, "String"), std::move(name)),
      text(stringToWString(value)) {}

PropertyValue::PropertyValue(std::string name, const char* value, bool untyped)
    : PropertyValue(std::move(name), std::string(value ? value : ""), untyped) {}

PropertyValue::PropertyValue(std::string name, std::wstring value, bool untyped)
    : AbstractProperty(KIND_VALUE, typeWordUnless(untyped, "Text"), std::move(name)),
      text(std::move(value)) {}

PropertyValue::PropertyValue(std::string name, const wchar_t* value, bool untyped)
    : PropertyValue(std::move(name), std::wstring(value ? value : L""), untyped) {}

PropertyValue::PropertyValue(std::string name, std::string typeWord, int32_t value)
    : AbstractProperty(KIND_VALUE, std::move(typeWord), std::move(name)),
      text(std::to_wstring(value)) {}

PropertyValue::PropertyValue(std::string name, const char* typeWord, int32_t value)
    : PropertyValue(std::move(name), std::string(typeWord ? typeWord : ""), value) {}

PropertyValue* PropertyValue::fromBool(std::string name, bool value, bool untyped) {
    auto* property = new PropertyValue(std::move(name), value ? L"true" : L"false", untyped);
    property->setTypeWord(untyped ? std::string() : std::string("Boolean"));
    return property;
}

PropertyValue* PropertyValue::dummy() {
    // Made on first use (static initialisers elsewhere may already need it) and never freed,
    // so it outlives every holder, including those in other statics.
    static PropertyValue* const instance = [] {
        auto* value = new PropertyValue("DUMMY_VALUE", std::wstring(), true);
        value->markPermanent();
        return value;
    }();
    return instance;
}

void PropertyValue::setText(std::wstring newText) {
    if (!isDummy()) {
        text = std::move(newText);
    }
}

std::string PropertyValue::toString() const {
    return wstringToString(text);
}

void PropertyValue::applySetupWithin(SetupWalk&) {}
