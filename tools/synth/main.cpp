// The game's synthesiser: renders a sound effect source (.synth) into a mono WAV, or a piece of
// music (.score) into Ogg Vorbis.
//
//     synth <source> <output> [<dependency file>]
//
// The dependency file lists every source file read (the source and its includes) for the build.

#include <iostream>
#include <string>

#include "tools/synth/AudioFile.h"
#include "tools/synth/Effect.h"
#include "tools/synth/Score.h"
#include "tools/synth/Source.h"

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: synth <source.synth|source.score> <output> [<dependency file>]\n";
        return 2;
    }
    const std::string input = argv[1];
    const std::string output = argv[2];
    synth::Source source;
    std::string error;
    if (!source.read(input, error)) {
        std::cerr << "synth: " << error << "\n";
        return 1;
    }
    bool written = false;
    if (endsWith(input, ".score")) {
        synth::Score score;
        if (!score.parse(source, error)) {
            std::cerr << "synth: " << error << "\n";
            return 1;
        }
        std::vector<double> left, right;
        score.render(left, right);
        written = synth::writeOgg(output, left, right, synth::SAMPLE_RATE, score.quality(),
                                  score.serial());
    } else {
        synth::Effect effect;
        if (!effect.parse(source, error)) {
            std::cerr << "synth: " << input << ": " << error << "\n";
            return 1;
        }
        std::string warning;
        const std::vector<double> samples = effect.render(warning);
        if (!warning.empty()) {
            std::cerr << "synth: " << input << ": " << warning << "\n";
        }
        written = synth::writeWav(output, samples, synth::SAMPLE_RATE);
    }
    if (!written) {
        std::cerr << "synth: cannot write " << output << "\n";
        return 1;
    }
    if (argc == 4 && !source.writeDependencies(argv[3], output)) {
        std::cerr << "synth: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
