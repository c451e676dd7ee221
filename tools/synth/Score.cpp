#include "tools/synth/Score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "tools/synth/AudioFile.h"

namespace synth {

namespace {

// Every piece is levelled to the same loudness (RMS over the whole piece) unless that would
// take its peak above -3 dBFS: Vorbis overshoots a little when it decodes.
constexpr double MUSIC_LOUDNESS = 0.1;  // -20 dBFS
constexpr double MUSIC_PEAK = 0.708;

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(value);
}

bool pitchClass(const std::string& text, size_t& at, int& pc) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7};
    if (at >= text.size() || text[at] < 'A' || text[at] > 'G') {
        return false;
    }
    pc = letters[text[at] - 'A'];
    ++at;
    if (at < text.size() && (text[at] == '#' || text[at] == 'b')) {
        pc += text[at] == '#' ? 1 : -1;
        ++at;
    }
    pc = (pc + 12) % 12;
    return true;
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

// The semitones above the chord's root of a chord-tone name ("1", "3", "5", "7", "8", "9",
// "10", "12"; a leading "-" takes it an octave down).
bool chordTone(const Score::Chord& chord, std::string name, int& semitones) {
    int shift = 0;
    if (!name.empty() && name[0] == '-') {
        shift = -12;
        name.erase(0, 1);
    }
    const std::vector<int>& iv = chord.intervals;
    const int seventh = iv.size() > 3 && iv[3] < 12 ? iv[3] : 12;
    if (name == "1") {
        semitones = iv[0];
    } else if (name == "3") {
        semitones = iv[1];
    } else if (name == "5") {
        semitones = iv[2];
    } else if (name == "7") {
        semitones = seventh;
    } else if (name == "8") {
        semitones = 12;
    } else if (name == "9") {
        semitones = 14;
    } else if (name == "10") {
        semitones = iv[1] + 12;
    } else if (name == "12") {
        semitones = iv[2] + 12;
    } else {
        return false;
    }
    semitones += shift;
    return true;
}

double option(const Score::Track& track, const std::string& key, double fallback) {
    const auto found = track.options.find(key);
    double value = fallback;
    return found != track.options.end() && number(found->second, value) ? value : fallback;
}

std::string textOption(const Score::Track& track, const std::string& key) {
    const auto found = track.options.find(key);
    return found == track.options.end() ? std::string() : found->second;
}

unsigned long nameHash(const std::string& text) {
    unsigned long hash = 5381;
    for (char c : text) {
        hash = hash * 33 + static_cast<unsigned char>(c);
    }
    return hash;
}

// The lowest note of pitch class `pc` at or above `floor`.
int atOrAbove(int pc, int floor) {
    int note = floor - ((floor % 12) + 12) % 12 + pc;
    while (note < floor) {
        note += 12;
    }
    return note;
}

const std::map<std::string, std::vector<int>>& scales() {
    static const std::map<std::string, std::vector<int>> table = {
        {"major", {0, 2, 4, 5, 7, 9, 11}},    {"minor", {0, 2, 3, 5, 7, 8, 10}},
        {"dorian", {0, 2, 3, 5, 7, 9, 10}},   {"mixolydian", {0, 2, 4, 5, 7, 9, 10}},
        {"lydian", {0, 2, 4, 6, 7, 9, 11}},   {"pentatonic", {0, 2, 4, 7, 9}},
        {"minorpentatonic", {0, 3, 5, 7, 10}}};
    return table;
}

}  // namespace

bool parseChord(const std::string& text, double beats, Score::Chord& chord) {
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}},   {"m7", {0, 3, 7, 10}},    {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},       {"7sus4", {0, 5, 7, 10}}, {"add9", {0, 4, 7, 14}},
        {"6", {0, 4, 7, 9}},       {"m6", {0, 3, 7, 9}},     {"maj9", {0, 4, 7, 11, 14}},
        {"m9", {0, 3, 7, 10, 14}}, {"9", {0, 4, 7, 10, 14}}, {"dim", {0, 3, 6}},
        {"m7b5", {0, 3, 6, 10}},   {"madd9", {0, 3, 7, 14}}};
    const size_t slash = text.find('/');
    const std::string name = text.substr(0, slash);
    size_t at = 0;
    if (!pitchClass(name, at, chord.root)) {
        return false;
    }
    const auto quality = qualities.find(name.substr(at));
    if (quality == qualities.end()) {
        return false;
    }
    chord.intervals = quality->second;
    chord.bass = chord.root;
    if (slash != std::string::npos) {
        size_t bassAt = 0;
        const std::string bass = text.substr(slash + 1);
        if (!pitchClass(bass, bassAt, chord.bass) || bassAt != bass.size()) {
            return false;
        }
    }
    chord.beats = beats;
    return beats > 0;
}

