// Entry point of the game: the real operating-system services, then the application.

#include <cstdint>
#include <cstdlib>

#include "framework/os/SdlDisplay.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "game/app/ProgramStart.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/RealServices.h"

namespace {

// For headless runs and tests: QUOVEL_QUIT_AFTER_FRAMES=N posts the quit message after N
// frames; 0 or no value runs until the player quits.
int64_t framesBeforeQuit() {
    const char* text = std::getenv("QUOVEL_QUIT_AFTER_FRAMES");
    return text ? std::strtoll(text, nullptr, 10) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int boxShown = startGameProgram(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    SdlDisplay display;
    RealServices real(display);
    // The single-instance check at start-up probes the display before the report is written.
    real.systemInfo.setDisplayVersionProbe(&GameWindow::getDisplayVersion);
    real.services.quitAfterFrames = framesBeforeQuit();
    return QuovelMahjongMain::runProgram(real.services, getProgramFolder());
}
