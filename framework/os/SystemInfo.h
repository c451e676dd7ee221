#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the system report says about the machine, gathered once per report.
struct SystemInfo {
    std::string computerName;  // empty when unknown
    std::string osName;
    uint32_t build = 0;
    uint32_t processorType = 0;
    uint32_t processorCount = 0;
    uint32_t cpuMhz = 0;       // 0 when unknown
    uint64_t memoryBytes = 0;  // total physical memory
    uint32_t displayVersion = 0;
    int32_t bitDepth = 0;  // desktop bits per pixel; screen fields are 0 when unknown
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
};

// Gathers the facts of the machine the game runs on.
class SystemInfoSource {
public:
    virtual ~SystemInfoSource() = default;
    virtual SystemInfo gather() = 0;
};

// Processor-type numbers of the report, by machine name: 386, 486 and 586 for the 32-bit x86
// family (586 for every later model, as Pentium-class processors are reported), 8664 for
// x86-64, 0 for machines the numbering has no entry for.
uint32_t processorTypeForMachine(std::string_view machine);

// The whole megahertz of a "cpu MHz : 2596.126" line of /proc/cpuinfo (fraction dropped).
// False for any other line.
bool parseCpuMhzLine(std::string_view line, uint32_t& mhz);
