#include "tools/font-baker/PngFile.h"

#include <png.h>

namespace fontbaker {

bool writePng(const std::string& path, int width, int height, int channels,
              const std::vector<uint8_t>& pixels) {
    if (width < 1 || height < 1 || (channels != 1 && channels != 4) ||
        pixels.size() != static_cast<size_t>(width) * height * channels) {
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = channels == 1 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGBA;
    const bool written = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(),
                                                 width * channels, nullptr) != 0;
    png_image_free(&image);
    return written;
}

}  // namespace fontbaker
