#pragma once

#include <string>
#include <vector>

// Level measures and the file writers of the synthesiser. Samples are doubles in [-1, 1].
namespace synth {

// The largest absolute sample.
double peakLevel(const std::vector<double>& samples);
// The loudness of a sound: the RMS of its loudest 50 ms (the whole sound when shorter).
double loudestWindowRms(const std::vector<double>& samples, int rate);
double toDecibels(double level);

// 16-bit PCM mono WAV.
bool writeWav(const std::string& fileName, const std::vector<double>& samples, int rate);
// Ogg Vorbis, stereo, at the VBR quality (-0.1 .. 1); `serial` names the logical stream, so the
// same input always gives the same bytes.
bool writeOgg(const std::string& fileName, const std::vector<double>& left,
              const std::vector<double>& right, int rate, float quality, int serial);

}  // namespace synth
