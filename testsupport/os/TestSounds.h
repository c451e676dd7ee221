#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Sound files made by the tests themselves: sine tones as 16-bit PCM WAV or Ogg Vorbis.
namespace testsounds {

// A sine tone of `frames` frames; every channel carries the same signal.
std::vector<int16_t> tone(int rate, int channels, uint32_t frames, double frequency,
                          double amplitude);

std::vector<uint8_t> wavFile(int rate, int channels, const std::vector<int16_t>& pcm);
// A WAV file of a 440 Hz tone.
std::vector<uint8_t> toneWav(int rate, int channels, uint32_t frames, double amplitude = 12000);
// Ogg Vorbis at quality 0.4; empty when the encoder refuses the layout.
std::vector<uint8_t> oggFile(int rate, int channels, const std::vector<int16_t>& pcm);

bool writeFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readFile(const std::string& fileName);

// A fresh folder under the system's temporary folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

}  // namespace testsounds
