#pragma once

#include <cmath>
#include <cstdint>

// Float-to-int conversions of computed values. Converting a non-finite or out-of-range value is
// undefined in C++, so every conversion clamps first; NaN becomes 0.

inline int64_t clampToInt64(double value, double limit = 9.0e18) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= limit) {
        return static_cast<int64_t>(limit);
    }
    if (value <= -limit) {
        return static_cast<int64_t>(-limit);
    }
    return static_cast<int64_t>(value);
}

// Cuts toward zero, like a C cast of an in-range value.
inline int32_t truncToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return INT32_MAX;
    }
    if (value <= -2147483648.0) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

// Rounds to the nearest integer, ties to even (the processor's default rounding).
inline int32_t roundToInt32(double value) {
    return truncToInt32(std::nearbyint(value));
}

inline int32_t floorToInt32(double value) {
    return truncToInt32(std::floor(value));
}

inline int32_t ceilToInt32(double value) {
    return truncToInt32(std::ceil(value));
}

// A 64-bit result brought into 32 bits, saturating.
inline int32_t saturateToInt32(int64_t value) {
    return value > INT32_MAX   ? INT32_MAX
           : value < INT32_MIN ? INT32_MIN
                               : static_cast<int32_t>(value);
}
