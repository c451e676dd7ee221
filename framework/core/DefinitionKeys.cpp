#include "framework/core/DefinitionKeys.h"

#include "framework/core/PropertyNode.h"

namespace {

const AbstractProperty* keyOf(const PropertyNode* node, const std::string& key) {
    return node ? node->getChild(key) : nullptr;
}

}  // namespace

int32_t intKeyOr(const PropertyNode* node, const std::string& key, int32_t fallback) {
    const AbstractProperty* value = keyOf(node, key);
    return value ? value->getInt() : fallback;
}

bool boolKeyOr(const PropertyNode* node, const std::string& key, bool fallback) {
    const AbstractProperty* value = keyOf(node, key);
    return value ? value->getBool() : fallback;
}

float floatKeyOr(const PropertyNode* node, const std::string& key, float fallback) {
    const AbstractProperty* value = keyOf(node, key);
    return value ? value->getFloat() : fallback;
}

std::string textKeyOr(const PropertyNode* node, const std::string& key,
                      const std::string& fallback) {
    const AbstractProperty* value = keyOf(node, key);
    return value ? value->getValue() : fallback;
}