bool Score::parse(const Source& source, std::string& error) {
    const std::vector<SourceLine>& lines = source.lines();
    scale = scales().at("major");
    for (size_t index = 0; index < lines.size(); ++index) {
        const SourceLine& line = lines[index];
        const std::vector<std::string>& w = line.words;
        bool good = true;
        double value = 0;
        if (w[0] == "tempo" && w.size() == 2) {
            good = number(w[1], tempo) && tempo >= 20 && tempo <= 300;
        } else if (w[0] == "beats" && w.size() == 2) {
            good = number(w[1], value) && value >= 2 && value <= 12;
            beatsPerBar = static_cast<int>(value);
        } else if (w[0] == "seed" && w.size() == 2) {
            good = number(w[1], value) && value >= 0;
            seed = static_cast<unsigned long>(value);
        } else if (w[0] == "quality" && w.size() == 2) {
            good = number(w[1], value) && value >= -0.1 && value <= 1.0;
            vorbisQuality = static_cast<float>(value);
        } else if (w[0] == "key" && w.size() == 3) {
            size_t at = 0;
            good = pitchClass(w[1], at, tonic) && at == w[1].size() && scales().count(w[2]);
            if (good) {
                scale = scales().at(w[2]);
            }
        } else if (w[0] == "reverb" && w.size() == 4) {
            good =
                number(w[1], reverbMix) && number(w[2], reverbSize) && number(w[3], reverbDamping);
        } else if ((w[0] == "instrument" || w[0] == "section") && w.size() == 2) {
            const bool isInstrument = w[0] == "instrument";
            std::vector<Layer> layers;
            std::vector<Chord> chords;
            for (++index; index < lines.size() && lines[index].words[0] != "end"; ++index) {
                const SourceLine& inner = lines[index];
                const std::vector<std::string>& v = inner.words;
                if (isInstrument && (v[0] == "tone" || v[0] == "noise")) {
                    Layer layer;
                    if (!Layer::parse(v[0] == "noise", {v.begin() + 1, v.end()}, layer, error)) {
                        error = inner.where() + ": " + error;
                        return false;
                    }
                    layers.push_back(layer);
                    continue;
                }
                if (isInstrument || v[0] != "chords") {
                    error = inner.where() + ": cannot read this line";
                    return false;
                }
                for (size_t c = 1; c < v.size(); ++c) {
                    if (v[c] == "|") {
                        continue;
                    }
                    const size_t colon = v[c].find(':');
                    double beats = beatsPerBar;
                    Chord chord;
                    if ((colon != std::string::npos && !number(v[c].substr(colon + 1), beats)) ||
                        !parseChord(v[c].substr(0, colon), beats, chord)) {
                        error = inner.where() + ": bad chord " + v[c];
                        return false;
                    }
                    chords.push_back(chord);
                }
            }
            if (index >= lines.size()) {
                error = line.where() + ": no end";
                return false;
            }
            if (isInstrument) {
                good = !layers.empty();
                instruments[w[1]] = layers;
            } else {
                good = !chords.empty();
                sections[w[1]] = chords;
            }
        } else if (w[0] == "form" && w.size() >= 2) {
            form.assign(w.begin() + 1, w.end());
        } else if (w[0] == "track" && w.size() >= 3) {
            if (!parseTrack(line, error)) {
                return false;
            }
        } else {
            good = false;
        }
        if (!good) {
            error = line.where() + ": cannot read this line";
            return false;
        }
    }
    for (const std::string& name : form) {
        if (!sections.count(name)) {
            error = "the form names an unknown section " + name;
            return false;
        }
    }
    if (form.empty() || tracks.empty()) {
        error = "a score needs a form and tracks";
        return false;
    }
    return true;
}

