// Entry point of the game. Start-up proper (property files, settings, resources, scenes) comes
// with the application; until then the program makes the window and runs the frame loop.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "framework/os/FileInstanceLock.h"
#include "framework/os/MessageBox.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/SystemClock.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/TimedTaskManager.h"

namespace {

// Stands for the GAME_NAME text until the property files are read at start-up.
constexpr const char* GAME_NAME = "Quovel Mahjong";
constexpr int32_t GAME_WIDTH = 800;
constexpr int32_t GAME_HEIGHT = 600;
constexpr int32_t ICON_ID = 102;
constexpr int32_t CURSOR_STARTING = 1;
constexpr int32_t FRAME_RATE = 60;
constexpr uint32_t PAUSED_SLEEP_MS = 40;

// For headless runs and tests: QUOVEL_QUIT_AFTER_FRAMES=N posts the quit message after N
// frames; 0 or no value runs until the window is closed.
int64_t framesBeforeQuit() {
    const char* text = std::getenv("QUOVEL_QUIT_AFTER_FRAMES");
    return text ? std::strtoll(text, nullptr, 10) : 0;
}

}  // namespace

int main() {
    SdlDisplay display;
    SdlEventSource events(display);
    SdlCursor cursor;
    SdlClipboard clipboard;
    SystemClock clock;
    const std::unique_ptr<MessageBox> messageBox = createMessageBox();

    setGameName(GAME_NAME);
    FileInstanceLock instanceLock(getGameDataFolder(), GAME_NAME);
    if (GameWindow::checkSingleInstance(instanceLock, display)) {
        return 1;
    }
    removeStaleTemporaryFiles();
    ImageManager::createInstance(false);

    const WindowServices services{&display, &events, &cursor, &clipboard, messageBox.get(), &clock};
    // The stored full-screen setting is read with the settings; its default is full screen.
    GameWindow* window =
        GameWindow::createInstance(services, GAME_NAME, GAME_WIDTH, GAME_HEIGHT, true, 0, ICON_ID);
    window->setCursorKind(CURSOR_STARTING);
    TimedTaskManager* frames = TimedTaskManager::createInstance(clock);
    frames->setFrameRate(FRAME_RATE);
    frames->addTask(window);
    frames->addTask(ImageManager::getInstance());

    const int64_t quitAfter = framesBeforeQuit();
    int64_t frameCount = 0;
    uint32_t exitCode = 0;
    for (;;) {
        MessageRecord message;
        if (events.nextMessage(message)) {
            if (message.message == WM_QUIT) {
                exitCode = message.wParam;
                break;
            }
            window->windowProcedure(message);
        } else if (window->isPaused()) {
            window->answerRaiseRequest();
            clock.sleep(PAUSED_SLEEP_MS);
        } else {
            frames->tick();
            if (++frameCount == quitAfter) {
                events.postQuit(0);
            }
        }
    }

    TimedTaskManager::releaseInstance();
    GameWindow::releaseInstance();
    ImageManager::destroyInstance();
    return static_cast<int>(exitCode);
}
