#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/Rect.h"

class Graphics;
class Image;

// The list of live images, which an image joins when made and leaves when it ends, and the
// clock it reads its last use from. The image manager fills it while it lives
// (Image::setRegistry), so that an image needs nothing above the drawing code.
class ImageRegistry {
public:
    virtual void addImage(Image* image) = 0;
    virtual void removeImage(Image* image) = 0;
    virtual int64_t getClock() const = 0;
    virtual int32_t getIdleLimit() const = 0;

protected:
    ~ImageRegistry() = default;
};

// The framework's pixel buffer: every sprite frame, font layer, label buffer and decoded picture.
// Three layouts by bytes per pixel: 4 (0xAARRGGBB words), 2 (RGB565 words with a separate
// alpha plane of one byte per pixel) and 1 (the alpha plane alone). Memory images own their
// buffers; surface images (ImageDD) borrow the display's.
class Image : public BaseObject {
    QUOVEL_TYPE(Image)
public:
    // The largest pixel buffer or alpha plane an image may have; larger sizes are refused.
    static constexpr int64_t MAX_BUFFER_BYTES = int64_t{1} << 28;

    Image();
    ~Image() override;
    // The registry images made from now on join; null leaves them unlisted. Any thread.
    static void setRegistry(ImageRegistry* registry);
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // A new memory image of that size and depth with zeroed buffers; null when the size is
    // negative, the depth is not 1, 2 or 4, or the buffer would exceed MAX_BUFFER_BYTES.
    static Image* createImage(int32_t width, int32_t height, int32_t bytesPerPixel);
    // The same at the display's depth, following the display when its depth changes.
    static Image* createImage(int32_t width, int32_t height);
    // A new memory image with the size, depth, flags, pixels and alpha of `image`; null for a
    // surface image or a null argument.
    static Image* copyImage(Image* image);
    // Bytes of a buffer of width x height units of `unitBytes` (1, 2 or 4), or -1 when a
    // dimension is negative, the unit is unknown or the count exceeds MAX_BUFFER_BYTES.
    static int64_t bufferBytes(int32_t width, int32_t height, int32_t unitBytes);

    virtual int32_t getWidth() const { return width; }
    virtual int32_t getHeight() const { return height; }
    virtual int32_t getPitch() const { return pitch; }
    // The size setters describe an image before it has buffers; they refuse (false) while a
    // buffer exists, since the buffer would no longer match.
    virtual bool setWidth(int32_t value);
    virtual bool setHeight(int32_t value);
    virtual bool setPitch(int32_t value);
    // Unpacks a packed image first; true (and locked) when a pixel buffer or alpha plane exists.
    virtual bool lock();
    virtual bool unlock();
    // Replaces the raw buffers with zlib copies (level 9). False, with the raw buffers kept, when
    // the image is locked, does not own its buffers, has none, or compression fails.
    virtual bool pack();
    // Restores the raw buffers; false, with the packed copies kept, when inflating fails or
    // gives a size other than the known one. True when nothing is packed.
    virtual bool unpack();
    // A drawing context for this image's depth; null for 1 byte per pixel.
    virtual Graphics* createGraphics();
    // Time since last use in the image manager's clock; 0 while locked.
    virtual int64_t getIdleTime(int64_t now) const;
    // Replaces the buffers with zeroed ones for `bytesPerPixel`; false (nothing changed) when
    // the size is refused.
    virtual bool allocate(int32_t bytesPerPixel);
    // Converts the pixels between 4 and 2 bytes per pixel when the image follows the display.
    virtual void convert(int32_t bytesPerPixel);
    virtual void freePixels();
    virtual void freePacked();

    // Counts a change of the pixels written in place; drawing through a Graphics counts by
    // itself. A picture that may be on screen (any image but the display's surface) also
    // counts as a change of the screen's picture.
    void markChanged() {
        changeCount.store(nextChangeStamp(), std::memory_order_relaxed);
        if (ownsBuffers) {
            PictureChanges::mark();
        }
    }
    // Grows with every change and is never shared by two images, so an image and its count
    // name one content even after another image took the address of a freed one.
    uint64_t getChangeCount() const { return changeCount.load(std::memory_order_relaxed); }

