// PNG pictures from memory, as color images at both display depths and as masks.
#include "FuzzSupport.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    const uint32_t flags[] = {0, PngDecodeFlags::ALPHA_ONLY, PngDecodeFlags::GREY_IS_ALPHA};
    setDisplayBytesPerPixel(size % 2 ? 2 : 4);
    RefHolder<Image> image = loadPngMemory(data, size, flags[size % 3]);
    return 0;
}
