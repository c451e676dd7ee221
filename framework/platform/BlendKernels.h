#pragma once

// The vector row loops of BlendRows, as templates over the bytes B of a step: 16 (SSE2 on
// x86-64) or 32 (AVX2, instantiated only in the file built for it). Every helper is a template
// over B, so nothing built for AVX2 can stand in for the baseline's copy of it at link time;
// the tails of the rows go to the portable loops.

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "framework/platform/BlendRows.h"
#include "framework/platform/DrawingSupport.h"

// The wide loops pass 32-byte vectors only between functions inlined into one another, all built
// for AVX2, so the warning about their calling convention without AVX does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

// The AVX2 loops: x86-64 only, built in a file of their own.
#if defined(__x86_64__)
#define QUOVEL_AVX2_ROWS
#endif

namespace blendrows {

#if defined(QUOVEL_AVX2_ROWS)
const RowLoops& avx2Loops();
#endif

namespace kernels {

using Pixel32 = UnalignedPixel32;
using Pixel16 = UnalignedPixel16;

// The lanes of B bytes: 32-bit pixels, 16-bit pixels or channels, and the alpha bytes of a
// step's pixels at either depth.
template <int B>
struct Lanes {
    typedef uint32_t U32 __attribute__((vector_size(B)));
    typedef int32_t I32 __attribute__((vector_size(B)));
    typedef uint16_t U16 __attribute__((vector_size(B)));
    typedef uint64_t U64 __attribute__((vector_size(B)));
    typedef uint8_t Bytes __attribute__((vector_size(B)));
    // The alpha bytes of a step of 32-bit and of 16-bit pixels.
    typedef uint8_t Bytes32 __attribute__((vector_size(B / 4)));
    typedef uint8_t Bytes16 __attribute__((vector_size(B / 2)));
    static constexpr int32_t STEP32 = B / 4;
    static constexpr int32_t STEP16 = B / 2;
};

template <class V>
QUOVEL_PIXEL_RULE V loadLanes(const void* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V>
QUOVEL_PIXEL_RULE void storeLanes(void* p, const V& v) {
    std::memcpy(p, &v, sizeof v);
}

// Alpha bytes widened to one lane each: 32-bit lanes for a step of 32-bit pixels, 16-bit lanes
// for a step of 16-bit pixels. Shuffles of the generic vectors compile poorly here, so x86 reads
// them with its own instructions.
#if defined(__SSE2__)
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 widen32(const uint8_t* bytes) {
    if constexpr (B == 16) {
        int32_t four;
        std::memcpy(&four, bytes, 4);
        const __m128i zero = _mm_setzero_si128();
        return (typename Lanes<B>::U32)_mm_unpacklo_epi16(
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero);
    } else {
        static_assert(B == 32, "AVX2 lanes");
        return (typename Lanes<B>::U32)_mm256_cvtepu8_epi32(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)));
    }
}

template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U16 widen16(const uint8_t* bytes) {
    if constexpr (B == 16) {
        return (typename Lanes<B>::U16)_mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)), _mm_setzero_si128());
    } else {
        static_assert(B == 32, "AVX2 lanes");
        return (typename Lanes<B>::U16)_mm256_cvtepu8_epi16(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
}
#else
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 widen32(const uint8_t* bytes) {
    return __builtin_convertvector(loadLanes<typename Lanes<B>::Bytes32>(bytes),
                                   typename Lanes<B>::U32);
}

template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U16 widen16(const uint8_t* bytes) {
    return __builtin_convertvector(loadLanes<typename Lanes<B>::Bytes16>(bytes),
                                   typename Lanes<B>::U16);
}
#endif

// Whether any bit of a vector of B bytes is set: a step whose weights are all 0 leaves its
// pixels as they are, so the loops skip it (sprites are mostly clear around their middle).
template <int B, class V>
QUOVEL_PIXEL_RULE bool anyBitSet(const V& v) {
#if defined(__SSE2__)
    if constexpr (B == 16) {
        return _mm_movemask_epi8(_mm_cmpeq_epi8((__m128i)v, _mm_setzero_si128())) != 0xFFFF;
    } else {
        return _mm256_movemask_epi8(_mm256_cmpeq_epi8((__m256i)v, _mm256_setzero_si256())) != -1;
    }
#else
    const auto words = (typename Lanes<B>::U64)v;
    uint64_t any = 0;
    for (int32_t i = 0; i < B / 8; ++i) {
        any |= words[i];
    }
    return any != 0;
#endif
}

// pixel32::blend of each lane: red and blue, then green, in 16-bit halves, whose products and
// sums fit 16 bits as in the scalar rule.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 blend32(const typename Lanes<B>::U32& d,
                                                 const typename Lanes<B>::U32& s,
                                                 const typename Lanes<B>::U32& k) {
    using U16 = typename Lanes<B>::U16;
    using U32 = typename Lanes<B>::U32;
    const U16 weight = (U16)(k | (k << 16));
    const U16 inverse = 256 - weight;
    const U16 rb = ((U16)(s & 0x00FF00FFu) * weight + (U16)(d & 0x00FF00FFu) * inverse) >> 8;
    const U16 g = ((U16)((s >> 8) & 0xFFu) * weight + (U16)((d >> 8) & 0xFFu) * inverse) >> 8;
    return (d & pixel32::ALPHA_MASK) | (U32)rb | ((U32)g << 8);
}

