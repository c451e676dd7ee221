// JPEG pictures from memory at both display depths.
#include "FuzzSupport.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    setDisplayBytesPerPixel(size % 2 ? 2 : 4);
    RefHolder<Image> image = decodeJpeg("", data, size);
    return 0;
}
