#include "framework/platform/Image.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Graphics16.h"
#include "framework/platform/Graphics32.h"
#include "framework/platform/ImageDD.h"

QUOVEL_DEFINE_TYPE(Image, &BaseObject::typeRecord)

namespace {

// The alpha byte's place inside a 0xAARRGGBB word in memory.
constexpr int ALPHA_BYTE_OFFSET = std::endian::native == std::endian::little ? 3 : 0;

uint32_t loadWord(const uint8_t* at) {
    uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void storeWord(uint8_t* at, uint32_t value) {
    std::memcpy(at, &value, sizeof value);
}

uint16_t loadHalf(const uint8_t* at) {
    uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void storeHalf(uint8_t* at, uint16_t value) {
    std::memcpy(at, &value, sizeof value);
}

// Inflates `source` into `out`, which must come out exactly `knownSize` bytes long.
bool decompressBuffer(const std::vector<uint8_t>& source, uint8_t* out, size_t knownSize) {
    z_stream stream{};
    if (inflateInit2(&stream, 15) != Z_OK) {
        return false;
    }
    stream.next_in = const_cast<Bytef*>(source.data());
    stream.avail_in = static_cast<uInt>(source.size());
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(knownSize);
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.total_out == knownSize;
    inflateEnd(&stream);
    return whole;
}

std::atomic<ImageRegistry*> imageRegistry{nullptr};

}  // namespace

void Image::setRegistry(ImageRegistry* registry) {
    imageRegistry.store(registry);
}

Image::Image() {
    ImageRegistry* registry = imageRegistry.load();
    const int64_t clock = registry ? registry->getClock() : 0;
    const int32_t idleLimit = registry ? registry->getIdleLimit() : 2000;
    lastUse = clock - idleLimit + 5;
    if (registry) {
        registry->addImage(this);
    }
}

Image::~Image() {
    freePixels();
    freePacked();
    if (ImageRegistry* registry = imageRegistry.load()) {
        registry->removeImage(this);
    }
}

int64_t Image::bufferBytes(int32_t width, int32_t height, int32_t unitBytes) {
    if (width < 0 || height < 0 || (unitBytes != 1 && unitBytes != 2 && unitBytes != 4)) {
        return -1;
    }
    // Both dimensions are below 2^31, so their product fits 64 bits; the unit is applied only
    // after the limit test.
    const int64_t units = int64_t{width} * int64_t{height};
    return units <= MAX_BUFFER_BYTES / unitBytes ? units * unitBytes : -1;
}

Image::Buffer Image::makeBuffer(int64_t bytes) {
    if (bytes <= 0) {
        return Buffer();
    }
    return Buffer(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1)));
}

Image* Image::createImage(int32_t width, int32_t height, int32_t bytesPerPixel) {
    if (bufferBytes(width, height, bytesPerPixel) < 0) {
        return nullptr;
    }
    Image* image = new Image();
    image->width = width;
    image->height = height;
    if (!image->allocate(bytesPerPixel)) {
        delete image;
        return nullptr;
    }
    return image;
}

Image* Image::createImage(int32_t width, int32_t height) {
    Image* image = createImage(width, height, getDisplayBytesPerPixel());
    if (image) {
        image->followsDisplayDepth = true;
    }
    return image;
}

Image* Image::copyImage(Image* source) {
    if (!source || objectCast<ImageDD>(source)) {
        return nullptr;
    }
    Image* copy = createImage(source->getWidth(), source->getHeight(), source->bytesPerPixel);
    if (!copy) {
        return nullptr;
    }
    copy->followsDisplayDepth = source->followsDisplayDepth;
    copy->useAlphaChannel = source->useAlphaChannel;
    copy->frameCount = source->frameCount;
    if (source->lock()) {
        const size_t rowBytes = static_cast<size_t>(copy->width) * copy->bytesPerPixel;
        if (source->pixels && copy->pixels) {
            for (int32_t y = 0; y < copy->height; ++y) {
                std::memcpy(copy->pixels + static_cast<size_t>(y) * copy->pitch,
                            source->pixels + static_cast<size_t>(y) * source->pitch, rowBytes);
            }
        }
        if (source->alphaPlane && copy->alphaPlane) {
            std::memcpy(copy->alphaPlane, source->alphaPlane,
                        static_cast<size_t>(copy->width) * copy->height);
        }
        source->unlock();
    }
    return copy;
}