bool Score::parseTrack(const SourceLine& line, std::string& error) {
    Track track;
    track.instrument = line.words[1];
    for (size_t i = 2; i < line.words.size(); ++i) {
        const size_t equals = line.words[i].find('=');
        if (equals == std::string::npos) {
            error = line.where() + ": expected key=value: " + line.words[i];
            return false;
        }
        track.options[line.words[i].substr(0, equals)] = line.words[i].substr(equals + 1);
    }
    track.style = textOption(track, "style");
    static const std::vector<std::string> styles = {"chord", "arp", "bass", "hits", "melody"};
    if (!instruments.count(track.instrument) ||
        std::find(styles.begin(), styles.end(), track.style) == styles.end()) {
        error = line.where() + ": unknown instrument or style";
        return false;
    }
    // Patterns and notes are checked here so that a typing error stops the build.
    int note = 0;
    if (track.options.count("note") && !parseNoteName(textOption(track, "note"), note)) {
        error = line.where() + ": bad note " + textOption(track, "note");
        return false;
    }
    Chord probe;
    parseChord("Cmaj7", 4, probe);
    for (const std::string& step : splitAt(textOption(track, "pattern"), ',')) {
        const std::string tone = step.substr(0, step.find(':'));
        int semitones = 0;
        double level = 0;
        const bool fine =
            track.style == "hits" ? number(step, level) : chordTone(probe, tone, semitones);
        if (!fine) {
            error = line.where() + ": bad pattern step " + step;
            return false;
        }
    }
    tracks.push_back(track);
    return true;
}

double Score::seconds() const {
    double beats = 0;
    for (const std::string& name : form) {
        for (const Chord& chord : sections.at(name)) {
            beats += chord.beats;
        }
    }
    return beats * 60.0 / tempo;
}

std::vector<Score::Note> Score::notesOf(size_t trackIndex) const {
    const Track& track = tracks[trackIndex];
    const std::vector<std::string> only = splitAt(textOption(track, "sections"), ',');
    const int base = 12 * (static_cast<int>(option(track, "octave", 4)) + 1);
    const double step = option(track, "step", 0);
    const std::vector<std::string> pattern = splitAt(textOption(track, "pattern"), ',');
    std::vector<Note> notes;
    double beat = 0;
    for (const std::string& name : form) {
        const std::vector<Chord>& chords = sections.at(name);
        double sectionBeats = 0;
        for (const Chord& chord : chords) {
            sectionBeats += chord.beats;
        }
        if (!only.empty() && std::find(only.begin(), only.end(), name) == only.end()) {
            beat += sectionBeats;
            continue;
        }
        if (track.style == "melody") {
            melodyOf(track, trackIndex, chords, name, beat, notes);
            beat += sectionBeats;
            continue;
        }
        for (const Chord& chord : chords) {
            const int root = atOrAbove(chord.root, base);
            if (track.style == "chord") {
                const double hit = step > 0 ? step : chord.beats;
                for (double at = 0; at < chord.beats - 1e-9; at += hit) {
                    for (int interval : chord.intervals) {
                        // Close voicing inside one octave from the track's base.
                        const int note = atOrAbove((chord.root + interval) % 12, base);
                        notes.push_back({beat + at, static_cast<double>(note),
                                         std::min(hit, chord.beats - at), 0.8});
                    }
                }
            } else if (track.style == "arp" || track.style == "hits") {
                const double hit = step > 0 ? step : 0.5;
                size_t k = 0;
                for (double at = 0; at < chord.beats - 1e-9 && !pattern.empty(); at += hit, ++k) {
                    const std::string& entry = pattern[k % pattern.size()];
                    if (track.style == "hits") {
                        double level = 0;
                        number(entry, level);
                        int pitch = base + tonic;
                        parseNoteName(textOption(track, "note"), pitch);
                        if (level > 0) {
                            notes.push_back({beat + at, static_cast<double>(pitch), hit, level});
                        }
                        continue;
                    }
                    int semitones = 0;
                    chordTone(chord, entry, semitones);
                    notes.push_back({beat + at, static_cast<double>(root + semitones), hit,
                                     k == 0 ? 1.0 : 0.8});
                }
            } else {  // bass
                double at = 0;
                for (size_t k = 0; at < chord.beats - 1e-9 && !pattern.empty(); ++k) {
                    const std::string& entry = pattern[k % pattern.size()];
                    const size_t colon = entry.find(':');
                    double beats = 1;
                    if (colon != std::string::npos) {
                        number(entry.substr(colon + 1), beats);
                    }
                    const std::string tone = entry.substr(0, colon);
                    int semitones = 0;
                    chordTone(chord, tone, semitones);
                    int note = root + semitones;
                    if (tone == "1") {
                        note = atOrAbove(chord.bass, base);
                    }
                    const double length = std::min(beats, chord.beats - at);
                    notes.push_back({beat + at, static_cast<double>(note), length, 0.9});
                    at += beats;
                }
            }
            beat += chord.beats;
        }
    }
    return notes;
}

