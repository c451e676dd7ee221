#pragma once

#include <cstdint>

#include "framework/os/Display.h"
#include "framework/platform/Image.h"

// A surface image: an Image whose pixels belong to the display's back buffer. It owns no buffer,
// never converts its pixels and is never copied or packed; its pixel pointer is valid while
// it is locked.
class ImageDD : public Image {
    QUOVEL_TYPE(ImageDD)
public:
    // An image over the surface at the display's depth; null when the surface does not match
    // that depth, is empty, has a pitch too small for its width, or lacks an alpha plane at
    // 2 bytes per pixel.
    static ImageDD* createSurface(const SurfaceMemory& surface);

    bool lock() override;
    bool unlock() override;
    bool pack() override { return false; }
    int64_t getIdleTime(int64_t) const override { return 0; }
    bool allocate(int32_t) override { return false; }
    // The surface keeps its format; the window makes new surfaces when the depth changes.
    void convert(int32_t) override {}

private:
    ImageDD() = default;

    SurfaceMemory surface;
};