bool Image::setWidth(int32_t value) {
    if (pixels || alphaPlane || isPacked()) {
        return false;
    }
    width = value;
    return true;
}

bool Image::setHeight(int32_t value) {
    if (pixels || alphaPlane || isPacked()) {
        return false;
    }
    height = value;
    return true;
}

bool Image::setPitch(int32_t value) {
    if (pixels || alphaPlane || isPacked()) {
        return false;
    }
    pitch = value;
    return true;
}

bool Image::lock() {
    if (isPacked()) {
        unpack();
    }
    locked = pixels || alphaPlane;
    return locked;
}

bool Image::unlock() {
    locked = false;
    if (ImageRegistry* registry = imageRegistry.load()) {
        const int64_t clock = registry->getClock();
        if (clock > lastUse) {
            lastUse = clock;
        }
    }
    return true;
}

bool Image::compressPlane(const uint8_t* source, size_t length, std::vector<uint8_t>& out) const {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return false;
    }
    out.resize(deflateBound(&stream, static_cast<uLong>(length)));
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = static_cast<uInt>(length);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const size_t produced = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        out.clear();
        return false;
    }
    out.resize(produced);
    out.shrink_to_fit();
    return true;
}

bool Image::pack() {
    if (locked || !ownsBuffers || isPacked() || (!pixels && !alphaPlane)) {
        return false;
    }
    std::vector<uint8_t> newPixels;
    std::vector<uint8_t> newAlpha;
    if (pixels &&
        !compressPlane(pixels, static_cast<size_t>(bufferBytes(width, height, bytesPerPixel)),
                       newPixels)) {
        return false;
    }
    if (alphaPlane &&
        !compressPlane(alphaPlane, static_cast<size_t>(bufferBytes(width, height, 1)), newAlpha)) {
        return false;
    }
    packedPixels = std::move(newPixels);
    packedAlpha = std::move(newAlpha);
    freePixels();
    lastUse = INT64_MAX;
    return true;
}

bool Image::unpack() {
    if (!isPacked()) {
        return true;
    }
    Buffer newPixels;
    Buffer newAlpha;
    if (!packedPixels.empty()) {
        const int64_t bytes = bufferBytes(width, height, bytesPerPixel);
        newPixels = makeBuffer(bytes);
        if (!newPixels || !decompressBuffer(packedPixels, newPixels.get(), bytes)) {
            return false;
        }
    }
    if (!packedAlpha.empty()) {
        const int64_t bytes = bufferBytes(width, height, 1);
        newAlpha = makeBuffer(bytes);
        if (!newAlpha || !decompressBuffer(packedAlpha, newAlpha.get(), bytes)) {
            return false;
        }
    }
    installBuffers(bytesPerPixel, std::move(newPixels), std::move(newAlpha));
    freePacked();
    return true;
}

Graphics* Image::createGraphics() {
    switch (bytesPerPixel) {
        case 2:
            return new Graphics16(this);
        case 4:
            return new Graphics32(this);
        default:
            return nullptr;
    }
}

int64_t Image::getIdleTime(int64_t now) const {
    if (locked) {
        return 0;
    }
    int64_t idle;
    // A packed image's last use is the largest time stamp; the difference must not wrap.
    if (__builtin_sub_overflow(now, lastUse, &idle)) {
        return now < lastUse ? INT64_MIN : INT64_MAX;
    }
    return idle;
}

void Image::installBuffers(int32_t depth, Buffer newPixels, Buffer newAlpha) {
    markChanged();
    pixelStore = std::move(newPixels);
    alphaStore = std::move(newAlpha);
    pixels = pixelStore.get();
    alphaPlane = alphaStore.get();
    bytesPerPixel = depth;
    pitch = width * depth;
    ownsBuffers = true;
}

