#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/synth/Dsp.h"

namespace synth {

// One sound-making line of a source: a tone or a noise with its envelope, pitch movement,
// filters and repeats, written as `tone key=value ...` or `noise key=value ...`.
//
// Keys (times in seconds, levels in dB, pitches in Hz or note names such as "C5"):
//   wave freq to glide mult  the wave, its pitch, a pitch to glide to over `glide` (default:
//                            the whole layer), and (in instruments) a ratio to the note's pitch
//   at attack hold decay sustain length release
//                            start; rise; hold at full; fall (to -60 dB, or towards the
//                            sustain level 0..1); gate length before release (default: the
//                            end of the decay); release after the gate
//   gain                     level in dB
//   lp lpto hp bp q          low-pass (sweeping to lpto over the layer), high-pass and
//                            band-pass corners in Hz, their resonance
//   vibrato tremolo          "rate:depth" (semitones; fraction of the level)
//   fm                       "ratio:index": a sine modulator whose depth follows the envelope
//   unison                   "count:cents": detuned copies
//   repeat interval step fall jitter
//                            copies every `interval`, each `step` semitones higher and `fall`
//                            dB softer, starting up to `jitter` late at random
struct Layer {
    Wave wave = Wave::SINE;
    double freq = 440, to = 0, glide = 0, mult = 1;
    double at = 0, attack = 0.002, hold = 0, decay = 0.3, sustain = 0, length = 0, release = 0.01;
    double gain = 0;
    double lp = 0, lpTo = 0, hp = 0, bp = 0, q = 0.707;
    double vibratoRate = 0, vibratoDepth = 0, tremoloRate = 0, tremoloDepth = 0;
    double fmRatio = 0, fmIndex = 0;
    int unison = 1;
    double detune = 0;
    int repeat = 1;
    double interval = 0.1, step = 0, fall = 0, jitter = 0;

    // Reads `tone`/`noise` fields; an error text names the first bad field.
    static bool parse(bool noise, const std::vector<std::string>& fields, Layer& layer,
                      std::string& error);

    // How long one copy is held before its release.
    double gateSeconds(double noteLength) const;

    // Adds the layer into `out` (mono, at sampleRate). `offset` moves the whole layer in
    // seconds; `noteFreq` > 0 replaces `freq` by noteFreq * mult (and `to` likewise keeps its
    // ratio); `noteLength` > 0 replaces the gate; `level` scales it.
    void render(std::vector<double>& out, double offset, double noteFreq, double noteLength,
                double level, double transpose, Random& random) const;

private:
    void renderCopy(std::vector<double>& out, double start, double f0, double f1, double noteLength,
                    double level, double phase, Random& random) const;
};

// Splits a line into words at spaces and tabs.
std::vector<std::string> splitWords(const std::string& line);

}  // namespace synth
