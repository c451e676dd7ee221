#pragma once

#include <cstdint>
#include <string>

#include "framework/os/SystemInfo.h"

class PropertyNode;

// The "SystemInfo" node of the statistics file (name and type word "SystemInfo"): the facts of
// the machine as untyped values, in the order the file has always listed them. Returned
// unreferenced.
PropertyNode* makeSystemInfoNode(const SystemInfo& info, const std::string& gameId);

// The display-version code as the report writes it: "#" and four hexadecimal digits ("#0900").
std::string formatDisplayVersion(uint32_t code);