// Bytewise d + addend, held at 255.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 addBytesSaturated(const typename Lanes<B>::U32& d,
                                                           const typename Lanes<B>::U32& addend) {
#if defined(__SSE2__)
    if constexpr (B == 16) {
        return (typename Lanes<B>::U32)_mm_adds_epu8((__m128i)d, (__m128i)addend);
    } else {
        return (typename Lanes<B>::U32)_mm256_adds_epu8((__m256i)d, (__m256i)addend);
    }
#else
    using Bytes = typename Lanes<B>::Bytes;
    const Bytes sum = (Bytes)d + (Bytes)addend;
    return (typename Lanes<B>::U32)(sum | (Bytes)(sum < (Bytes)d));
#endif
}

// pixel32::add of each lane: the scaled source, whose alpha byte is 0, added bytewise.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 add32(const typename Lanes<B>::U32& d,
                                               const typename Lanes<B>::U32& s,
                                               const typename Lanes<B>::U32& k) {
    using U16 = typename Lanes<B>::U16;
    using U32 = typename Lanes<B>::U32;
    const U16 weight = (U16)(k | (k << 16));
    const U16 rb = ((U16)(s & 0x00FF00FFu) * weight) >> 8;
    const U16 g = ((U16)((s >> 8) & 0xFFu) * weight) >> 8;
    return addBytesSaturated<B>(d, (U32)rb | ((U32)g << 8));
}

// The effective alpha of each lane's alpha byte, and 256 for both pixels of a pair at 254.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 pairedWeights(const typename Lanes<B>::U32& s,
                                                       uint32_t a) {
    using U16 = typename Lanes<B>::U16;
    using U32 = typename Lanes<B>::U32;
    using I32 = typename Lanes<B>::I32;
    const U32 e = (U32)(((U16)(s >> 24) * static_cast<uint16_t>(a)) >> 8);
    const I32 at254 = e == 254u;
    I32 partner;
    if constexpr (B == 16) {
        partner = __builtin_shufflevector(at254, at254, 1, 0, 3, 2);
    } else {
        partner = __builtin_shufflevector(at254, at254, 1, 0, 3, 2, 5, 4, 7, 6);
    }
    return e + ((U32)(at254 & partner) & 2u);
}

// The effective alpha of mask bytes, one per 32-bit lane.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U32 maskWeights32(const uint8_t* m, uint32_t a) {
    using L = Lanes<B>;
    return (typename L::U32)(((typename L::U16)widen32<B>(m) * static_cast<uint16_t>(a)) >> 8);
}

// pixel16::blend of each lane, field by field.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U16 blend16(const typename Lanes<B>::U16& d,
                                                 const typename Lanes<B>::U16& s,
                                                 const typename Lanes<B>::U16& k) {
    const auto inverse = 256 - k;
    const auto r = ((s >> 11) * k + (d >> 11) * inverse) >> 8;
    const auto g = (((s >> 5) & 63) * k + ((d >> 5) & 63) * inverse) >> 8;
    const auto b = ((s & 31) * k + (d & 31) * inverse) >> 8;
    return (r << 11) | (g << 5) | b;
}

