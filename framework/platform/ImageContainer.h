#pragma once

#include "framework/core/RefHolder.h"
#include "framework/core/TypeRecord.h"
#include "framework/platform/Image.h"

// The holder through which sprites and image resources own one image.
class ImageContainer {
    QUOVEL_INTERFACE_TYPE(ImageContainer)
public:
    virtual ~ImageContainer() = default;

    // References the new image before releasing the old one, so setting the same image is safe.
    virtual void setImage(Image* newImage) { image = newImage; }
    virtual Image* getImage() const { return image.get(); }

private:
    RefHolder<Image> image;
};
