#include "tools/synth/Layer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace synth {

namespace {

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

// A pitch: a number of Hz or a note name.
bool parsePitch(const std::string& text, double& hz) {
    int midi = 0;
    if (parseNoteName(text, midi)) {
        hz = noteFrequency(midi);
        return true;
    }
    return parseNumber(text, hz) && hz > 0;
}

bool parsePair(const std::string& text, double& first, double& second) {
    const size_t colon = text.find(':');
    return colon != std::string::npos && parseNumber(text.substr(0, colon), first) &&
           parseNumber(text.substr(colon + 1), second);
}

}  // namespace

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

bool Layer::parse(bool noise, const std::vector<std::string>& fields, Layer& layer,
                  std::string& error) {
    if (noise) {
        layer.wave = Wave::NOISE;
    }
    const std::map<std::string, double*> numbers = {{"glide", &layer.glide},
                                                    {"mult", &layer.mult},
                                                    {"at", &layer.at},
                                                    {"attack", &layer.attack},
                                                    {"hold", &layer.hold},
                                                    {"decay", &layer.decay},
                                                    {"sustain", &layer.sustain},
                                                    {"length", &layer.length},
                                                    {"release", &layer.release},
                                                    {"gain", &layer.gain},
                                                    {"lp", &layer.lp},
                                                    {"lpto", &layer.lpTo},
                                                    {"hp", &layer.hp},
                                                    {"bp", &layer.bp},
                                                    {"q", &layer.q},
                                                    {"interval", &layer.interval},
                                                    {"step", &layer.step},
                                                    {"fall", &layer.fall},
                                                    {"jitter", &layer.jitter}};
    for (const std::string& field : fields) {
        const size_t equals = field.find('=');
        if (equals == std::string::npos) {
            error = "expected key=value: " + field;
            return false;
        }
        const std::string key = field.substr(0, equals);
        const std::string value = field.substr(equals + 1);
        bool good = true;
        double count = 0;
        if (const auto found = numbers.find(key); found != numbers.end()) {
            good = parseNumber(value, *found->second);
        } else if (key == "wave") {
            good = parseWave(value, layer.wave);
        } else if (key == "freq") {
            good = parsePitch(value, layer.freq);
        } else if (key == "to") {
            good = parsePitch(value, layer.to);
        } else if (key == "vibrato") {
            good = parsePair(value, layer.vibratoRate, layer.vibratoDepth);
        } else if (key == "tremolo") {
            good = parsePair(value, layer.tremoloRate, layer.tremoloDepth);
        } else if (key == "fm") {
            good = parsePair(value, layer.fmRatio, layer.fmIndex);
        } else if (key == "unison") {
            good = parsePair(value, count, layer.detune) && count >= 1 && count <= 16;
            layer.unison = static_cast<int>(count);
        } else if (key == "repeat") {
            good = parseNumber(value, count) && count >= 1 && count <= 1000;
            layer.repeat = static_cast<int>(count);
        } else {
            good = false;
        }
        if (!good) {
            error = "bad field: " + field;
            return false;
        }
    }
    if (layer.attack < 0 || layer.hold < 0 || layer.decay <= 0 || layer.release < 0 ||
        layer.length < 0 || layer.at < 0 || layer.interval < 0 || layer.sustain < 0 ||
        layer.sustain > 1) {
        error = "times must not be negative, the decay must be positive and the sustain 0..1";
        return false;
    }
    return true;
}

double Layer::gateSeconds(double noteLength) const {
    if (noteLength > 0) {
        return noteLength;
    }
    return length > 0 ? length : attack + hold + decay;
}

