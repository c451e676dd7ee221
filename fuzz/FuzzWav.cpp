// WAV sound files decoded whole to the mixer's rate.
#include "FuzzSupport.h"
#include "framework/os/AudioDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    SampleData sample;
    audio::decodeSample(data, size, size % 2 ? 22050 : 44100, sample);
    return 0;
}
