#include "tools/synth/Dsp.h"

#include <algorithm>
#include <cmath>

namespace synth {

Random::Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    if (state == 0) {
        state = 1;
    }
}

double Random::next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    const uint64_t value = state * 0x2545F4914F6CDD1Dull;
    return static_cast<double>(value >> 11) * (1.0 / 9007199254740992.0);
}

bool parseWave(const std::string& name, Wave& wave) {
    static const std::pair<const char*, Wave> names[] = {{"sine", Wave::SINE},
                                                         {"triangle", Wave::TRIANGLE},
                                                         {"square", Wave::SQUARE},
                                                         {"saw", Wave::SAW},
                                                         {"noise", Wave::NOISE}};
    for (const auto& [word, value] : names) {
        if (name == word) {
            wave = value;
            return true;
        }
    }
    return false;
}

namespace {

// The polynomial band-limited step: the correction near a jump of the naive wave.
double blep(double phase, double step) {
    if (step <= 0.0) {
        return 0.0;
    }
    if (phase < step) {
        const double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step) {
        const double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

double sineOfCycles(double cycles) {
    constexpr size_t size = 4096;
    static const std::vector<double> table = [] {
        std::vector<double> values(size + 1);
        for (size_t i = 0; i <= size; ++i) {
            values[i] = std::sin(2.0 * M_PI * static_cast<double>(i) / size);
        }
        return values;
    }();
    const double position = (cycles - std::floor(cycles)) * size;
    const auto index = std::min(static_cast<size_t>(position), size - 1);
    const double fraction = position - static_cast<double>(index);
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

double waveValue(Wave wave, double phase, double step) {
    switch (wave) {
        case Wave::SINE:
            return sineOfCycles(phase);
        case Wave::TRIANGLE:
            return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
        case Wave::SQUARE: {
            double value = phase < 0.5 ? 1.0 : -1.0;
            value += blep(phase, step);
            double shifted = phase + 0.5;
            shifted -= std::floor(shifted);
            return value - blep(shifted, step);
        }
        case Wave::SAW:
            return 2.0 * phase - 1.0 - blep(phase, step);
        case Wave::NOISE:
            break;
    }
    return 0.0;
}

void Biquad::set(Kind kind, double frequency, double q) {
    const double f = std::clamp(frequency, 10.0, SAMPLE_RATE * 0.45);
    const double w = 2.0 * M_PI * f / SAMPLE_RATE;
    const double alpha = std::sin(w) / (2.0 * std::max(q, 0.05));
    const double c = std::cos(w);
    double n0 = 0, n1 = 0, n2 = 0;
    switch (kind) {
        case Kind::LOW_PASS:
            n0 = (1 - c) / 2;
            n1 = 1 - c;
            n2 = (1 - c) / 2;
            break;
        case Kind::HIGH_PASS:
            n0 = (1 + c) / 2;
            n1 = -(1 + c);
            n2 = (1 + c) / 2;
            break;
        case Kind::BAND_PASS:
            n0 = alpha;
            n1 = 0;
            n2 = -alpha;
            break;
    }
    const double d0 = 1 + alpha;
    b0 = n0 / d0;
    b1 = n1 / d0;
    b2 = n2 / d0;
    a1 = -2 * c / d0;
    a2 = (1 - alpha) / d0;
}

double Biquad::process(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

namespace {

// Comb and all-pass lengths in samples at 44.1 kHz for a medium room.
constexpr int COMB_LENGTHS[] = {1116, 1188, 1277, 1356};
constexpr int ALL_PASS_LENGTHS[] = {556, 441};
constexpr int SIDE_SPREAD = 23;

}  // namespace

Reverb::Reverb(double size, double damping, int side)
    : feedback(0.70 + 0.28 * std::clamp(size, 0.0, 1.0)),
      damping(std::clamp(damping, 0.0, 1.0) * 0.4) {
    const double scale = 0.5 + std::clamp(size, 0.0, 1.0);
    for (int length : COMB_LENGTHS) {
        Delay delay;
        delay.line.assign(static_cast<size_t>(length * scale) + side * SIDE_SPREAD, 0.0);
        combs.push_back(std::move(delay));
    }
    for (int length : ALL_PASS_LENGTHS) {
        Delay delay;
        delay.line.assign(static_cast<size_t>(length) + side * SIDE_SPREAD, 0.0);
        allPasses.push_back(std::move(delay));
    }
}

double Reverb::process(double x) {
    double sum = 0.0;
    for (Delay& comb : combs) {
        const double out = comb.line[comb.at];
        comb.filtered = out * (1.0 - damping) + comb.filtered * damping;
        comb.line[comb.at] = x * 0.25 + comb.filtered * feedback;
        comb.at = (comb.at + 1) % comb.line.size();
        sum += out;
    }
    for (Delay& pass : allPasses) {
        const double delayed = pass.line[pass.at];
        const double out = delayed - sum * 0.5;
        pass.line[pass.at] = sum + delayed * 0.5;
        pass.at = (pass.at + 1) % pass.line.size();
        sum = out;
    }
    return sum;
}

double Reverb::tailSeconds() const {
    size_t longest = 0;
    for (const Delay& comb : combs) {
        longest = std::max(longest, comb.line.size());
    }
    // Each pass round the longest comb loses -20 log10(feedback) dB.
    const double passes = 60.0 / (-20.0 * std::log10(feedback));
    return passes * static_cast<double>(longest) / SAMPLE_RATE;
}

double semitoneRatio(double semitones) {
    return std::pow(2.0, semitones / 12.0);
}

double noteFrequency(double midi) {
    return 440.0 * semitoneRatio(midi - 69.0);
}

bool parseNoteName(const std::string& text, int& midi) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G') {
        return false;
    }
    int pitch = letters[text[0] - 'A'];
    size_t at = 1;
    if (text[at] == '#') {
        ++pitch;
        ++at;
    } else if (text[at] == 'b') {
        --pitch;
        ++at;
    }
    if (at >= text.size()) {
        return false;
    }
    int octave = 0;
    bool negative = false;
    if (text[at] == '-') {
        negative = true;
        ++at;
    }
    if (at >= text.size()) {
        return false;
    }
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return false;
        }
        octave = octave * 10 + (text[at] - '0');
    }
    midi = (negative ? -octave : octave) * 12 + 12 + pitch;
    return true;
}

double decibels(double db) {
    return std::pow(10.0, db / 20.0);
}

}  // namespace synth
