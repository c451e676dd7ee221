#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "framework/os/LinuxSystemInfoSource.h"
#include "testsupport/ThreadClock.h"

namespace system_info_test {

TEST(SystemInfo, ProcessorTypesByMachine) {
    EXPECT_EQ(processorTypeForMachine("x86_64"), 8664u);
    EXPECT_EQ(processorTypeForMachine("i686"), 586u);
    EXPECT_EQ(processorTypeForMachine("i586"), 586u);
    EXPECT_EQ(processorTypeForMachine("i486"), 486u);
    EXPECT_EQ(processorTypeForMachine("i386"), 386u);
    EXPECT_EQ(processorTypeForMachine("aarch64"), 0u);
    EXPECT_EQ(processorTypeForMachine(""), 0u);
}

TEST(SystemInfo, CpuMhzLines) {
    uint32_t mhz = 12345;
    EXPECT_TRUE(parseCpuMhzLine("cpu MHz\t\t: 2596.126", mhz));
    EXPECT_EQ(mhz, 2596u);
    EXPECT_TRUE(parseCpuMhzLine("cpu MHz : 800", mhz));
    EXPECT_EQ(mhz, 800u);
    EXPECT_TRUE(parseCpuMhzLine("cpu MHz\t: 3999.999  ", mhz));
    EXPECT_EQ(mhz, 3999u);
    EXPECT_TRUE(parseCpuMhzLine("cpu MHz\t: 99999999999999", mhz));
    EXPECT_EQ(mhz, 0xFFFFFFFFu);

    mhz = 7;
    for (const char* line : {"cpu MHz", "cpu MHz\t:", "cpu MHz\t: fast", "cpu MHz\t: -5",
                             "cpu MHz\t: 1e9", "cpu MHz\t: 12 MHz", "model name\t: 2596.126",
                             "cpu MHz dynamic\t: 100", "CPU MHz\t: 100", ""}) {
        EXPECT_FALSE(parseCpuMhzLine(line, mhz)) << line;
    }
    EXPECT_EQ(mhz, 7u);
}

bool cpuinfoHasMhz() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    uint32_t mhz = 0;
    while (std::getline(cpuinfo, line)) {
        if (parseCpuMhzLine(line, mhz)) {
            return true;
        }
    }
    return false;
}

TEST(LinuxSystemInfoSource, DescribesThisMachineQuickly) {
    LinuxSystemInfoSource source;
    const double processorBefore = threadCpuMilliseconds();
    const long waitsBefore = threadWaits();
    const SystemInfo info = source.gather();
    // Quickly: the speed is read, not measured. Timing a loop would spend the processor time it
    // times (load delays a thread's processor time, hardly adds to it); timing across sleeps
    // would make the thread wait, which load does not.
    EXPECT_LT(threadCpuMilliseconds() - processorBefore, 100.0);
    EXPECT_EQ(threadWaits() - waitsBefore, 0);

    EXPECT_FALSE(info.computerName.empty());
    EXPECT_EQ(info.osName.rfind("Linux ", 0), 0u) << info.osName;
    EXPECT_GT(info.osName.size(), 6u);
    EXPECT_EQ(info.build, 0u);
    EXPECT_GE(info.processorCount, 1u);
    EXPECT_LE(info.processorCount, 65536u);
#if defined(__x86_64__)
    EXPECT_EQ(info.processorType, 8664u);
#endif
    if (cpuinfoHasMhz()) {
        EXPECT_GE(info.cpuMhz, 100u);
        EXPECT_LE(info.cpuMhz, 10000u);
    }
    EXPECT_GE(info.memoryBytes, 64ull << 20);
    EXPECT_LE(info.memoryBytes, 1ull << 50);
    EXPECT_EQ(info.displayVersion, 0u);  // no probe set
}

TEST(LinuxSystemInfoSource, HooksSupplyTheDisplayFacts) {
    LinuxSystemInfoSource source;
    source.setDisplayVersionProbe([] { return 0x900u; });
    source.setScreenQuery([](int32_t& width, int32_t& height, int32_t& bitDepth) {
        width = 1920;
        height = 1080;
        bitDepth = 32;
        return true;
    });
    SystemInfo info = source.gather();
    EXPECT_EQ(info.displayVersion, 0x900u);
    EXPECT_EQ(info.screenWidth, 1920);
    EXPECT_EQ(info.screenHeight, 1080);
    EXPECT_EQ(info.bitDepth, 32);

    // A query that cannot tell leaves the screen unknown, whatever it wrote.
    source.setScreenQuery([](int32_t& width, int32_t&, int32_t&) {
        width = 5;
        return false;
    });
    info = source.gather();
    EXPECT_EQ(info.screenWidth, 0);
    EXPECT_EQ(info.bitDepth, 0);
}

TEST(LinuxSystemInfoSource, ReadsTheDesktopOnlyWhenVideoRuns) {
    LinuxSystemInfoSource source;
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    SystemInfo info = source.gather();
    EXPECT_EQ(info.screenWidth, 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);  // gathering never starts video

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        GTEST_SKIP() << SDL_GetError();
    }
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
    info = source.gather();
    SDL_Quit();
    EXPECT_EQ(info.screenWidth, mode.w);
    EXPECT_EQ(info.screenHeight, mode.h);
    EXPECT_EQ(info.bitDepth, SDL_BYTESPERPIXEL(mode.format) * 8);
    EXPECT_GT(info.screenWidth, 0);
    EXPECT_TRUE(info.bitDepth == 16 || info.bitDepth == 24 || info.bitDepth == 32);
}

}  // namespace system_info_test
