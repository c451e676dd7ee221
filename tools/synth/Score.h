#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/synth/Layer.h"
#include "tools/synth/Source.h"

namespace synth {

// A piece of music (".score"): chords by section, a form, instruments made of layers, and
// tracks that play the chords in a style. Rendered as a seamless stereo loop.
//
//   tempo <bpm>   beats <per bar>   seed <n>   quality <vorbis quality>
//   key <tonic> <scale>      tonic "D", "F#", ...; scale major, minor, dorian, mixolydian,
//                            lydian, pentatonic, minorpentatonic
//   reverb <mix> <size> <damping>
//   instrument <name> ... end
//                            tone/noise layers; `mult` sets a layer's pitch against the note
//   section <name> ... end   holds `chords <chord>[:beats] ...` lines, a bar per chord unless
//                            the beats are given; a chord is a root and a quality ("Dmaj7",
//                            "F#m7", "Bb", "Gsus4", "C/E", ...)
//   form <section> ...       the order of the sections in one pass of the loop
//   track <instrument> style=<style> key=value ...
//       octave gain pan sections=A,B humanise=<seconds>
//       style=chord [step=<beats>]          the chord, voiced in one octave
//       style=arp pattern=1,5,8,10 step=    chord tones in turn ("1" root, "3" third,
//                                           "5" fifth, "7" seventh, "8" octave, "9", "10")
//       style=bass pattern=1:2,5:2          chord tones with their beats, the slash bass
//                                           for "1"
//       style=hits pattern=1,0,0.5,0 step= note=<note name>   a beat at each step's level
//       style=melody rest=<share>           a tune made up from the scale and the chords,
//                                           the same each time its section comes back
class Score {
public:
    bool parse(const Source& source, std::string& error);
    // Renders one pass of the form as a loop: left and right, at -20 dBFS RMS where the peak
    // stays at or below -3 dBFS.
    void render(std::vector<double>& left, std::vector<double>& right) const;

    float quality() const { return vorbisQuality; }
    int serial() const { return static_cast<int>(seed % 65536); }
    double seconds() const;

    struct Chord {
        int root = 0;  // pitch class
        int bass = 0;  // pitch class of the lowest note
        std::vector<int> intervals;
        double beats = 0;
    };
    struct Track {
        std::string instrument;
        std::string style;
        std::map<std::string, std::string> options;
    };
    struct Note {
        double beat;
        double midi;
        double beats;
        double velocity;
    };

private:
    bool parseTrack(const SourceLine& line, std::string& error);
    std::vector<Note> notesOf(size_t trackIndex) const;
    void melodyOf(const Track& track, size_t trackIndex, const std::vector<Chord>& chords,
                  const std::string& section, double start, std::vector<Note>& notes) const;

    double tempo = 80;
    int beatsPerBar = 4;
    unsigned long seed = 1;
    float vorbisQuality = 0.1f;
    int tonic = 0;
    std::vector<int> scale;
    double reverbMix = 0.0, reverbSize = 0.5, reverbDamping = 0.5;
    std::map<std::string, std::vector<Layer>> instruments;
    std::map<std::string, std::vector<Chord>> sections;
    std::vector<std::string> form;
    std::vector<Track> tracks;
};

// Reads a chord name such as "F#m7" or "C/E" lasting `beats`.
bool parseChord(const std::string& text, double beats, Score::Chord& chord);

}  // namespace synth