// pixel16::add of each lane: a field past its maximum (at most twice it) becomes the maximum.
template <int B>
QUOVEL_PIXEL_RULE typename Lanes<B>::U16 add16(const typename Lanes<B>::U16& d,
                                               const typename Lanes<B>::U16& s,
                                               const typename Lanes<B>::U16& k) {
    using U16 = typename Lanes<B>::U16;
    const U16 r = (d >> 11) + (((s >> 11) * k) >> 8);
    const U16 g = ((d >> 5) & 63) + ((((s >> 5) & 63) * k) >> 8);
    const U16 b = (d & 31) + (((s & 31) * k) >> 8);
    return (((r | (0 - (r >> 5))) & 31) << 11) | (((g | (0 - (g >> 6))) & 63) << 5) |
           ((b | (0 - (b >> 5))) & 31);
}

template <int B>
QUOVEL_ROW_CHECKED void alpha32Of(Pixel32* d, const Pixel32* s, int32_t w, uint32_t a) {
    using L = Lanes<B>;
    int32_t i = 0;
    for (; i + L::STEP32 <= w; i += L::STEP32) {
        const auto source = loadLanes<typename L::U32>(s + i);
        const auto weights = pairedWeights<B>(source, a);
        if (anyBitSet<B>(weights)) {
            storeLanes(d + i, blend32<B>(loadLanes<typename L::U32>(d + i), source, weights));
        }
    }
    // A step holds whole pairs, so the rest pairs as the row does.
    portable().alpha32(d + i, s + i, w - i, a);
}

template <int B>
void add32Of(Pixel32* d, const Pixel32* s, int32_t w, uint32_t a) {
    using L = Lanes<B>;
    int32_t i = 0;
    for (; i + L::STEP32 <= w; i += L::STEP32) {
        const auto source = loadLanes<typename L::U32>(s + i);
        storeLanes(d + i, add32<B>(loadLanes<typename L::U32>(d + i), source,
                                   pairedWeights<B>(source, a)));
    }
    portable().add32(d + i, s + i, w - i, a);
}

template <int B>
QUOVEL_ROW_CHECKED void store32Of(Pixel32* d, const Pixel32* s, int32_t w) {
    using L = Lanes<B>;
    int32_t i = 0;
    for (; i + L::STEP32 <= w; i += L::STEP32) {
        storeLanes(d + i, (loadLanes<typename L::U32>(d + i) & pixel32::ALPHA_MASK) |
                              (loadLanes<typename L::U32>(s + i) & pixel32::COLOR_MASK));
    }
    portable().store32(d + i, s + i, w - i);
}

template <int B>
void mask32Of(Pixel32* d, const uint8_t* m, int32_t w, uint32_t color, uint32_t a) {
    using L = Lanes<B>;
    const typename L::U32 source = typename L::U32{} + color;
    int32_t i = 0;
    for (; i + L::STEP32 <= w; i += L::STEP32) {
        const auto weights = maskWeights32<B>(m + i, a);
        if (anyBitSet<B>(weights)) {
            storeLanes(d + i, blend32<B>(loadLanes<typename L::U32>(d + i), source, weights));
        }
    }
    portable().mask32(d + i, m + i, w - i, color, a);
}

template <int B>
void fill32Of(Pixel32* d, int32_t w, uint32_t color, uint32_t k) {
    using L = Lanes<B>;
    const typename L::U32 source = typename L::U32{} + color;
    const typename L::U32 weight = typename L::U32{} + k;
    int32_t i = 0;
    if (k == 256) {
        // A blend by 256 is a store.
        for (; i + L::STEP32 <= w; i += L::STEP32) {
            storeLanes(d + i, (loadLanes<typename L::U32>(d + i) & pixel32::ALPHA_MASK) |
                                  (source & pixel32::COLOR_MASK));
        }
    }
    for (; i + L::STEP32 <= w; i += L::STEP32) {
        storeLanes(d + i, blend32<B>(loadLanes<typename L::U32>(d + i), source, weight));
    }
    portable().fill32(d + i, w - i, color, k);
}

