#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/PngDecoder.h"
#include "platform/FakeWindow.h"
#include "testsupport/os/FakeFileSystem.h"
#include "testsupport/platform/PictureEncoder.h"
#include "testsupport/platform/PixelAccess.h"

namespace game_window_icon_test {

constexpr const char* ICON_PATH = "/opt/game/media/images/icon.png";

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A 2x2 RGBA picture of four distinct pixels, one of them half transparent.
std::vector<uint8_t> knownPicture() {
    PngSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.rows = {{0x12, 0x34, 0x56, 0xFF, 0xFE, 0xDC, 0xBA, 0x80},
                 {0x01, 0x02, 0x03, 0x00, 0xA1, 0xB2, 0xC3, 0xD4}};
    return encodePng(spec);
}

// The game window on fakes, with the program's folder in an in-memory file system.
class GameWindowIconTest : public FakeWindowTest {
protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        FileSystem::setCurrent(&files);
    }
    void TearDown() override {
        FakeWindowTest::TearDown();
        FileSystem::setCurrent(nullptr);
    }
    // The window is open and usable whatever became of the icon.
    void expectOpen(GameWindow* window) {
        EXPECT_TRUE(display.window);
        EXPECT_TRUE(display.shown);
        EXPECT_FALSE(window->isPaused());
        EXPECT_NE(window->getBackBuffer(), nullptr);
        EXPECT_TRUE(messageBox.shown.empty());
    }

    FakeFileSystem files;
};

TEST_F(GameWindowIconTest, TheIconPictureIsGivenInFullColorBeforeTheWindowIsMade) {
    files.files[ICON_PATH] = knownPicture();
    // A 16-bit display must not cost the icon its colors.
    setDisplayBytesPerPixel(2);
    GameWindow* window = open(false);
    expectOpen(window);
    ASSERT_GE(display.calls.size(), 2u);
    EXPECT_EQ(display.calls[0], "setIcon");
    EXPECT_EQ(display.calls[1], "createWindow windowed");
    EXPECT_EQ(display.iconCount, 1);
    EXPECT_EQ(display.iconWidth, 2);
    EXPECT_EQ(display.iconHeight, 2);
    EXPECT_EQ(display.iconPixels,
              (std::vector<uint32_t>{0xFF123456, 0x80FEDCBA, 0x00010203, 0xD4A1B2C3}));

    // Remade windows keep the icon the display already has; the file is not read again.
    files.files.erase(ICON_PATH);
    send(WM_SYSKEYDOWN, VK_RETURN);
    send(WM_SYSKEYDOWN, VK_RETURN);
    EXPECT_EQ(windowCreations(), 3);
    EXPECT_EQ(display.iconCount, 1);
}

TEST_F(GameWindowIconTest, TheGeneratedIconReachesTheDisplayPixelForPixel) {
    const std::vector<uint8_t> bytes =
        readBytes(std::string(QUOVEL_BINARY_DIR) + "/game/media/images/icon.png");
    ASSERT_FALSE(bytes.empty());
    files.files[ICON_PATH] = bytes;
    open(true);
    ASSERT_EQ(display.iconCount, 1);
    ASSERT_EQ(display.iconWidth, 64);
    ASSERT_EQ(display.iconHeight, 64);
    RefHolder<Image> picture =
        loadPngMemory(bytes.data(), bytes.size(), PngDecodeFlags::FULL_COLOR);
    ASSERT_TRUE(picture);
    ASSERT_TRUE(picture->lock());
    int differing = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            differing += display.iconPixels[y * 64u + x] != testpixels::get32(picture.get(), x, y);
        }
    }
    picture->unlock();
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(display.iconPixels[0] >> 24, 0u);                // clear corner
    EXPECT_EQ(display.iconPixels[32 * 64 + 32] >> 24, 0xFFu);  // opaque face
}

TEST_F(GameWindowIconTest, AMissingOrBrokenPictureLeavesTheWindowWithoutAnIcon) {
    std::vector<uint8_t> truncated = knownPicture();
    truncated.resize(truncated.size() / 2);
    const std::vector<uint8_t> notAPicture = {'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G'};
    const std::vector<const std::vector<uint8_t>*> contents = {nullptr, &truncated, &notAPicture};
    for (const std::vector<uint8_t>* content : contents) {
        files.files.erase(ICON_PATH);
        if (content) {
            files.files[ICON_PATH] = *content;
        }
        display.calls.clear();
        GameWindow* window = open(false);
        expectOpen(window);
        EXPECT_EQ(display.iconCount, 0);
        EXPECT_EQ(display.calls.front(), "createWindow windowed");
        GameWindow::releaseInstance();
    }
}

TEST_F(GameWindowIconTest, OnlyAKnownIconNumberLoadsAPicture) {
    files.files[ICON_PATH] = knownPicture();
    for (int32_t iconId : {0, 7}) {
        GameWindow* window =
            GameWindow::createInstance(services(), "Quovel", 800, 600, false, 0, iconId);
        expectOpen(window);
        EXPECT_EQ(display.iconCount, 0) << iconId;
        GameWindow::releaseInstance();
    }
    // Without a known program folder the path is taken from the working folder, which is the
    // program's own.
    files.programPath.clear();
    files.files.clear();
    files.files["media/images/icon.png"] = knownPicture();
    open(false);
    EXPECT_EQ(display.iconCount, 1);
}

}  // namespace game_window_icon_test
