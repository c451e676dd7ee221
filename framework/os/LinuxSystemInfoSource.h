#pragma once

#include <functional>
#include <utility>

#include "framework/os/SystemInfo.h"

// The facts of this Linux machine: host name, processor from uname and /proc/cpuinfo (never
// timed by spinning, so gathering costs well under a millisecond), memory from sysinfo, and
// the system's name and release from uname with build 0. The display-version code comes from
// a hook set by the display's owner (0 without one); the screen comes from a hook too, or else
// from SDL's desktop mode when SDL video is already running (0 otherwise: this never starts
// SDL itself).
class LinuxSystemInfoSource : public SystemInfoSource {
public:
    using DisplayVersionProbe = std::function<uint32_t()>;
    // Fills width, height and bits per pixel of the desktop; false when it cannot tell.
    using ScreenQuery = std::function<bool(int32_t& width, int32_t& height, int32_t& bitDepth)>;

    void setDisplayVersionProbe(DisplayVersionProbe probe) {
        displayVersionProbe = std::move(probe);
    }
    void setScreenQuery(ScreenQuery query) { screenQuery = std::move(query); }

    SystemInfo gather() override;

private:
    DisplayVersionProbe displayVersionProbe;
    ScreenQuery screenQuery;
};
