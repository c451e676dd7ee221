#include "framework/platform/ImageDD.h"

#include "framework/platform/DisplayDepth.h"

QUOVEL_DEFINE_TYPE(ImageDD, &Image::typeRecord)

ImageDD* ImageDD::createSurface(const SurfaceMemory& surface) {
    const int32_t depth = getDisplayBytesPerPixel() == 2 ? 2 : 4;
    if (surface.bytesPerPixel != depth || !surface.pixels || surface.width <= 0 ||
        surface.height <= 0 || int64_t{surface.pitch} < int64_t{surface.width} * depth ||
        (depth == 2 && !surface.alphaPlane)) {
        return nullptr;
    }
    ImageDD* image = new ImageDD();
    image->surface = surface;
    image->width = surface.width;
    image->height = surface.height;
    image->pitch = surface.pitch;
    image->setBytesPerPixel(depth);
    image->setAlphaPlane(depth == 2 ? surface.alphaPlane : nullptr);
    image->ownsBuffers = false;
    image->followsDisplayDepth = true;
    return image;
}

bool ImageDD::lock() {
    locked = true;
    setPixels(surface.pixels);
    return true;
}

bool ImageDD::unlock() {
    locked = false;
    setPixels(nullptr);
    return true;
}
