// Ogg Vorbis sound files: decoded whole as a sample, and streamed as music is (opened from a
// file, read in pieces, sought back and read again).
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "framework/os/AudioDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    SampleData sample;
    audio::decodeSample(data, size, 44100, sample);

    const fuzz::InputFile input("ogg", data, size);
    const std::string& path = input.path();
    std::unique_ptr<audio::StreamDecoder> stream = audio::openStreamDecoder(path, 44100);
    if (stream) {
        std::vector<int16_t> frames(2 * 4096);
        for (int pass = 0; pass < 2; ++pass) {
            for (int piece = 0; piece < 64 && stream->read(frames.data(), 4096) > 0; ++piece) {
            }
            stream->seek(stream->length() / 2);
        }
    }
    return 0;
}
