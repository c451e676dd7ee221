#include "testsupport/os/TestSounds.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "tools/synth/AudioFile.h"

namespace testsounds {

std::vector<int16_t> tone(int rate, int channels, uint32_t frames, double frequency,
                          double amplitude) {
    std::vector<int16_t> pcm;
    pcm.reserve(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    for (uint32_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * M_PI * frequency * i / rate);
        for (int c = 0; c < channels; ++c) {
            pcm.push_back(static_cast<int16_t>(std::lround(value)));
        }
    }
    return pcm;
}

std::vector<uint8_t> wavFile(int rate, int channels, const std::vector<int16_t>& pcm) {
    return synth::encodeWav(pcm, channels, rate);
}

std::vector<uint8_t> toneWav(int rate, int channels, uint32_t frames, double amplitude) {
    return wavFile(rate, channels, tone(rate, channels, frames, 440, amplitude));
}

std::vector<uint8_t> oggFile(int rate, int channels, const std::vector<int16_t>& pcm) {
    std::vector<float> interleaved;
    interleaved.reserve(pcm.size());
    for (int16_t value : pcm) {
        interleaved.push_back(value / 32768.0f);
    }
    return synth::encodeOgg(interleaved, channels, rate, 0.4f, 1);
}

bool writeFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::ofstream file(fileName, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<uint8_t> readFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TempFolder::TempFolder() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    do {
        path = (base / ("quovel-audio-" + std::to_string(seed()))).string();
    } while (!std::filesystem::create_directory(path));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace testsounds
