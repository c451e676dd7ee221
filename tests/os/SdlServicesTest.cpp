#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/os/DirectXVersion.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/StderrMessageBox.h"
#include "testsupport/ScopedEnvironment.h"

namespace sdl_services_test {

class SdlServicesTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 0); }
};

TEST_F(SdlServicesTest, ClipboardKeepsUnicodeText) {
    SdlClipboard clipboard;
    EXPECT_EQ(clipboard.getText(), "");
    ASSERT_TRUE(clipboard.setText("Stufe 3 \xE2\x80\x93 \xE9\xBA\xBB\xE5\xB0\x86"));
    EXPECT_EQ(clipboard.getText(), "Stufe 3 \xE2\x80\x93 \xE9\xBA\xBB\xE5\xB0\x86");
    ASSERT_TRUE(clipboard.setText(""));
    EXPECT_EQ(clipboard.getText(), "");
}

TEST_F(SdlServicesTest, CursorKindsOutOfRangeAreTheArrow) {
    SdlCursor cursor;
    cursor.setKind(5);
    EXPECT_EQ(cursor.getKind(), 5);
    cursor.setKind(0);
    EXPECT_EQ(cursor.getKind(), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    cursor.setKind(7);
    EXPECT_EQ(cursor.getKind(), Cursor::KIND_ARROW);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    cursor.setKind(-3);
    EXPECT_EQ(cursor.getKind(), Cursor::KIND_ARROW);
    cursor.apply();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(SdlServicesTest, StderrBoxWritesOneLineAndReturns) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    StderrMessageBox box(stream);
    box.show("Error",
             "Something went wrong with creating the game-window.\nThis game will quit now.");
    std::rewind(stream);
    char buffer[256] = {};
    const size_t length = std::fread(buffer, 1, sizeof buffer - 1, stream);
    std::fclose(stream);
    EXPECT_EQ(
        std::string(buffer, length),
        "Error: Something went wrong with creating the game-window.\nThis game will quit now.\n");
}

TEST_F(SdlServicesTest, HeadlessSessionsGetTheStderrBox) {
    {
        ScopedEnvironment driver("SDL_VIDEODRIVER", "dummy");
        ScopedEnvironment headless("QUOVEL_HEADLESS", nullptr);
        EXPECT_TRUE(isHeadlessSession());
        EXPECT_NE(dynamic_cast<StderrMessageBox*>(createMessageBox().get()), nullptr);
    }
    {
        ScopedEnvironment driver("SDL_VIDEODRIVER", "x11");
        ScopedEnvironment headless("QUOVEL_HEADLESS", "0");
        EXPECT_FALSE(isHeadlessSession());
        EXPECT_EQ(dynamic_cast<StderrMessageBox*>(createMessageBox().get()), nullptr);
        EXPECT_NE(dynamic_cast<StderrMessageBox*>(createMessageBox(true).get()), nullptr);
    }
    {
        ScopedEnvironment driver("SDL_VIDEODRIVER", nullptr);
        ScopedEnvironment headless("QUOVEL_HEADLESS", "1");
        EXPECT_TRUE(isHeadlessSession());
    }
}

// The probe's answer in a child process with the given video driver.
int probeInChild(const char* driver) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        const uint32_t version = getDirectXVersion();
        _exit(version == 0x900 ? 9 : version == 0xE0 ? 14 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST_F(SdlServicesTest, ProbeTellsWhetherTheDisplayCanDraw) {
    // A child starts SDL from nothing, which only holds when nothing here has it running.
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(probeInChild("dummy"), 9);
    EXPECT_EQ(probeInChild("no-such-driver"), 14);

    // In this process it leaves SDL as it found it, whether running or not.
    EXPECT_EQ(getDirectXVersion(), 0x900u);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    EXPECT_EQ(getDirectXVersion(), 0x900u);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace sdl_services_test
