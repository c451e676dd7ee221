#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "framework/core/BaseObject.h"

// The game's own randomness: a 48-bit linear congruential generator (the drand48 constants), so
// that dealing and level building replay exactly from one seed. The program keeps one instance;
// the data scrambler keeps a private one with a fixed seed.
class Random : public BaseObject {
public:
    static constexpr uint64_t MULTIPLIER = 0x5DEECE66DULL;
    static constexpr uint64_t ADDEND = 11;
    static constexpr uint64_t MASK = (1ULL << 48) - 1;

    // Only the low 48 bits of the 64-bit seed (high half, low half) matter.
    Random(uint32_t seedLow, uint32_t seedHigh);

    // A value in [lo, hi - 1] (or (hi, lo] when hi < lo): lo plus the draw modulo hi - lo, the
    // remainder taking the divisor's sign. nextInt(lo, lo) gives lo.
    int32_t nextInt(int32_t lo, int32_t hi);
    // a plus the 24-bit fraction u of the step modulo b - a: in [a, b) for 0 < b - a < 1, in
    // [a, a + 1) for wider ranges (callers rely on that narrowing).
    float nextFloat(float a, float b);
    // The index i with probability weights[i] / sum; 0 when the weights add up to 0.
    int32_t nextWeighted(const int32_t* weights, int32_t count);
    // Fills the buffer four bytes per step, least significant byte of each draw first.
    void nextBytes(uint8_t* buffer, size_t length);

    // The program's generator, or null before createInstance.
    static Random* getInstance();
    // Makes the program's generator with `seed` as the low half and seeds the runtime's rand()
    // (which drives shuffleList) with the same value: one value replays a whole game.
    static void createInstance(uint32_t seed);
    static void releaseInstance();

private:
    // Advances the state and returns bits 16 to 47 of it as a signed value.
    int32_t step();

    uint64_t state;
};

// Float remainder with the divisor's sign: in [0, b) for b > 0, in (b, 0] for b < 0. A divisor
// of 0 gives `a` back.
float fmodFloor(float a, float b);

// Moves `position` toward `target` over `elapsed` milliseconds, accelerating up to `maxSpeed` and
// braking in time to stop on it (rates per second). Without `reverse` a target behind is not
// chased. A step that would cross the target ends on it with velocity 0.
void approachTarget(float& velocity, float& position, int32_t elapsed, float target, float maxSpeed,
                    float acceleration, float deceleration, bool reverse);

// Shuffles a range in place with the runtime's rand(), which createInstance seeds. The list
// shuffles of dealing and level building use this, not the program's generator.
template <class RandomIt>
void shuffleList(RandomIt first, RandomIt last) {
    const auto count = std::distance(first, last);
    for (auto i = count - 1; i > 0; --i) {
        const auto j = static_cast<decltype(i)>(std::rand()) % (i + 1);
        using std::swap;
        swap(first[i], first[j]);
    }
}
