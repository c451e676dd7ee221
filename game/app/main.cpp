// Entry point of the game: the real operating-system services, then the application.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "framework/os/FileInstanceLock.h"
#include "framework/os/LinuxSystemInfoSource.h"
#include "framework/os/MessageBox.h"
#include "framework/os/SdlAudioMixer.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/SdlMessageBox.h"
#include "framework/os/SystemClock.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "game/app/QuovelMahjongMain.h"

namespace {

// For headless runs and tests: QUOVEL_QUIT_AFTER_FRAMES=N posts the quit message after N
// frames; 0 or no value runs until the player quits.
int64_t framesBeforeQuit() {
    const char* text = std::getenv("QUOVEL_QUIT_AFTER_FRAMES");
    return text ? std::strtoll(text, nullptr, 10) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The program run again by itself to show a message box (see SdlMessageBox).
    if (const int boxShown = serveMessageBoxRequest(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    showMessageBoxesInChildProcess();
    SdlDisplay display;
    SdlEventSource events(display);
    SdlCursor cursor;
    SdlClipboard clipboard;
    SystemClock clock;
    LinuxSystemInfoSource systemInfo;
    // The single-instance check at start-up probes the display before the report is written.
    systemInfo.setDisplayVersionProbe(&GameWindow::getDisplayVersion);
    const std::unique_ptr<MessageBox> messageBox = createMessageBox();

    AppServices services;
    services.window = {&display, &events, &cursor, &clipboard, messageBox.get(), &clock};
    services.systemInfo = &systemInfo;
    services.mixer = std::make_shared<SdlAudioMixer>();
    services.makeInstanceLock = [](const std::string& folder, const std::string& name) {
        return std::unique_ptr<InstanceLock>(std::make_unique<FileInstanceLock>(folder, name));
    };
    services.quitAfterFrames = framesBeforeQuit();
    return QuovelMahjongMain::runProgram(services, getProgramFolder());
}