void Score::melodyOf(const Track& track, size_t trackIndex, const std::vector<Chord>& chords,
                     const std::string& section, double start, std::vector<Note>& notes) const {
    // The same section always gets the same tune: the seed comes from its name.
    Random random(seed * 7919 + nameHash(section) + trackIndex * 104729);
    const double restShare = option(track, "rest", 0.15);
    const int centre = 12 * (static_cast<int>(option(track, "octave", 5)) + 1) + tonic;
    // Scale notes from a fifth below the centre to an octave above it.
    std::vector<int> ladder;
    for (int octave = -1; octave <= 1; ++octave) {
        for (int degree : scale) {
            const int note = centre + octave * 12 + degree;
            if (note >= centre - 7 && note <= centre + 12) {
                ladder.push_back(note);
            }
        }
    }
    const auto home =
        static_cast<long>(std::find(ladder.begin(), ladder.end(), centre) - ladder.begin());
    static const std::vector<std::vector<double>> fourBeat = {
        {2, 2},       {1, 1, 2}, {1.5, 0.5, 2}, {3, 1},
        {1, 1, 1, 1}, {2, 1, 1}, {1, 2, 1},     {0.5, 0.5, 1, 2}};
    static const std::vector<std::vector<double>> threeBeat = {
        {2, 1}, {1, 1, 1}, {3}, {1.5, 0.5, 1}, {1, 2}};
    const auto& rhythms = beatsPerBar == 3 ? threeBeat : fourBeat;
    // Rhythms come in two-bar phrases; the first phrase's rhythm comes back in the third.
    std::vector<std::vector<double>> phraseRhythm;
    auto position = static_cast<size_t>(home);
    double beat = start;
    for (size_t c = 0; c < chords.size(); ++c) {
        const Chord& chord = chords[c];
        std::vector<double> rhythm;
        if (std::abs(chord.beats - beatsPerBar) > 1e-9) {
            rhythm = {chord.beats};
        } else if (c % 4 < 2 || phraseRhythm.size() < 2) {
            rhythm = rhythms[static_cast<size_t>(random.next() * rhythms.size())];
            phraseRhythm.push_back(rhythm);
        } else {
            rhythm = phraseRhythm[c % 2];
        }
        const bool last = c + 1 == chords.size();
        if (last) {
            rhythm = beatsPerBar == 3 ? std::vector<double>{3} : std::vector<double>{1, 3};
        }
        double at = 0;
        for (size_t n = 0; n < rhythm.size(); ++n) {
            const bool strong = std::fmod(at, 2.0) < 1e-9;
            const bool closing = last && n + 1 == rhythm.size();
            // A step or a small leap along the scale, drawn back towards the centre the further
            // the tune has wandered from it.
            const double up =
                std::clamp(0.5 - 0.1 * (static_cast<double>(position) - home), 0.15, 0.85);
            const long size = random.next() < 0.7 ? 1 : 2;
            const long move = random.next() < up ? size : -size;
            position = static_cast<size_t>(std::clamp<long>(static_cast<long>(position) + move, 0,
                                                            static_cast<long>(ladder.size()) - 1));
            int note = ladder[position];
            if (strong || closing) {
                // Strong beats sit on a chord tone (the root to close the section).
                int best = note;
                int bestDistance = 99;
                for (size_t i = 0; i < ladder.size(); ++i) {
                    const int pc = ((ladder[i] - chord.root) % 12 + 12) % 12;
                    bool fits = closing ? pc == 0 : false;
                    for (int interval : chord.intervals) {
                        fits = fits || (!closing && pc == interval % 12);
                    }
                    const int distance = std::abs(ladder[i] - note);
                    if (fits && distance < bestDistance) {
                        best = ladder[i];
                        bestDistance = distance;
                        position = i;
                    }
                }
                note = best;
            }
            const bool rest = !strong && !closing && random.next() < restShare;
            if (!rest) {
                notes.push_back(
                    {beat + at, static_cast<double>(note), rhythm[n], strong ? 1.0 : 0.85});
            }
            at += rhythm[n];
        }
        beat += chord.beats;
    }
}

