#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/core/Rect.h"
#include "framework/platform/BlitGeometry.h"
#include "framework/platform/Image.h"

// Marks a row loop to be built twice, for AVX2 and for the baseline processor, with the choice made
// once at load time: the plain loops vectorise well with 8-lane 32-bit multiplies, which the
// baseline lacks. Not under ThreadSanitizer: its instrumented choosers run at load time, before
// the sanitizer's runtime is ready, and crash the program.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) && \
    !defined(__SANITIZE_THREAD__)
#define QUOVEL_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define QUOVEL_ROW_LOOP
#endif

// Marks a row loop whose caller has the address sanitizer check its rows whole (checkRow): the
// sanitizer's check of every pixel would cost the loop several times its own work.
#if defined(__SANITIZE_ADDRESS__)
#define QUOVEL_ROW_CHECKED __attribute__((no_sanitize_address))
extern "C" void __asan_loadN(void* address, size_t size);
extern "C" void __asan_storeN(void* address, size_t size);
#else
#define QUOVEL_ROW_CHECKED
#endif

// Helpers shared by the two drawing depths: locking, offset arithmetic that cannot overflow,
// the kinds of blit source, and bilinear interpolation.
namespace drawing {

// Locks the source (when given) and then the target for one operation, and unlocks them in the
// same order. Drawing goes ahead only when both locks succeeded.
class ImageLocks {
public:
    ImageLocks(Image* source, Image* target) : source(source), target(target) {
        sourceLocked = !source || source->lock();
        targetLocked = target && target->lock();
    }
    ~ImageLocks() {
        if (source && sourceLocked) {
            source->unlock();
        }
        if (targetLocked) {
            target->unlock();
            target->markChanged();
        }
    }
    ImageLocks(const ImageLocks&) = delete;
    ImageLocks& operator=(const ImageLocks&) = delete;

    bool ok() const { return sourceLocked && targetLocked; }

private:
    Image* source;
    Image* target;
    bool sourceLocked = false;
    bool targetLocked = false;
};

// Copies one row of bytes. Rows of one image may overlap and are moved; rows that do not overlap
// are copied, which the address sanitizer checks as fast as a plain copy where a move is byte by
// byte.
inline void copyRowBytes(uint8_t* target, const uint8_t* source, size_t bytes) {
    const auto t = reinterpret_cast<uintptr_t>(target);
    const auto s = reinterpret_cast<uintptr_t>(source);
    if (t + bytes <= s || s + bytes <= t) {
        std::memcpy(target, source, bytes);
    } else {
        std::memmove(target, source, bytes);
    }
}

// Has the address sanitizer check a row of bytes read at source and read and written at target,
// for a row loop marked QUOVEL_ROW_CHECKED.
inline void checkRow([[maybe_unused]] void* target, [[maybe_unused]] const void* source,
                     [[maybe_unused]] size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
    __asan_storeN(target, bytes);
    __asan_loadN(const_cast<void*>(source), bytes);
#endif
}

// v + offset, held inside the int32 range (far positions stay far instead of wrapping).
inline int32_t moved(int32_t v, int32_t offset) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} + offset, INT32_MIN, INT32_MAX));
}

inline bool insideClip(int64_t x, int64_t y, const Rect& clip) {
    return clip.contains(x, y);
}

// The rectangle moved by the offset and cut to the clip, computed without overflow.
inline Rect placeRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t offsetX, int32_t offsetY,
                      const Rect& clip) {
    const int64_t left = std::max<int64_t>(int64_t{x} + offsetX, clip.x);
    const int64_t top = std::max<int64_t>(int64_t{y} + offsetY, clip.y);
    const int64_t right = std::min<int64_t>(int64_t{x} + offsetX + w, int64_t{clip.x} + clip.w);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + offsetY + h, int64_t{clip.y} + clip.h);
    if (left >= right || top >= bottom) {
        return Rect{};
    }
    return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

// What a blit does with its source, by depth.
enum class SourceKind {
    // An alpha-only image: its alpha plane is a mask for the current color.
    MASK,
    // An image of the target's depth.
    SAME_DEPTH,
    // Anything else: blits draw nothing (the pixels would be misread and over-read).
    UNUSABLE,
};

inline SourceKind sourceKind(const Image* source, int32_t targetDepth) {
    if (!source) {
        return SourceKind::UNUSABLE;
    }
    if (source->getBytesPerPixel() == 1) {
        return SourceKind::MASK;
    }
    return source->getBytesPerPixel() == targetDepth ? SourceKind::SAME_DEPTH
                                                     : SourceKind::UNUSABLE;
}

template <class T, class Byte>
inline T* rowAt(Byte* base, int32_t pitch, int32_t y) {
    return reinterpret_cast<T*>(base + static_cast<ptrdiff_t>(y) * pitch);
}

// The alpha-plane bytes of row y from column x (rows of `width` bytes).
inline uint8_t* planeAt(uint8_t* plane, int32_t width, int32_t x, int32_t y) {
    return plane + static_cast<ptrdiff_t>(y) * width + x;
}

// Bilinear interpolation of four values, cut to an integer. Written as two steps along x and one
// along y, so equal inputs give exactly their value.
inline uint32_t interpolate(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11,
                            const BlitSample& sample) {
    const float top = static_cast<float>(p00) + (static_cast<float>(p10) - p00) * sample.fx;
    const float bottom = static_cast<float>(p01) + (static_cast<float>(p11) - p01) * sample.fx;
    const float value = top + (bottom - top) * sample.fy;
    return value <= 0.0f ? 0u : static_cast<uint32_t>(value);
}

}  // namespace drawing
