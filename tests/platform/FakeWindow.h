#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/platform/DisplayDepth.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/SceneHooks.h"
#include "testsupport/os/FakeClipboard.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeCursor.h"
#include "testsupport/os/FakeDisplay.h"
#include "testsupport/os/FakeEventSource.h"
#include "testsupport/os/FakeMessageBox.h"

// Records the messages the game window hands its listeners.
class RecordingMessageListener : public WindowMessageListener {
public:
    void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override {
        records.push_back({message, wParam, lParam});
    }
    // The private messages heard, in order.
    std::vector<MessageRecord> privateMessages() const {
        std::vector<MessageRecord> found;
        for (const MessageRecord& record : records) {
            if (record.message >= MSG_FULLSCREEN_CHANGED && record.message <= MSG_ACTIVATED) {
                found.push_back(record);
            }
        }
        return found;
    }
    std::vector<MessageRecord> records;
};

// The game window on fake services, as the global instance; every process-wide value the
// window touches is put back afterwards.
class FakeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        GameWindow::setOpenRetried(false);
        ownsImageManager = ImageManager::getInstance() == nullptr;
        ImageManager::createInstance(false);
    }
    void TearDown() override {
        GameWindow::releaseInstance();
        GameWindow::setInstanceLock(nullptr);
        GameWindow::setOpenRetried(false);
        SceneHooks::currentScene.install(nullptr);
        SceneHooks::quitRequest.install(nullptr);
        setDisplayBytesPerPixel(4);
        if (ownsImageManager) {
            ImageManager::destroyInstance();
        }
    }

    GameWindow* open(bool fullScreen, int32_t bytesPerPixel = 0) {
        GameWindow* window = GameWindow::createInstance(services(), "Quovel", 800, 600, fullScreen,
                                                        bytesPerPixel, 102);
        window->getMessageHandler()->addListener(&listener);
        return window;
    }
    WindowServices services() {
        return WindowServices{&display, &events, &cursor, &clipboard, &messageBox, &clock};
    }
    // The window procedure with one message.
    void send(uint32_t message, uint32_t wParam = 0, uint32_t lParam = 0) {
        GameWindow::getInstance()->windowProcedure({message, wParam, lParam});
    }
    // How many windows were asked for since the log was cleared.
    int windowCreations() const {
        int count = 0;
        for (const std::string& call : display.calls) {
            count += call.rfind("createWindow", 0) == 0 ? 1 : 0;
        }
        return count;
    }

    FakeDisplay display;
    FakeEventSource events;
    FakeCursor cursor;
    FakeClipboard clipboard;
    FakeMessageBox messageBox;
    FakeClock clock;
    RecordingMessageListener listener;
    bool ownsImageManager = false;
};
