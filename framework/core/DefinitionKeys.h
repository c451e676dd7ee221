#pragma once

#include <cstdint>
#include <string>

class PropertyNode;

// Readers of optional keys of a definition node: the key's value when the node has a child of
// that name, else the fallback (an absent key keeps the class's default).
int32_t intKeyOr(const PropertyNode* node, const std::string& key, int32_t fallback);
bool boolKeyOr(const PropertyNode* node, const std::string& key, bool fallback);
float floatKeyOr(const PropertyNode* node, const std::string& key, float fallback);
// Narrow (UTF-8) text.
std::string textKeyOr(const PropertyNode* node, const std::string& key,
                      const std::string& fallback);
