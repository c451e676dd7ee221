#include "framework/platform/ImageResource.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/JpegDecoder.h"
#include "framework/platform/MemoryBuffer.h"
#include "framework/platform/PngDecoder.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(ImageResource, &ResourceObject::typeRecord, &ImageContainer::typeRecord)
QUOVEL_REGISTER_CLASS_AS(Image, ImageResource)

ImageResource::ImageResource(PropertyNode* definition)
    : ResourceObject(definition),
      maskFileName(textKeyOr(definition, "mask", std::string())),
      color(intKeyOr(definition, "color", 0)),
      useAlphaChannel(boolKeyOr(definition, "usealphachannel", true)),
      greyIsAlpha(boolKeyOr(definition, "alpha", false)),
      frameCount(intKeyOr(definition, "nrofframes", 1)) {}

ImageResource::ImageResource(std::string fileName, std::string maskFileName, int32_t fileMode)
    : ResourceObject(std::move(fileName), fileMode), maskFileName(std::move(maskFileName)) {}

ImageResource::~ImageResource() = default;

void* ImageResource::castTo(const TypeRecord* type) {
    if (type == &ImageContainer::typeRecord) {
        return static_cast<ImageContainer*>(this);
    }
    return ResourceObject::castTo(type);
}

Image* ImageResource::decodeSource(const std::string& source) const {
    const bool maskOnly = getFileName().empty();
    const uint32_t flags = (maskOnly ? PngDecodeFlags::ALPHA_ONLY : 0) |
                           (greyIsAlpha ? PngDecodeFlags::GREY_IS_ALPHA : 0);
    if (FileArchive::getInstance() && FileArchive::getFileMode() != FileSource::LOOSE_FILES) {
        MemoryBuffer buffer;
        if (!FileArchive::readFile(getFileMode(), source, buffer)) {
            return nullptr;
        }
        Image* image = loadPngMemory(buffer, flags);
        if (!image && !maskOnly) {
            image = decodeJpeg(source, buffer.getData(), buffer.getSize());
        }
        return image;
    }
    Image* image = loadPngFile(source, flags);
    if (!image && !maskOnly) {
        image = loadJpeg(source, false);
    }
    return image;
}

RefHolder<Image> ImageResource::decode(bool& failed) const {
    failed = false;
    const std::string& source = getFileName().empty() ? maskFileName : getFileName();
    RefHolder<Image> image = source.empty() ? nullptr : decodeSource(source);
    if (!image) {
        failed = true;
        return image;
    }
    image->setUseAlphaChannel(useAlphaChannel);
    image->setFrameCount(frameCount);
    if (!getFileName().empty() && !maskFileName.empty()) {
        bool maskFailed = false;
        RefHolder<Image> mask =
            ImageResource(std::string(), maskFileName, getFileMode()).decode(maskFailed);
        RefHolder<Graphics> graphics = mask ? image->createGraphics() : nullptr;
        if (graphics) {
            graphics->blitChannelWhole(mask.get(), Channel::ALPHA, 0, 0);
        } else {
            failed = true;
        }
    }
    return image;
}

void ImageResource::load() {
    bool failed = false;
    RefHolder<Image> image = decode(failed);
    ResourceManager::DataLock lock;
    if (keepsLoadResult()) {
        setImage(image.get());
        setHasError(failed);
        setLoaded();
    }
    // Once published, the count is shared with the main thread: drop it under the lock.
    image = nullptr;
}

BaseObject* ImageResource::getData() const {
    return getImage();
}

void ImageResource::unload() {
    setImage(nullptr);
    ResourceObject::unload();
}

bool ImageResource::isSameAs(const ResourceObject* other) const {
    const ImageResource* image = objectCast<ImageResource>(other);
    return image && image->maskFileName == maskFileName && image->color == color &&
           image->getFileName() == getFileName();
}

std::string ImageResource::toString() const {
    return ResourceObject::toString() + "Object: " + (getImage() ? "not 0" : "NULL") +
           "; Color: " + std::to_string(color) +
           "; Only Mask: " + trueFalse(getFileName().empty()) +
           "; Mask File Name: " + maskFileName + "; ";
}
