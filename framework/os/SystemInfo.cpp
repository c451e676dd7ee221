#include "framework/os/SystemInfo.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

}  // namespace

uint32_t processorTypeForMachine(std::string_view machine) {
    if (machine == "x86_64" || machine == "amd64") {
        return 8664;
    }
    if (machine == "i386") {
        return 386;
    }
    if (machine == "i486") {
        return 486;
    }
    if (machine == "i586" || machine == "i686") {
        return 586;
    }
    return 0;
}

bool parseCpuMhzLine(std::string_view line, uint32_t& mhz) {
    constexpr std::string_view label = "cpu MHz";
    if (!line.starts_with(label)) {
        return false;
    }
    line = skipBlanks(line.substr(label.size()));
    if (line.empty() || line.front() != ':') {
        return false;
    }
    line = skipBlanks(line.substr(1));
    double value = 0;
    const auto parsed =
        std::from_chars(line.data(), line.data() + line.size(), value, std::chars_format::fixed);
    if (parsed.ec != std::errc() || !std::isfinite(value) || value < 0 ||
        !skipBlanks(std::string_view(parsed.ptr, line.data() + line.size() - parsed.ptr)).empty()) {
        return false;
    }
    constexpr double largest = std::numeric_limits<uint32_t>::max();
    mhz = value >= largest ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(value);
    return true;
}