template <int B>
void alphaFull16Of(Pixel16* d, const Pixel16* s, const uint8_t* sa, int32_t w) {
    using L = Lanes<B>;
    int32_t i = 0;
    for (; i + L::STEP16 <= w; i += L::STEP16) {
        // Four alpha bytes of 255 weigh 256, which stores.
        const typename L::U16 alphas = widen16<B>(sa + i);
        const auto fours = (typename L::U16)((typename L::U64)alphas == 0x00FF00FF00FF00FFull);
        const typename L::U16 k = alphas + (fours & 1);
        storeLanes(d + i, blend16<B>(loadLanes<typename L::U16>(d + i),
                                     loadLanes<typename L::U16>(s + i), k));
    }
    // A step holds whole fours, so the rest is split as the row is.
    portable().alphaFull16(d + i, s + i, sa + i, w - i);
}

template <int B>
void alpha16Of(Pixel16* d, const Pixel16* s, const uint8_t* sa, int32_t w, uint32_t a) {
    using L = Lanes<B>;
    int32_t i = 0;
    for (; i + L::STEP16 <= w; i += L::STEP16) {
        const auto k = (widen16<B>(sa + i) * static_cast<uint16_t>(a)) >> 8;
        storeLanes(d + i, blend16<B>(loadLanes<typename L::U16>(d + i),
                                     loadLanes<typename L::U16>(s + i), k));
    }
    portable().alpha16(d + i, s + i, sa + i, w - i, a);
}

template <int B>
void add16Of(Pixel16* d, const Pixel16* s, const uint8_t* sa, int32_t w, uint32_t a) {
    using L = Lanes<B>;
    int32_t i = 0;
    for (; i + L::STEP16 <= w; i += L::STEP16) {
        const auto k = (widen16<B>(sa + i) * static_cast<uint16_t>(a)) >> 8;
        storeLanes(d + i, add16<B>(loadLanes<typename L::U16>(d + i),
                                   loadLanes<typename L::U16>(s + i), k));
    }
    portable().add16(d + i, s + i, sa + i, w - i, a);
}

template <int B>
void fixed16Of(Pixel16* d, const Pixel16* s, int32_t w, uint32_t k) {
    using L = Lanes<B>;
    const typename L::U16 weight = typename L::U16{} + static_cast<uint16_t>(k);
    int32_t i = 0;
    for (; i + L::STEP16 <= w; i += L::STEP16) {
        storeLanes(d + i, blend16<B>(loadLanes<typename L::U16>(d + i),
                                     loadLanes<typename L::U16>(s + i), weight));
    }
    portable().fixed16(d + i, s + i, w - i, k);
}

template <int B>
void mask16Of(Pixel16* d, const uint8_t* m, int32_t w, uint16_t color, uint32_t a) {
    using L = Lanes<B>;
    const typename L::U16 source = typename L::U16{} + color;
    int32_t i = 0;
    for (; i + L::STEP16 <= w; i += L::STEP16) {
        const auto k = (widen16<B>(m + i) * static_cast<uint16_t>(a)) >> 8;
        if (anyBitSet<B>(k)) {
            storeLanes(d + i, blend16<B>(loadLanes<typename L::U16>(d + i), source, k));
        }
    }
    portable().mask16(d + i, m + i, w - i, color, a);
}

template <int B>
void fill16Of(Pixel16* d, int32_t w, uint16_t color, uint32_t k) {
    using L = Lanes<B>;
    const typename L::U16 source = typename L::U16{} + color;
    const typename L::U16 weight = typename L::U16{} + static_cast<uint16_t>(k);
    int32_t i = 0;
    if (k == 256) {
        for (; i + L::STEP16 <= w; i += L::STEP16) {
            storeLanes(d + i, source);
        }
    }
    for (; i + L::STEP16 <= w; i += L::STEP16) {
        storeLanes(d + i, blend16<B>(loadLanes<typename L::U16>(d + i), source, weight));
    }
    portable().fill16(d + i, w - i, color, k);
}

// The set of loops of B bytes per step.
template <int B>
RowLoops vectorLoops() {
    return RowLoops{alpha32Of<B>, add32Of<B>,       store32Of<B>, mask32Of<B>,
                    fill32Of<B>,  alphaFull16Of<B>, alpha16Of<B>, add16Of<B>,
                    fixed16Of<B>, mask16Of<B>,      fill16Of<B>};
}

}  // namespace kernels
}  // namespace blendrows

#pragma GCC diagnostic pop
