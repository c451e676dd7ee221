#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/ImageContainer.h"
#include "framework/platform/ImageDD.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/TaskManager.h"

namespace image_test {

uint32_t pixel32(Image& image, int x, int y) {
    uint32_t value;
    std::memcpy(&value, image.getPixels() + y * image.getPitch() + x * 4, 4);
    return value;
}

void setPixel32(Image& image, int x, int y, uint32_t value) {
    std::memcpy(image.getPixels() + y * image.getPitch() + x * 4, &value, 4);
}

uint16_t pixel16(Image& image, int x, int y) {
    uint16_t value;
    std::memcpy(&value, image.getPixels() + y * image.getPitch() + x * 2, 2);
    return value;
}

// Restores the display depth and removes the manager after each test.
class ImageTest : public ::testing::Test {
protected:
    void TearDown() override {
        setDisplayBytesPerPixel(4);
        ImageManager::destroyInstance();
    }
};

// An image whose compression always fails, as zlib does when it runs out of memory.
class FailingPackImage : public Image {
public:
    FailingPackImage() {
        width = 8;
        height = 8;
        allocate(2);
    }

protected:
    bool compressPlane(const uint8_t*, size_t, std::vector<uint8_t>&) const override {
        return false;
    }
};

// An image whose packed bytes a test can damage.
class DamageableImage : public Image {
public:
    explicit DamageableImage(int32_t size = 16) {
        width = size;
        height = 4;
        allocate(4);
    }
    std::vector<uint8_t>& packed() { return packedPixels; }
};

TEST_F(ImageTest, LayoutsByBytesPerPixel) {
    RefHolder<Image> wide{Image::createImage(5, 3, 4)};
    EXPECT_NE(wide->getPixels(), nullptr);
    EXPECT_EQ(wide->getAlphaPlane(), nullptr);
    EXPECT_EQ(wide->getPitch(), 20);
    RefHolder<Image> narrow{Image::createImage(5, 3, 2)};
    EXPECT_NE(narrow->getPixels(), nullptr);
    EXPECT_NE(narrow->getAlphaPlane(), nullptr);
    EXPECT_EQ(narrow->getPitch(), 10);
    RefHolder<Image> mask{Image::createImage(5, 3, 1)};
    EXPECT_EQ(mask->getPixels(), nullptr);
    EXPECT_NE(mask->getAlphaPlane(), nullptr);
    EXPECT_TRUE(mask->getOwnsBuffers());
    EXPECT_FALSE(mask->getFollowsDisplayDepth());
    EXPECT_EQ(mask->createGraphics(), nullptr);
}

TEST_F(ImageTest, ImagesAtTheDisplayDepthFollowIt) {
    RefHolder<Image> before{Image::createImage(4, 4)};
    EXPECT_EQ(before->getBytesPerPixel(), 4);
    EXPECT_TRUE(before->getFollowsDisplayDepth());
    setDisplayBytesPerPixel(2);
    RefHolder<Image> after{Image::createImage(4, 4)};
    EXPECT_EQ(after->getBytesPerPixel(), 2);
    setDisplayBytesPerPixel(3);
    EXPECT_EQ(getDisplayBytesPerPixel(), 2);
}

TEST_F(ImageTest, HugeOrInvalidSizesAreRefusedBeforeAllocating) {
    EXPECT_EQ(Image::createImage(100000, 100000, 4), nullptr);
    EXPECT_EQ(Image::createImage(INT32_MAX, INT32_MAX, 4), nullptr);
    EXPECT_EQ(Image::createImage(INT32_MAX, 2, 1), nullptr);
    EXPECT_EQ(Image::createImage(-1, 10, 4), nullptr);
    EXPECT_EQ(Image::createImage(10, 10, 3), nullptr);
    EXPECT_EQ(Image::bufferBytes(65536, 65536, 4), -1);
    EXPECT_EQ(Image::bufferBytes(8192, 8192, 4), Image::MAX_BUFFER_BYTES);
    EXPECT_EQ(Image::bufferBytes(8192, 8193, 4), -1);
    // A refused allocate leaves the image as it was.
    RefHolder<Image> image{Image::createImage(4, 4, 4)};
    uint8_t* pixels = image->getPixels();
    EXPECT_FALSE(image->allocate(5));
    EXPECT_EQ(image->getPixels(), pixels);
    EXPECT_FALSE(image->setWidth(1 << 30));
    EXPECT_EQ(image->getWidth(), 4);
}

TEST_F(ImageTest, ConvertsBetweenFourAndTwoBytes) {
    RefHolder<Image> image{Image::createImage(2, 1)};
    ASSERT_TRUE(image->lock());
    setPixel32(*image, 0, 0, 0x80FF8040u);
    setPixel32(*image, 1, 0, 0xFFFFFFFFu);
    image->unlock();
    image->convert(2);
    EXPECT_EQ(image->getBytesPerPixel(), 2);
    EXPECT_EQ(image->getPitch(), 4);
    EXPECT_EQ(pixel16(*image, 0, 0), 0xFC08);
    EXPECT_EQ(image->getAlphaPlane()[0], 0x80);
    EXPECT_EQ(pixel16(*image, 1, 0), 0xFFFF);
    image->convert(4);
    EXPECT_EQ(image->getAlphaPlane(), nullptr);
    EXPECT_EQ(pixel32(*image, 0, 0), 0x80F88040u);
    EXPECT_EQ(pixel32(*image, 1, 0), 0xFFF8FCF8u);
    EXPECT_FALSE(image->isLocked());

    RefHolder<Image> fixed{Image::createImage(2, 1, 4)};
    fixed->convert(2);
    EXPECT_EQ(fixed->getBytesPerPixel(), 4);
}

TEST_F(ImageTest, ManagerConvertsEveryFollowingImage) {
    ImageManager* manager = ImageManager::createInstance(true);
    EXPECT_EQ(ImageManager::createInstance(false), manager);
    EXPECT_TRUE(manager->getCompress());
    EXPECT_EQ(manager->getIdleLimit(), 2000);
    RefHolder<Image> follows{Image::createImage(3, 3)};
    RefHolder<Image> fixed{Image::createImage(3, 3, 4)};
    EXPECT_EQ(manager->getImageCount(), 2u);
    EXPECT_EQ(follows->getLastUse(), -1995);
    setDisplayBytesPerPixel(2);
    manager->convertAll();
    EXPECT_EQ(follows->getBytesPerPixel(), 2);
    EXPECT_EQ(fixed->getBytesPerPixel(), 4);
    fixed = nullptr;
    EXPECT_EQ(manager->getImageCount(), 1u);
    // Unlocking moves the last use up to the manager's clock.
    manager->setClock(500);
    follows->lock();
    EXPECT_EQ(follows->getIdleTime(900), 0);
    follows->unlock();
    EXPECT_EQ(follows->getLastUse(), 500);
    EXPECT_EQ(follows->getIdleTime(900), 400);

    // One of the frame loop's tasks, which the loop may hold past the global's end.
    TaskManager frames;
    frames.addTask(manager);
    frames.update(16);
    EXPECT_TRUE(manager->isStarted());
    ImageManager::destroyInstance();
    EXPECT_EQ(ImageManager::getInstance(), nullptr);
    EXPECT_TRUE(manager->isRegistered());
    frames.update(16);
}

TEST_F(ImageTest, LockNeedsABuffer) {
    RefHolder<Image> empty{new Image()};
    EXPECT_FALSE(empty->lock());
    EXPECT_FALSE(empty->isLocked());
    RefHolder<Image> image{Image::createImage(1, 1, 1)};
    EXPECT_TRUE(image->lock());
    EXPECT_TRUE(image->isLocked());
    EXPECT_TRUE(image->unlock());
    EXPECT_FALSE(image->isLocked());
}

TEST_F(ImageTest, CopiesAreIndependent) {
    RefHolder<Image> image{Image::createImage(3, 2, 2)};
    image->setUseAlphaChannel(false);
    image->setFrameCount(4);
    image->getAlphaPlane()[5] = 9;
    image->getPixels()[3] = 7;
    RefHolder<Image> copy{Image::copyImage(image.get())};
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->getBytesPerPixel(), 2);
    EXPECT_FALSE(copy->getUseAlphaChannel());
    EXPECT_EQ(copy->getFrameCount(), 4);
    EXPECT_EQ(copy->getAlphaPlane()[5], 9);
    EXPECT_EQ(copy->getPixels()[3], 7);
    EXPECT_NE(copy->getPixels(), image->getPixels());
    EXPECT_EQ(Image::copyImage(nullptr), nullptr);
}

