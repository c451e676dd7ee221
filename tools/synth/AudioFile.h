#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Level measures and the file writers of the synthesiser. Samples are doubles in [-1, 1].
namespace synth {

// The largest absolute sample.
double peakLevel(const std::vector<double>& samples);
// The loudness of a sound: the RMS of its loudest 50 ms (the whole sound when shorter).
double loudestWindowRms(const std::vector<double>& samples, int rate);
double toDecibels(double level);

// A 16-bit PCM WAV file of interleaved frames.
std::vector<uint8_t> encodeWav(const std::vector<int16_t>& pcm, int channels, int rate);
// A mono WAV file made by encodeWav.
bool writeWav(const std::string& fileName, const std::vector<double>& samples, int rate);
// Ogg Vorbis of interleaved frames at the VBR quality (-0.1 .. 1); `serial` names the logical
// stream, so the same input always gives the same bytes. Empty when the encoder refuses the
// layout.
std::vector<uint8_t> encodeOgg(const std::vector<float>& interleaved, int channels, int rate,
                               float quality, int serial);
// A stereo Ogg Vorbis file made by encodeOgg.
bool writeOgg(const std::string& fileName, const std::vector<double>& left,
              const std::vector<double>& right, int rate, float quality, int serial);

}  // namespace synth
