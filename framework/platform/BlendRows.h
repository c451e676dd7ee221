#pragma once

#include <cstdint>

#include "framework/platform/PixelRules.h"

// The blending row loops of both depths, built three ways: a portable loop pixel by pixel (the
// reference, and the tail of every row), and vector loops of 16 and 32 bytes per step written
// with the compiler's generic vectors (SSE2, always there on x86-64, and AVX2 where the
// processor has it). Every build gives the same pixels as the portable loop.
namespace blendrows {

struct RowLoops {
    // 32-bit per-pixel alpha, paired from the row's left end: a pair whose effective alphas are
    // both 254 is stored, every other pixel blends by its effective alpha.
    void (*alpha32)(UnalignedPixel32* d, const UnalignedPixel32* s, int32_t w, uint32_t a);
    // 32-bit per-pixel alpha added, paired as alpha32 (a pair at 254 adds the whole source).
    void (*add32)(UnalignedPixel32* d, const UnalignedPixel32* s, int32_t w, uint32_t a);
    // Red, green and blue of the source, the target's alpha byte.
    void (*store32)(UnalignedPixel32* d, const UnalignedPixel32* s, int32_t w);
    // The color through a mask of alpha bytes at the drawing alpha a.
    void (*mask32)(UnalignedPixel32* d, const uint8_t* m, int32_t w, uint32_t color, uint32_t a);
    // The color at the weight k (256 stores).
    void (*fill32)(UnalignedPixel32* d, int32_t w, uint32_t color, uint32_t k);

    // 16-bit per-pixel alpha at full drawing alpha, in fours from the row's left end: four
    // alpha bytes of 255 store, a 255 among other values blends by 255; the last one to three
    // pixels store at 255.
    void (*alphaFull16)(UnalignedPixel16* d, const UnalignedPixel16* s, const uint8_t* sa,
                        int32_t w);
    // 16-bit blend and add by the effective alpha of the alpha bytes under a.
    void (*alpha16)(UnalignedPixel16* d, const UnalignedPixel16* s, const uint8_t* sa, int32_t w,
                    uint32_t a);
    void (*add16)(UnalignedPixel16* d, const UnalignedPixel16* s, const uint8_t* sa, int32_t w,
                  uint32_t a);
    // 16-bit blend of a whole source at one weight k.
    void (*fixed16)(UnalignedPixel16* d, const UnalignedPixel16* s, int32_t w, uint32_t k);
    void (*mask16)(UnalignedPixel16* d, const uint8_t* m, int32_t w, uint16_t color, uint32_t a);
    void (*fill16)(UnalignedPixel16* d, int32_t w, uint16_t color, uint32_t k);
};

// The loops pixel by pixel.
const RowLoops& portable();
// The vector loops of `bytes` (16 or 32) bytes per step; null where this processor lacks them.
const RowLoops* vectors(int bytes);
// The widest loops this processor runs, chosen once.
const RowLoops& best();

}  // namespace blendrows