TEST_F(ImageTest, AlphaAddressForEveryDepth) {
    RefHolder<Image> wide{Image::createImage(4, 3, 4)};
    setPixel32(*wide, 2, 1, 0x12345678u);
    ASSERT_NE(wide->getAlphaAddress(2, 1), nullptr);
    EXPECT_EQ(*wide->getAlphaAddress(2, 1), 0x12);
    *wide->getAlphaAddress(2, 1) = 0xAB;
    EXPECT_EQ(pixel32(*wide, 2, 1), 0xAB345678u);
    RefHolder<Image> narrow{Image::createImage(4, 3, 2)};
    EXPECT_EQ(narrow->getAlphaAddress(3, 2), narrow->getAlphaPlane() + 11);
    RefHolder<Image> mask{Image::createImage(4, 3, 1)};
    EXPECT_EQ(mask->getAlphaAddress(1, 1), mask->getAlphaPlane() + 5);
    EXPECT_EQ(mask->getAlphaAddress(4, 0), nullptr);
    EXPECT_EQ(mask->getAlphaAddress(0, -1), nullptr);
}

TEST_F(ImageTest, PackAndUnpackRestoreThePixels) {
    ImageManager::createInstance(false);
    for (int depth : {1, 2, 4}) {
        RefHolder<Image> image{Image::createImage(33, 17, depth)};
        ASSERT_TRUE(image->lock());
        std::vector<uint8_t> pixels;
        std::vector<uint8_t> alpha;
        if (image->getPixels()) {
            for (int i = 0; i < 33 * 17 * depth; ++i) {
                image->getPixels()[i] = static_cast<uint8_t>(i * 7 / 5);
            }
            pixels.assign(image->getPixels(), image->getPixels() + 33 * 17 * depth);
        }
        if (image->getAlphaPlane()) {
            for (int i = 0; i < 33 * 17; ++i) {
                image->getAlphaPlane()[i] = static_cast<uint8_t>(i % 13);
            }
            alpha.assign(image->getAlphaPlane(), image->getAlphaPlane() + 33 * 17);
        }
        EXPECT_FALSE(image->pack());
        image->unlock();
        ASSERT_TRUE(image->pack());
        EXPECT_TRUE(image->isPacked());
        EXPECT_EQ(image->getPixels(), nullptr);
        EXPECT_EQ(image->getLastUse(), INT64_MAX);
        EXPECT_EQ(image->getIdleTime(-10), INT64_MIN);
        EXPECT_FALSE(image->pack());
        ASSERT_TRUE(image->lock());
        EXPECT_FALSE(image->isPacked());
        if (!pixels.empty()) {
            EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), image->getPixels()));
        }
        if (!alpha.empty()) {
            EXPECT_TRUE(std::equal(alpha.begin(), alpha.end(), image->getAlphaPlane()));
        }
        image->unlock();
    }
}

