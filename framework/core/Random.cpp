#include "framework/core/Random.h"

#include <cmath>

#include "framework/core/RefHolder.h"

namespace {

RefHolder<Random>& programGenerator() {
    static RefHolder<Random> generator;
    return generator;
}

// Remainder with the sign of the divisor; the divisor is never 0.
int64_t floorMod(int64_t value, int64_t divisor) {
    int64_t remainder = value % divisor;
    if (remainder != 0 && ((remainder < 0) != (divisor < 0))) {
        remainder += divisor;
    }
    return remainder;
}

}  // namespace

Random::Random(uint32_t seedLow, uint32_t seedHigh)
    : state(((static_cast<uint64_t>(seedHigh) << 32 | seedLow) ^ MULTIPLIER) & MASK) {}

int32_t Random::step() {
    state = (state * MULTIPLIER + ADDEND) & MASK;
    return static_cast<int32_t>(static_cast<uint32_t>(state >> 16));
}

int32_t Random::nextInt(int32_t lo, int32_t hi) {
    const int32_t draw = step();
    // 64 bits: hi - lo of a wide range does not fit in 32.
    const int64_t range = static_cast<int64_t>(hi) - lo;
    if (range == 0) {
        return lo;
    }
    return static_cast<int32_t>(lo + floorMod(draw, range));
}

float Random::nextFloat(float a, float b) {
    step();
    const float u = static_cast<float>((state >> 24) & 0xFFFFFF) * (1.0f / 16777216.0f);
    return a + fmodFloor(u, b - a);
}

int32_t Random::nextWeighted(const int32_t* weights, int32_t count) {
    int64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        total += weights[i];
    }
    const int32_t draw = step();
    if (total == 0) {
        return 0;
    }
    const int64_t r = floorMod(draw, total);
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i) {
        sum += weights[i];
        if (sum > r) {
            return i;
        }
    }
    return count - 1;
}

void Random::nextBytes(uint8_t* buffer, size_t length) {
    for (size_t i = 0; i < length; i += 4) {
        uint32_t draw = static_cast<uint32_t>(step());
        for (size_t k = i; k < length && k < i + 4; ++k) {
            buffer[k] = static_cast<uint8_t>(draw);
            draw >>= 8;
        }
    }
}

Random* Random::getInstance() {
    return programGenerator().get();
}

void Random::createInstance(uint32_t seed) {
    programGenerator() = new Random(seed, 0);
    std::srand(seed);
}

void Random::releaseInstance() {
    programGenerator().reset();
}

float fmodFloor(float a, float b) {
    if (b == 0.0f) {
        return a;
    }
    if ((a >= 0.0f) == (b > 0.0f)) {
        return a - std::floor(a / b) * b;
    }
    const float r = a - std::ceil(a / b) * b;
    return r != 0.0f ? r + b : r;
}

void approachTarget(float& velocity, float& position, int32_t elapsed, float target, float maxSpeed,
                    float acceleration, float deceleration, bool reverse) {
    const float dt = static_cast<float>(elapsed) * 0.001f;
    const float distance = target - position;
    const float brakingDistance =
        deceleration > 0.0f ? velocity * velocity / (2.0f * deceleration) : 0.0f;
    if (brakingDistance <= std::fabs(distance)) {
        if (distance > 0.0f) {
            velocity = std::fmin(velocity + acceleration * dt, maxSpeed);
        } else if (reverse) {
            velocity = std::fmax(velocity - acceleration * dt, -maxSpeed);
        }
    } else {
        const float dv = deceleration * dt;
        velocity =
            velocity > 0.0f ? std::fmax(velocity - dv, 0.0f) : std::fmin(velocity + dv, 0.0f);
    }
    const bool wasBelow = position < target;
    position += velocity * dt;
    if ((position < target) != wasBelow) {
        position = target;
        velocity = 0.0f;
    }
}
