#include "framework/os/LinuxSystemInfoSource.h"

#include <SDL2/SDL.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>

namespace {

// The first "cpu MHz" of /proc/cpuinfo; 0 when the file has none (many non-x86 machines).
uint32_t readCpuMhz() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    // Every processor repeats the line; the first one answers, within a bounded read.
    for (int count = 0; count < 100000 && std::getline(cpuinfo, line); ++count) {
        uint32_t mhz = 0;
        if (parseCpuMhzLine(line, mhz)) {
            return mhz;
        }
    }
    return 0;
}

bool querySdlDesktop(int32_t& width, int32_t& height, int32_t& bitDepth) {
    SDL_DisplayMode mode{};
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return false;
    }
    width = mode.w;
    height = mode.h;
    // Bytes times 8, not SDL's bit count: 24-bit reports of 32-bit pixels would misfire.
    bitDepth = SDL_BYTESPERPIXEL(mode.format) * 8;
    return true;
}

}  // namespace

SystemInfo LinuxSystemInfoSource::gather() {
    SystemInfo info;

    char host[1024] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        info.computerName = host;
    }

    struct utsname system {};
    if (uname(&system) == 0) {
        info.osName = std::string(system.sysname) + " " + system.release;
        info.processorType = processorTypeForMachine(system.machine);
    } else {
        info.osName = "Unknown";
    }

    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    info.processorCount = processors > 0 ? static_cast<uint32_t>(processors) : 1;
    info.cpuMhz = readCpuMhz();

    struct sysinfo memory {};
    if (sysinfo(&memory) == 0) {
        info.memoryBytes = static_cast<uint64_t>(memory.totalram) * memory.mem_unit;
    }

    if (displayVersionProbe) {
        info.displayVersion = displayVersionProbe();
    }

    int32_t width = 0;
    int32_t height = 0;
    int32_t bitDepth = 0;
    if (screenQuery ? screenQuery(width, height, bitDepth)
                    : querySdlDesktop(width, height, bitDepth)) {
        info.screenWidth = width;
        info.screenHeight = height;
        info.bitDepth = bitDepth;
    }
    return info;
}