void Score::render(std::vector<double>& left, std::vector<double>& right) const {
    const double secondsPerBeat = 60.0 / tempo;
    const auto loopLength = static_cast<size_t>(std::llround(seconds() * SAMPLE_RATE));
    left.assign(loopLength, 0.0);
    right.assign(loopLength, 0.0);
    Random random(seed);
    for (size_t t = 0; t < tracks.size(); ++t) {
        const Track& track = tracks[t];
        const double gain = decibels(option(track, "gain", 0));
        const double pan = std::clamp(option(track, "pan", 0), -1.0, 1.0);
        const double humanise = option(track, "humanise", 0.004);
        std::vector<double> mono(loopLength, 0.0);
        for (const Note& note : notesOf(t)) {
            const double at = note.beat * secondsPerBeat + humanise * random.next();
            const double level = note.velocity * gain * (1.0 - 0.08 * random.next());
            for (const Layer& layer : instruments.at(track.instrument)) {
                layer.render(mono, at, noteFrequency(note.midi), note.beats * secondsPerBeat, level,
                             0.0, random);
            }
        }
        const double angle = (pan + 1.0) * M_PI / 4.0;
        if (mono.size() > left.size()) {
            left.resize(mono.size(), 0.0);
            right.resize(mono.size(), 0.0);
        }
        for (size_t i = 0; i < mono.size(); ++i) {
            left[i] += mono[i] * std::cos(angle) * M_SQRT2;
            right[i] += mono[i] * std::sin(angle) * M_SQRT2;
        }
    }
    if (reverbMix > 0) {
        Reverb leftRoom(reverbSize, reverbDamping, 0);
        Reverb rightRoom(reverbSize, reverbDamping, 1);
        const size_t total =
            left.size() + static_cast<size_t>(leftRoom.tailSeconds() * SAMPLE_RATE);
        left.resize(total, 0.0);
        right.resize(total, 0.0);
        for (size_t i = 0; i < total; ++i) {
            const double send = (left[i] + right[i]) * 0.5;
            left[i] += reverbMix * leftRoom.process(send);
            right[i] += reverbMix * rightRoom.process(send);
        }
    }
    // What rings past the end of the pass sounds again over the start of the next one.
    for (size_t i = loopLength; i < left.size(); ++i) {
        left[i % loopLength] += left[i];
        right[i % loopLength] += right[i];
    }
    left.resize(loopLength);
    right.resize(loopLength);
    const double peak = std::max(peakLevel(left), peakLevel(right));
    double power = 0.0;
    for (size_t i = 0; i < loopLength; ++i) {
        power += left[i] * left[i] + right[i] * right[i];
    }
    const double rms =
        std::sqrt(power / (2.0 * static_cast<double>(std::max<size_t>(loopLength, 1))));
    if (peak > 0) {
        const double gain = std::min(MUSIC_LOUDNESS / rms, MUSIC_PEAK / peak);
        for (size_t i = 0; i < loopLength; ++i) {
            left[i] *= gain;
            right[i] *= gain;
        }
    }
}

}  // namespace synth
