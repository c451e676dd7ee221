#pragma once

#include <string>
#include <vector>

#include "tools/synth/Layer.h"
#include "tools/synth/Source.h"

namespace synth {

// A sound effect source (".synth"): settings lines and layers, rendered to a mono sound.
//
//   group <name>            the loudness group the sound belongs to (read by the checks)
//   loudness <dB>           level of the loudest 50 ms after rendering (default -18)
//   seed <n>                the random source's seed (noise, jitter, unison phases)
//   transpose <semitones>   moves every pitch (for families of sounds sharing an include)
//   reverb <mix> <size> <damping>
//   loop <seconds>          a loop: whatever sounds past the end is added to the start, so a
//                           layer lasting the whole loop with equal attack and release, at a
//                           pitch with whole cycles in the loop, runs on without a seam
//   tone ... / noise ...    layers (see Layer)
//
// A one-shot lasts until its last layer and its reverb have died away, starts and ends at
// silence, and never peaks above -1 dBFS.
class Effect {
public:
    bool parse(const Source& source, std::string& error);
    // Renders and levels the sound; `warning` tells when the peak limit kept it below its
    // loudness.
    std::vector<double> render(std::string& warning) const;

    const std::string& group() const { return groupName; }
    bool loops() const { return loopSeconds > 0; }

private:
    std::string groupName;
    double loudness = -18.0;
    unsigned long seed = 1;
    double transpose = 0.0;
    double reverbMix = 0.0, reverbSize = 0.5, reverbDamping = 0.5;
    double loopSeconds = 0.0;
    std::vector<Layer> layers;
};

// The largest peak a rendered sound may have: -1 dBFS with room for rounding.
constexpr double PEAK_LIMIT = 0.885;

// Scales `samples` so that its loudest 50 ms reach `loudnessDb`, but never above `limit`;
// true when the limit held it lower.
bool level(std::vector<double>& samples, double loudnessDb, double limit);

}  // namespace synth
