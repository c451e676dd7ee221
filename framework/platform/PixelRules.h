#pragma once

#include <algorithm>
#include <cstdint>

// The per-pixel rules of the two drawing depths, kept apart from the row loops so that the loops
// stay branch-free and the tests can check the arithmetic directly.
//
// Every blend uses the identity d + ((s - d) * k >> 8) == (s * k + d * (256 - k)) >> 8 (the shift
// on the left rounding toward minus infinity): the right side needs only unsigned products that
// fit 16 bits, which the compiler turns into packed multiplies. With k = 256 a blend is a store.

// A rule that row loops built without the address sanitizer's checks (QUOVEL_ROW_CHECKED) use: such
// a loop inlines only rules marked always to be inlined, and would call the others every pixel.
#define QUOVEL_PIXEL_RULE inline __attribute__((always_inline))

// Unaligned views of pixel rows: surface images may have any pitch.
typedef uint32_t UnalignedPixel32 __attribute__((aligned(1), may_alias));
typedef uint16_t UnalignedPixel16 __attribute__((aligned(1), may_alias));

namespace pixel32 {

constexpr uint32_t ALPHA_MASK = 0xFF000000u;
constexpr uint32_t COLOR_MASK = 0x00FFFFFFu;

// The bit position of a channel's byte (0 alpha, 1 red, 2 green, 3 blue).
constexpr int channelShift(int32_t channel) {
    return (3 - channel) * 8;
}

// Red, green and blue of s; the alpha byte of d.
QUOVEL_PIXEL_RULE uint32_t store(uint32_t d, uint32_t s) {
    return (d & ALPHA_MASK) | (s & COLOR_MASK);
}

// Each of red, green and blue becomes d + ((s - d) * k >> 8); k is 0 to 256.
QUOVEL_PIXEL_RULE uint32_t blend(uint32_t d, uint32_t s, uint32_t k) {
    const uint32_t inverse = 256 - k;
    const uint32_t rb = (((s & 0x00FF00FFu) * k + (d & 0x00FF00FFu) * inverse) >> 8) & 0x00FF00FFu;
    const uint32_t g = (((s & 0x0000FF00u) * k + (d & 0x0000FF00u) * inverse) >> 8) & 0x0000FF00u;
    return (d & ALPHA_MASK) | rb | g;
}

// Each of the four bytes becomes d + ((s * a) >> 8) - ((d * a) >> 8). No byte borrows from or
// carries into its neighbour: d - (d * a >> 8) >= 0 and the sum never exceeds 255.
inline uint32_t uniform(uint32_t d, uint32_t s, uint32_t a) {
    const auto scaled = [a](uint32_t p) {
        return (((p & 0x00FF00FFu) * a >> 8) & 0x00FF00FFu) |
               ((((p >> 8) & 0x00FF00FFu) * a >> 8 & 0x00FF00FFu) << 8);
    };
    return d - scaled(d) + scaled(s);
}

// Each of red, green and blue becomes min(255, d + ((s * k) >> 8)); k is 0 to 256.
inline uint32_t add(uint32_t d, uint32_t s, uint32_t k) {
    const uint32_t r = std::min<uint32_t>(255, ((d >> 16) & 0xFF) + (((s >> 16) & 0xFF) * k >> 8));
    const uint32_t g = std::min<uint32_t>(255, ((d >> 8) & 0xFF) + (((s >> 8) & 0xFF) * k >> 8));
    const uint32_t b = std::min<uint32_t>(255, (d & 0xFF) + ((s & 0xFF) * k >> 8));
    return (d & ALPHA_MASK) | (r << 16) | (g << 8) | b;
}

// The byte of `channel` becomes `value`; the other three stay.
inline uint32_t writeChannel(uint32_t d, int32_t channel, uint32_t value) {
    const int shift = channelShift(channel);
    return (d & ~(0xFFu << shift)) | ((value & 0xFF) << shift);
}

}  // namespace pixel32

namespace pixel16 {

constexpr uint16_t RED_MASK = 0xF800;
constexpr uint16_t GREEN_MASK = 0x07E0;
constexpr uint16_t BLUE_MASK = 0x001F;

// The RGB565 form of 0xAARRGGBB: the top 5, 6 and 5 bits, cut; the alpha byte is not used.
constexpr uint16_t fromColor(uint32_t c) {
    return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
}

// Each field (red 0-31, green 0-63, blue 0-31) becomes d + ((s - d) * k >> 8); k is 0 to 256.
// Every product and sum fits 16 bits (63 x 256 at most), and the arithmetic is written in 16 bits
// so that the compiler packs eight or sixteen pixels per instruction.
inline uint16_t blend(uint16_t d, uint16_t s, uint32_t k) {
    const uint16_t weight = static_cast<uint16_t>(k);
    const uint16_t inverse = static_cast<uint16_t>(256 - k);
    const auto field = [weight, inverse](uint16_t sf, uint16_t df) {
        return static_cast<uint16_t>(static_cast<uint16_t>(static_cast<uint16_t>(sf * weight) +
                                                           static_cast<uint16_t>(df * inverse)) >>
                                     8);
    };
    const uint16_t r = field(static_cast<uint16_t>(s >> 11), static_cast<uint16_t>(d >> 11));
    const uint16_t g =
        field(static_cast<uint16_t>((s >> 5) & 63), static_cast<uint16_t>((d >> 5) & 63));
    const uint16_t b = field(static_cast<uint16_t>(s & 31), static_cast<uint16_t>(d & 31));
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

// Each field becomes min(its maximum, d + ((s * k) >> 8)); k is 0 to 256.
inline uint16_t add(uint16_t d, uint16_t s, uint32_t k) {
    const uint16_t weight = static_cast<uint16_t>(k);
    const auto field = [weight](uint16_t sf, uint16_t df, uint16_t most) {
        return std::min<uint16_t>(
            most, static_cast<uint16_t>(
                      df + static_cast<uint16_t>(static_cast<uint16_t>(sf * weight) >> 8)));
    };
    const uint16_t r = field(static_cast<uint16_t>(s >> 11), static_cast<uint16_t>(d >> 11), 31);
    const uint16_t g =
        field(static_cast<uint16_t>((s >> 5) & 63), static_cast<uint16_t>((d >> 5) & 63), 63);
    const uint16_t b = field(static_cast<uint16_t>(s & 31), static_cast<uint16_t>(d & 31), 31);
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

// The red, green or blue field (channel 1, 2 or 3) becomes the value's low 5, 6 or 5 bits: the
// value is a field value, not scaled from 8 bits.
inline uint16_t writeField(uint16_t d, int32_t channel, uint32_t value) {
    switch (channel) {
        case 1:
            return static_cast<uint16_t>((d & ~RED_MASK) | ((value & 31) << 11));
        case 2:
            return static_cast<uint16_t>((d & ~GREEN_MASK) | ((value & 63) << 5));
        case 3:
            return static_cast<uint16_t>((d & ~BLUE_MASK) | (value & 31));
        default:
            return d;
    }
}

}  // namespace pixel16

// The effective alpha of a source alpha sa under the drawing alpha a: (sa * a) >> 8, 0 to 254.
QUOVEL_PIXEL_RULE uint32_t effectiveAlpha(uint32_t sa, uint32_t a) {
    return (sa * a) >> 8;
}
