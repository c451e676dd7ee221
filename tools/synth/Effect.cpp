#include "tools/synth/Effect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/synth/AudioFile.h"

namespace synth {

namespace {

constexpr double FADE_IN_SECONDS = 0.001;
constexpr double FADE_OUT_SECONDS = 0.005;
// A one-shot ends where it stays below this share of its peak (-60 dB).
constexpr double SILENCE_SHARE = 0.001;

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(value);
}

}  // namespace

bool level(std::vector<double>& samples, double loudnessDb, double limit) {
    const double loudness = loudestWindowRms(samples, SAMPLE_RATE);
    const double peak = peakLevel(samples);
    if (loudness <= 0 || peak <= 0) {
        return false;
    }
    double gain = decibels(loudnessDb) / loudness;
    const bool limited = peak * gain > limit;
    if (limited) {
        gain = limit / peak;
    }
    for (double& value : samples) {
        value *= gain;
    }
    return limited;
}

bool Effect::parse(const Source& source, std::string& error) {
    for (const SourceLine& line : source.lines()) {
        const std::vector<std::string>& w = line.words;
        const std::string& word = w[0];
        bool good = true;
        double value = 0;
        if (word == "tone" || word == "noise") {
            Layer layer;
            std::string fieldError;
            good = Layer::parse(word == "noise", {w.begin() + 1, w.end()}, layer, fieldError);
            if (!good) {
                error = line.where() + ": " + fieldError;
                return false;
            }
            layers.push_back(layer);
        } else if (word == "group" && w.size() == 2) {
            groupName = w[1];
        } else if (word == "loudness" && w.size() == 2) {
            good = number(w[1], loudness) && loudness < 0;
        } else if (word == "seed" && w.size() == 2) {
            good = number(w[1], value) && value >= 0;
            seed = static_cast<unsigned long>(value);
        } else if (word == "transpose" && w.size() == 2) {
            good = number(w[1], transpose);
        } else if (word == "reverb" && w.size() == 4) {
            good =
                number(w[1], reverbMix) && number(w[2], reverbSize) && number(w[3], reverbDamping);
        } else if (word == "loop" && w.size() == 2) {
            good = number(w[1], loopSeconds) && loopSeconds > 0.05;
        } else {
            good = false;
        }
        if (!good) {
            error = line.where() + ": cannot read this line";
            return false;
        }
    }
    if (layers.empty()) {
        error = "the sound has no layer";
        return false;
    }
    return true;
}

std::vector<double> Effect::render(std::string& warning) const {
    Random random(seed);
    std::vector<double> samples;
    for (const Layer& layer : layers) {
        layer.render(samples, 0.0, 0.0, 0.0, 1.0, transpose, random);
    }
    if (reverbMix > 0) {
        Reverb reverb(reverbSize, reverbDamping, 0);
        samples.resize(samples.size() + static_cast<size_t>(reverb.tailSeconds() * SAMPLE_RATE));
        for (double& value : samples) {
            value += reverbMix * reverb.process(value);
        }
    }

    const auto loopLength = static_cast<size_t>(loopSeconds * SAMPLE_RATE);
    if (loops()) {
        samples.resize(std::max(samples.size(), loopLength), 0.0);
        // Whatever rings past the end goes on at the start of the next pass.
        for (size_t i = loopLength; i < samples.size(); ++i) {
            samples[i % loopLength] += samples[i];
        }
        samples.resize(loopLength);
    } else {
        const double peak = peakLevel(samples);
        size_t end = samples.size();
        while (end > 0 && std::abs(samples[end - 1]) <= peak * SILENCE_SHARE) {
            --end;
        }
        samples.resize(
            std::min(samples.size(), end + static_cast<size_t>(FADE_OUT_SECONDS * SAMPLE_RATE)));
        const auto fadeIn = static_cast<size_t>(FADE_IN_SECONDS * SAMPLE_RATE);
        const auto fadeOut = static_cast<size_t>(FADE_OUT_SECONDS * SAMPLE_RATE);
        for (size_t i = 0; i < samples.size(); ++i) {
            double gain = 1.0;
            if (i < fadeIn) {
                gain = static_cast<double>(i) / fadeIn;
            }
            const size_t left = samples.size() - 1 - i;
            if (left < fadeOut) {
                gain = std::min(gain, static_cast<double>(left) / fadeOut);
            }
            samples[i] *= gain;
        }
    }
    if (level(samples, loudness, PEAK_LIMIT)) {
        const double reached = toDecibels(loudestWindowRms(samples, SAMPLE_RATE));
        if (reached < loudness - 1.0) {
            warning = "peak limit holds the loudness at " + std::to_string(reached) + " dB";
        }
    }
    return samples;
}

}  // namespace synth
