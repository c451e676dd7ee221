#pragma once

#include <atomic>
#include <cstdint>

// Counts the changes that can alter the picture on screen: nodes moved, shown, hidden, linked or
// unlinked, sprites changed, image content drawn in place, scenes switched, and anything drawn
// into the back buffer outside the render pass. The render pass draws a frame only when the
// count moved since the frame in the back buffer was drawn, so a still screen costs neither
// the drawing nor the comparison. A change counts wherever it happens (another scene, the
// loader thread): an extra frame is harmless, a missed one is not.
class PictureChanges {
public:
    static void mark() { count.fetch_add(1, std::memory_order_relaxed); }
    static uint64_t current() { return count.load(std::memory_order_relaxed); }

private:
    static inline std::atomic<uint64_t> count{1};
};
