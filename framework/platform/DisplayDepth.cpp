#include "framework/platform/DisplayDepth.h"

#include <atomic>

namespace {
std::atomic<int32_t> displayBytesPerPixel{4};
}  // namespace

int32_t getDisplayBytesPerPixel() {
    return displayBytesPerPixel.load(std::memory_order_relaxed);
}

void setDisplayBytesPerPixel(int32_t bytesPerPixel) {
    if (bytesPerPixel == 2 || bytesPerPixel == 4) {
        displayBytesPerPixel.store(bytesPerPixel, std::memory_order_relaxed);
    }
}