bool Image::allocate(int32_t depth) {
    const int64_t pixelBytes = bufferBytes(width, height, depth);
    if (pixelBytes < 0) {
        return false;
    }
    const int64_t alphaBytes = bufferBytes(width, height, 1);
    Buffer newPixels = depth == 1 ? Buffer() : makeBuffer(pixelBytes);
    Buffer newAlpha = depth == 4 ? Buffer() : makeBuffer(alphaBytes);
    if ((depth != 1 && pixelBytes > 0 && !newPixels) ||
        (depth != 4 && alphaBytes > 0 && !newAlpha)) {
        return false;
    }
    freePacked();
    installBuffers(depth, std::move(newPixels), std::move(newAlpha));
    return true;
}

void Image::convert(int32_t depth) {
    if (!followsDisplayDepth || depth == bytesPerPixel || (depth != 2 && depth != 4) ||
        (bytesPerPixel != 2 && bytesPerPixel != 4)) {
        return;
    }
    if (!lock()) {
        // Nothing to convert yet: later buffers are made at the new depth.
        bytesPerPixel = depth;
        pitch = static_cast<int32_t>(std::min<int64_t>(int64_t{width} * depth, INT32_MAX));
        return;
    }
    const int64_t count = int64_t{width} * height;
    Buffer newPixels = makeBuffer(bufferBytes(width, height, depth));
    Buffer newAlpha = depth == 2 ? makeBuffer(count) : Buffer();
    if (count > 0 && (!newPixels || (depth == 2 && !newAlpha))) {
        unlock();
        return;
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* from = pixels + static_cast<size_t>(y) * pitch;
        for (int32_t x = 0; x < width; ++x) {
            const size_t index = static_cast<size_t>(y) * width + x;
            if (depth == 2) {
                const uint32_t p = loadWord(from + x * 4);
                storeHalf(newPixels.get() + index * 2,
                          static_cast<uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) |
                                                ((p >> 3) & 0x001F)));
                newAlpha[index] = static_cast<uint8_t>(p >> 24);
            } else {
                const uint32_t c = loadHalf(from + x * 2);
                const uint32_t a = alphaPlane ? alphaPlane[index] : 0xFF;
                storeWord(newPixels.get() + index * 4, (a << 24) | ((c & 0xF800) << 8) |
                                                           ((c & 0x07E0) << 5) |
                                                           ((c & 0x001F) << 3));
            }
        }
    }
    installBuffers(depth, std::move(newPixels), std::move(newAlpha));
    unlock();
}

void Image::freePixels() {
    if (ownsBuffers) {
        pixelStore.reset();
        alphaStore.reset();
    }
    pixels = nullptr;
    alphaPlane = nullptr;
}

void Image::freePacked() {
    packedPixels = std::vector<uint8_t>();
    packedAlpha = std::vector<uint8_t>();
}

uint8_t* Image::getAlphaAddress(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= getWidth() || y >= getHeight()) {
        return nullptr;
    }
    if (bytesPerPixel == 4) {
        return pixels ? pixels + static_cast<size_t>(y) * getPitch() + static_cast<size_t>(x) * 4 +
                            ALPHA_BYTE_OFFSET
                      : nullptr;
    }
    return alphaPlane ? alphaPlane + static_cast<size_t>(y) * getWidth() + x : nullptr;
}

void Image::noteChangesSince(uint64_t since, const Rect& area) {
    const uint64_t now = getChangeCount();
    if (now == since) {
        return;
    }
    if (!steps) {
        steps = std::make_unique<ContentStep[]>(KEPT_STEPS);
    }
    steps[nextStep] = ContentStep{since, now, intersectRects(area, Rect{0, 0, width, height})};
    nextStep = (nextStep + 1) % KEPT_STEPS;
}

const Image::ContentStep* Image::stepTo(uint64_t content) const {
    if (!steps) {
        return nullptr;
    }
    for (size_t n = 0; n < KEPT_STEPS; ++n) {
        if (steps[n].to == content && steps[n].from != 0) {
            return &steps[n];
        }
    }
    return nullptr;
}