void Layer::render(std::vector<double>& out, double offset, double noteFreq, double noteLength,
                   double level, double transpose, Random& random) const {
    const double ratio = to > 0 ? to / freq : 1.0;
    const double base = (noteFreq > 0 ? noteFreq * mult : freq) * semitoneRatio(transpose);
    for (int copy = 0; copy < repeat; ++copy) {
        const double start = offset + at + interval * copy + jitter * random.next();
        const double pitch = base * semitoneRatio(step * copy);
        const double copyLevel = level * decibels(gain - fall * copy);
        for (int voice = 0; voice < unison; ++voice) {
            const double spread =
                unison > 1 ? detune * (2.0 * voice / (unison - 1) - 1.0) / 100.0 : 0.0;
            const double f0 = pitch * semitoneRatio(spread);
            renderCopy(out, start, f0, f0 * ratio, noteLength, copyLevel / std::sqrt(unison),
                       unison > 1 ? random.next() : 0.0, random);
        }
    }
}

void Layer::renderCopy(std::vector<double>& out, double start, double f0, double f1,
                       double noteLength, double level, double phase, Random& random) const {
    const double gate = gateSeconds(noteLength);
    const double end = gate + release;
    const auto first = static_cast<size_t>(std::max(0.0, std::round(start * SAMPLE_RATE)));
    const auto count = static_cast<size_t>(end * SAMPLE_RATE);
    if (first + count > out.size()) {
        out.resize(first + count, 0.0);
    }
    const double sweep = glide > 0 ? glide : gate;
    const bool filtered = lp > 0 || hp > 0 || bp > 0;
    Biquad low, high, band;
    if (lp > 0) {
        low.set(Biquad::Kind::LOW_PASS, lp, q);
    }
    if (hp > 0) {
        high.set(Biquad::Kind::HIGH_PASS, hp, q);
    }
    if (bp > 0) {
        band.set(Biquad::Kind::BAND_PASS, bp, q);
    }
    // The decay falls by 60 dB over `decay` seconds towards the sustain level, one factor per
    // sample.
    const double fallFactor = std::exp(-6.907755 / (decay * SAMPLE_RATE));
    double decayed = 1.0;
    const double glideRatio = f1 / f0;
    double modulator = 0.0;
    double envelopeAtGate = -1.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SAMPLE_RATE;
        double envelope;
        const double held = std::min(t, gate);
        if (held < attack) {
            envelope = held / attack;
        } else if (held < attack + hold) {
            envelope = 1.0;
        } else {
            envelope = sustain + (1.0 - sustain) * decayed;
            if (t < gate) {
                decayed *= fallFactor;
            }
        }
        if (t >= gate) {
            if (envelopeAtGate < 0) {
                envelopeAtGate = envelope;
            }
            envelope = release > 0 ? envelopeAtGate * (1.0 - (t - gate) / release) : 0.0;
        }
        double f = glideRatio == 1.0 ? f0 : f0 * std::pow(glideRatio, std::min(t / sweep, 1.0));
        if (vibratoDepth != 0) {
            f *= semitoneRatio(vibratoDepth * sineOfCycles(vibratoRate * t));
        }
        double value;
        if (wave == Wave::NOISE) {
            value = random.bipolar();
        } else {
            double shifted = phase;
            if (fmRatio > 0) {
                shifted += fmIndex * envelope * sineOfCycles(modulator) / (2.0 * M_PI);
                modulator += f * fmRatio / SAMPLE_RATE;
                modulator -= std::floor(modulator);
                shifted -= std::floor(shifted);
            }
            value = waveValue(wave, shifted, f / SAMPLE_RATE);
            phase += f / SAMPLE_RATE;
            phase -= std::floor(phase);
        }
        if (filtered) {
            if (lp > 0 && lpTo > 0 && i % 32 == 0) {
                low.set(Biquad::Kind::LOW_PASS, lp * std::pow(lpTo / lp, t / end), q);
            }
            if (lp > 0) {
                value = low.process(value);
            }
            if (hp > 0) {
                value = high.process(value);
            }
            if (bp > 0) {
                value = band.process(value);
            }
        }
        if (tremoloDepth != 0) {
            envelope *= 1.0 - tremoloDepth * 0.5 * (1.0 - sineOfCycles(tremoloRate * t + 0.25));
        }
        out[first + i] += value * envelope * level;
    }
}

}  // namespace synth
