#include "framework/platform/BlendRows.h"

#include <cstring>

#include "framework/platform/BlendKernels.h"

namespace blendrows {
namespace {

using Pixel32 = UnalignedPixel32;
using Pixel16 = UnalignedPixel16;

// ---- The portable loops ----

QUOVEL_ROW_CHECKED void portableAlpha32(Pixel32* d, const Pixel32* s, int32_t w, uint32_t a) {
    int32_t i = 0;
    for (; i + 1 < w; i += 2) {
        const uint32_t s0 = s[i];
        const uint32_t s1 = s[i + 1];
        const uint32_t e0 = effectiveAlpha(s0 >> 24, a);
        const uint32_t e1 = effectiveAlpha(s1 >> 24, a);
        // Exact shortcuts: a transparent pair keeps the target, as a blend by 0 would.
        if ((e0 | e1) == 0) {
            continue;
        }
        if ((e0 == 254) & (e1 == 254)) {
            d[i] = pixel32::store(d[i], s0);
            d[i + 1] = pixel32::store(d[i + 1], s1);
            continue;
        }
        d[i] = pixel32::blend(d[i], s0, e0);
        d[i + 1] = pixel32::blend(d[i + 1], s1, e1);
    }
    if (i < w) {
        d[i] = pixel32::blend(d[i], s[i], effectiveAlpha(s[i] >> 24, a));
    }
}

void portableAdd32(Pixel32* d, const Pixel32* s, int32_t w, uint32_t a) {
    int32_t i = 0;
    for (; i + 1 < w; i += 2) {
        const uint32_t s0 = s[i];
        const uint32_t s1 = s[i + 1];
        const uint32_t e0 = effectiveAlpha(s0 >> 24, a);
        const uint32_t e1 = effectiveAlpha(s1 >> 24, a);
        const uint32_t bump = static_cast<uint32_t>((e0 == 254) & (e1 == 254)) * 2;
        d[i] = pixel32::add(d[i], s0, e0 + bump);
        d[i + 1] = pixel32::add(d[i + 1], s1, e1 + bump);
    }
    if (i < w) {
        d[i] = pixel32::add(d[i], s[i], effectiveAlpha(s[i] >> 24, a));
    }
}

QUOVEL_ROW_CHECKED void portableStore32(Pixel32* d, const Pixel32* s, int32_t w) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::store(d[i], s[i]);
    }
}

void portableMask32(Pixel32* d, const uint8_t* m, int32_t w, uint32_t color, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::blend(d[i], color, effectiveAlpha(m[i], a));
    }
}

void portableFill32(Pixel32* d, int32_t w, uint32_t color, uint32_t k) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::blend(d[i], color, k);
    }
}

// The row is blended in one plain loop first; the stores then overwrite their pixels.
void portableAlphaFull16(Pixel16* d, const Pixel16* s, const uint8_t* sa, int32_t w) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel16::blend(d[i], s[i], sa[i]);
    }
    int32_t i = 0;
    for (; i + 3 < w; i += 4) {
        uint32_t four;
        std::memcpy(&four, sa + i, 4);
        if (four == 0xFFFFFFFFu) {
            std::memcpy(d + i, s + i, 8);
        }
    }
    for (; i < w; ++i) {
        if (sa[i] == 255) {
            d[i] = s[i];
        }
    }
}

void portableAlpha16(Pixel16* d, const Pixel16* s, const uint8_t* sa, int32_t w, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel16::blend(d[i], s[i], effectiveAlpha(sa[i], a));
    }
}

void portableAdd16(Pixel16* d, const Pixel16* s, const uint8_t* sa, int32_t w, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel16::add(d[i], s[i], effectiveAlpha(sa[i], a));
    }
}

void portableFixed16(Pixel16* d, const Pixel16* s, int32_t w, uint32_t k) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel16::blend(d[i], s[i], k);
    }
}

void portableMask16(Pixel16* d, const uint8_t* m, int32_t w, uint16_t color, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel16::blend(d[i], color, effectiveAlpha(m[i], a));
    }
}

void portableFill16(Pixel16* d, int32_t w, uint16_t color, uint32_t k) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel16::blend(d[i], color, k);
    }
}

const RowLoops PORTABLE_LOOPS{portableAlpha32, portableAdd32,       portableStore32, portableMask32,
                              portableFill32,  portableAlphaFull16, portableAlpha16, portableAdd16,
                              portableFixed16, portableMask16,      portableFill16};

const RowLoops VECTOR16 = kernels::vectorLoops<16>();

}  // namespace

const RowLoops& portable() {
    return PORTABLE_LOOPS;
}

const RowLoops* vectors(int bytes) {
    if (bytes == 16) {
        return &VECTOR16;
    }
#if defined(QUOVEL_AVX2_ROWS)
    if (bytes == 32 && __builtin_cpu_supports("avx2")) {
        return &avx2Loops();
    }
#endif
    return nullptr;
}

const RowLoops& best() {
    static const RowLoops* const chosen = vectors(32) ? vectors(32) : vectors(16);
    return *chosen;
}

}  // namespace blendrows
