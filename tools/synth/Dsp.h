#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The synthesiser's building blocks: a seeded random source, oscillators, filters and a small
// reverb, all at one fixed rate.
namespace synth {

constexpr int SAMPLE_RATE = 44100;

// A small seeded generator (xorshift64*): the same seed always gives the same sound.
class Random {
public:
    explicit Random(uint64_t seed);
    // Uniform in [0, 1).
    double next();
    // Uniform in [-1, 1).
    double bipolar() { return next() * 2.0 - 1.0; }

private:
    uint64_t state;
};

enum class Wave { SINE, TRIANGLE, SQUARE, SAW, NOISE };

// The wave's name as written in sources ("sine", "triangle", "square", "saw", "noise").
bool parseWave(const std::string& name, Wave& wave);

// sin(2 pi cycles) from a table with linear steps between entries (error below -120 dB).
double sineOfCycles(double cycles);

// One sample of a periodic wave at `phase` in [0, 1); `step` is the phase increment per sample,
// used to round off the square's and saw's edges so they do not alias.
double waveValue(Wave wave, double phase, double step);

// A second-order filter section (RBJ cookbook).
class Biquad {
public:
    enum class Kind { LOW_PASS, HIGH_PASS, BAND_PASS };
    void set(Kind kind, double frequency, double q);
    double process(double x);

private:
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// A small room: parallel damped combs feeding two all-passes (one set per side, the right
// side's delays spread a little so the two sides differ).
class Reverb {
public:
    // size and damping in [0, 1]; `side` 0 or 1.
    Reverb(double size, double damping, int side);
    double process(double x);
    // Seconds until the reverb's response has fallen by 60 dB.
    double tailSeconds() const;

private:
    struct Delay {
        std::vector<double> line;
        size_t at = 0;
        double filtered = 0;
    };
    std::vector<Delay> combs;
    std::vector<Delay> allPasses;
    double feedback;
    double damping;
};

// Semitones to a frequency ratio.
double semitoneRatio(double semitones);
// MIDI note number to frequency (69 = A4 = 440 Hz).
double noteFrequency(double midi);
// A note name ("C4", "F#5", "Bb3") to its MIDI number; false when it is not one.
bool parseNoteName(const std::string& text, int& midi);
double decibels(double db);

}  // namespace synth
