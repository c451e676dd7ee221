#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/ImageContainer.h"
#include "framework/platform/ResourceObject.h"

class PropertyNode;

// A picture resource ("Image"): a PNG or JPEG file, optionally with a grey mask file whose
// bytes become the picture's alpha channel, or a mask alone (a 1-byte-per-pixel image). The
// loaded object is the image its container holds.
class ImageResource : public ResourceObject, public ImageContainer {
    QUOVEL_TYPE(ImageResource)
public:
    // Keys: "mask", "color" (kept and compared only), "usealphachannel", "alpha" (an 8-bit grey
    // picture becomes alpha) and "nrofframes".
    explicit ImageResource(PropertyNode* definition);
    // A resource made in code (font layers, the mask of a picture).
    ImageResource(std::string fileName, std::string maskFileName, int32_t fileMode);
    ~ImageResource() override;

    void* castTo(const TypeRecord* type) override;
    void load() override;
    BaseObject* getData() const override;
    void unload() override;
    bool isSameAs(const ResourceObject* other) const override;
    std::string toString() const override;

    virtual const std::string& getMaskFileName() const { return maskFileName; }
    virtual bool usesAlphaChannel() const { return useAlphaChannel; }
    int32_t getColor() const { return color; }
    bool getGreyIsAlpha() const { return greyIsAlpha; }
    int32_t getFrameCount() const { return frameCount; }

    // Decodes the picture the resource describes, mask applied; null when nothing could be
    // decoded. `failed` is set when the picture or its mask could not be read.
    RefHolder<Image> decode(bool& failed) const;

private:
    Image* decodeSource(const std::string& source) const;

    std::string maskFileName;
    int32_t color = 0;
    bool useAlphaChannel = true;
    bool greyIsAlpha = false;
    int32_t frameCount = 1;
};