    // How many recorded steps an image keeps.
    static constexpr size_t KEPT_STEPS = 4;
    // One step between two contents of an image: every alpha byte, and the pixels outside
    // `area`, are the same in both.
    struct ContentStep {
        uint64_t from = 0;
        uint64_t to = 0;
        Rect area;
    };
    // Records that the changes made since the content `since` left every alpha byte, and the
    // pixels outside `area`, as they were, so that a frame drawn over the older content needs
    // only that area drawn again. The drawing thread's own pictures only.
    void noteChangesSince(uint64_t since, const Rect& area);
    // The recorded step that made `content`; null when none is known.
    const ContentStep* stepTo(uint64_t content) const;

    // The byte holding the opacity of pixel (x, y): the alpha-plane byte for 1 and 2 bytes per
    // pixel, the alpha byte of the pixel word for 4. Null outside the image or without buffers.
    uint8_t* getAlphaAddress(int32_t x, int32_t y);

    int32_t getBytesPerPixel() const { return bytesPerPixel; }
    uint8_t* getPixels() const { return pixels; }
    uint8_t* getAlphaPlane() const { return alphaPlane; }
    bool isLocked() const { return locked; }
    bool isPacked() const { return !packedPixels.empty() || !packedAlpha.empty(); }
    bool getOwnsBuffers() const { return ownsBuffers; }
    bool getFollowsDisplayDepth() const { return followsDisplayDepth; }
    void setFollowsDisplayDepth(bool value) { followsDisplayDepth = value; }
    bool getUseAlphaChannel() const { return useAlphaChannel; }
    void setUseAlphaChannel(bool value) { useAlphaChannel = value; }
    int32_t getFrameCount() const { return frameCount; }
    void setFrameCount(int32_t value) { frameCount = value; }
    int64_t getLastUse() const { return lastUse; }

protected:
    struct FreeBytes {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };
    using Buffer = std::unique_ptr<uint8_t[], FreeBytes>;

    // Borrowed buffers of surface images; memory images set their own through allocate.
    void setPixels(uint8_t* buffer) { pixels = buffer; }
    void setAlphaPlane(uint8_t* buffer) { alphaPlane = buffer; }
    void setBytesPerPixel(int32_t value) { bytesPerPixel = value; }
    // Deflates `length` bytes into `out`; false when zlib does not finish the stream.
    virtual bool compressPlane(const uint8_t* source, size_t length,
                               std::vector<uint8_t>& out) const;

    // Zeroed memory of `bytes` bytes (null for 0 bytes or when memory runs out).
    static Buffer makeBuffer(int64_t bytes);

    int32_t bytesPerPixel = 4;
    uint8_t* pixels = nullptr;
    uint8_t* alphaPlane = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    bool locked = false;
    bool followsDisplayDepth = false;
    std::vector<uint8_t> packedPixels;
    std::vector<uint8_t> packedAlpha;
    bool ownsBuffers = false;
    bool useAlphaChannel = true;
    int32_t frameCount = 1;
    int64_t lastUse = 0;
    // Images are drawn into by the loader thread too.
    std::atomic<uint64_t> changeCount{nextChangeStamp()};
    // The last few recorded steps, oldest overwritten first; made on the first record.
    std::unique_ptr<ContentStep[]> steps;
    size_t nextStep = 0;

private:
    static uint64_t nextChangeStamp() {
        static std::atomic<uint64_t> stamps{0};
        return stamps.fetch_add(1, std::memory_order_relaxed) + 1;
    }
    void installBuffers(int32_t depth, Buffer newPixels, Buffer newAlpha);

    Buffer pixelStore;
    Buffer alphaStore;
};