TEST_F(ImageTest, FailedCompressionKeepsThePixels) {
    RefHolder<FailingPackImage> image{new FailingPackImage()};
    image->getAlphaPlane()[3] = 42;
    EXPECT_FALSE(image->pack());
    EXPECT_FALSE(image->isPacked());
    ASSERT_NE(image->getAlphaPlane(), nullptr);
    EXPECT_EQ(image->getAlphaPlane()[3], 42);
    EXPECT_TRUE(image->lock());
}

TEST_F(ImageTest, DamagedPackedDataIsRefused) {
    RefHolder<DamageableImage> image{new DamageableImage()};
    ASSERT_TRUE(image->pack());
    std::vector<uint8_t> good = image->packed();
    // Cut short: inflate cannot finish the stream.
    image->packed().resize(good.size() / 2);
    EXPECT_FALSE(image->unpack());
    EXPECT_FALSE(image->lock());
    EXPECT_TRUE(image->isPacked());
    // Not a deflate stream at all.
    image->packed().assign(good.size(), 0xFF);
    EXPECT_FALSE(image->unpack());
    image->packed() = good;
    EXPECT_TRUE(image->unpack());
    EXPECT_NE(image->getPixels(), nullptr);
}

TEST_F(ImageTest, UnpackRefusesAStreamOfTheWrongSize) {
    // A stream packed from a larger image inflates to more bytes than this one holds.
    RefHolder<DamageableImage> small{new DamageableImage()};
    RefHolder<DamageableImage> large{new DamageableImage(64)};
    ASSERT_TRUE(small->pack());
    ASSERT_TRUE(large->pack());
    small->packed() = large->packed();
    EXPECT_FALSE(small->unpack());
    EXPECT_EQ(small->getPixels(), nullptr);
}

