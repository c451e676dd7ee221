#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/SystemReport.h"

namespace system_report_test {

TEST(SystemReportTest, NodeListsTheMachineAsUntypedValuesInTheFileOrder) {
    SystemInfo info;
    info.computerName = "desk";
    info.osName = "Linux 6.1.0";
    info.build = 0;
    info.processorType = 8664;
    info.processorCount = 8;
    info.cpuMhz = 2596;
    info.memoryBytes = 16'000'000'000ull;
    info.displayVersion = 0x900;
    info.bitDepth = 32;
    info.screenWidth = 1920;
    info.screenHeight = 1080;
    RefHolder<PropertyNode> node(makeSystemInfoNode(info, "QuovelMahjong"));

    EXPECT_EQ(node->getName(), "SystemInfo");
    EXPECT_EQ(node->getTypeWord(), "SystemInfo");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"GameId", "QuovelMahjong"}, {"CompName", "desk"},    {"CPUSpeed", "2596"},
        {"CPUType", "8664"},         {"NumberOfCPUs", "8"},   {"CPUCaps", "0"},
        {"OSName", "Linux 6.1.0"},   {"WinBuild", "0"},       {"SysMem", "15625"},
        {"DirectX", "#0900"},        {"ScreenWidth", "1920"}, {"ScreenHeight", "1080"},
        {"BitDepth", "32"}};
    std::vector<std::pair<std::string, std::string>> actual;
    for (const auto& [name, child] : node->getNameTable()) {
        EXPECT_EQ(child->getTypeWord(), "") << name;
        actual.emplace_back(name, child->getValue());
    }
    EXPECT_EQ(actual, expected);
}

TEST(SystemReportTest, MemoryDropsTheRemainderAtEachDivision) {
    SystemInfo info;
    info.memoryBytes = 1000 * 1024 - 1;  // one byte short of the first whole unit
    RefHolder<PropertyNode> node(makeSystemInfoNode(info, ""));
    EXPECT_EQ(node->getChild("SysMem")->getValue(), "0");
    info.memoryBytes = 2'047'999;  // 2047 thousands, which is one unit of 1024
    node = makeSystemInfoNode(info, "");
    EXPECT_EQ(node->getChild("SysMem")->getValue(), "1");
}

TEST(SystemReportTest, DisplayVersionIsAHashAndFourHexDigits) {
    EXPECT_EQ(formatDisplayVersion(0x0900), "#0900");
    EXPECT_EQ(formatDisplayVersion(0xE0), "#00e0");
    EXPECT_EQ(formatDisplayVersion(0), "#0000");
    EXPECT_EQ(formatDisplayVersion(0x12345), "#12345");
}

}  // namespace system_report_test
