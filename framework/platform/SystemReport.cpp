#include "framework/platform/SystemReport.h"

#include <cstdio>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

namespace {

void addNumber(PropertyNode* node, const char* key, int64_t value) {
    node->addChild(new PropertyValue(key, static_cast<long>(value), true));
}

void addText(PropertyNode* node, const char* key, const std::string& text) {
    node->addChild(new PropertyValue(key, text, true));
}

}  // namespace

std::string formatDisplayVersion(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "#%04x", static_cast<unsigned>(code));
    return text;
}

PropertyNode* makeSystemInfoNode(const SystemInfo& info, const std::string& gameId) {
    auto* node = new PropertyNode("SystemInfo", "SystemInfo");
    addText(node, "GameId", gameId);
    addText(node, "CompName", info.computerName);
    addNumber(node, "CPUSpeed", info.cpuMhz);
    addNumber(node, "CPUType", info.processorType);
    addNumber(node, "NumberOfCPUs", info.processorCount);
    addNumber(node, "CPUCaps", 0);
    addText(node, "OSName", info.osName);
    addNumber(node, "WinBuild", info.build);
    // Kilobytes as the report always counted them: thousands of bytes, then units of 1024.
    addNumber(node, "SysMem", static_cast<int64_t>(info.memoryBytes / 1000 / 1024));
    addText(node, "DirectX", formatDisplayVersion(info.displayVersion));
    addNumber(node, "ScreenWidth", info.screenWidth);
    addNumber(node, "ScreenHeight", info.screenHeight);
    addNumber(node, "BitDepth", info.bitDepth);
    return node;
}