TEST_F(ImageTest, SurfaceImagesBorrowTheDisplayBuffer) {
    auto memory = std::make_shared<std::vector<uint8_t>>(48 * 10);
    SurfaceMemory surface{memory->data(), nullptr, 10, 10, 48, 4, memory};
    RefHolder<ImageDD> image{ImageDD::createSurface(surface)};
    ASSERT_TRUE(image);
    surface.owner = nullptr;
    EXPECT_EQ(memory.use_count(), 2);
    EXPECT_FALSE(image->getOwnsBuffers());
    EXPECT_TRUE(image->getFollowsDisplayDepth());
    EXPECT_EQ(image->getPitch(), 48);
    EXPECT_EQ(image->getPixels(), nullptr);
    ASSERT_TRUE(image->lock());
    EXPECT_EQ(image->getPixels(), memory->data());
    EXPECT_EQ(image->getAlphaAddress(1, 1), memory->data() + 48 + 4 + 3);
    image->unlock();
    EXPECT_EQ(image->getPixels(), nullptr);
    image->convert(2);
    EXPECT_EQ(image->getBytesPerPixel(), 4);
    EXPECT_FALSE(image->pack());
    EXPECT_EQ(image->getIdleTime(1000), 0);
    EXPECT_EQ(Image::copyImage(image.get()), nullptr);
    image = nullptr;
    EXPECT_EQ(memory.use_count(), 1);

    // The surface must match the display's depth, and at 2 bytes carry an alpha plane.
    EXPECT_EQ(ImageDD::createSurface(SurfaceMemory{memory->data(), nullptr, 10, 10, 48, 2, memory}),
              nullptr);
    setDisplayBytesPerPixel(2);
    EXPECT_EQ(ImageDD::createSurface(SurfaceMemory{memory->data(), nullptr, 10, 10, 48, 2, memory}),
              nullptr);
    std::vector<uint8_t> alpha(100);
    RefHolder<ImageDD> narrow{
        ImageDD::createSurface(SurfaceMemory{memory->data(), alpha.data(), 10, 10, 20, 2, memory})};
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->getAlphaAddress(2, 3), alpha.data() + 32);
    EXPECT_EQ(
        ImageDD::createSurface(SurfaceMemory{memory->data(), alpha.data(), 10, 10, 19, 2, memory}),
        nullptr);
}

TEST_F(ImageTest, ContainerHoldsOneReference) {
    RefHolder<Image> first{Image::createImage(1, 1, 4)};
    RefHolder<Image> second{Image::createImage(1, 1, 4)};
    {
        ImageContainer container;
        container.setImage(first.get());
        EXPECT_EQ(first->getRefCount(), 2);
        container.setImage(first.get());
        EXPECT_EQ(first->getRefCount(), 2);
        container.setImage(second.get());
        EXPECT_EQ(first->getRefCount(), 1);
        EXPECT_EQ(container.getImage(), second.get());
    }
    EXPECT_EQ(second->getRefCount(), 1);
}

}  // namespace image_test
