// The reference for the cost of an idle screen: a bare SDL window that presents the same
// 800 x 600 picture every frame at 60 frames per second, through the game's own display layer,
// for the seconds given (10 by default).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/os/Messages.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/SystemClock.h"

int main(int argc, char** argv) {
    const uint32_t seconds = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 10;
    SdlDisplay display;
    SdlEventSource events(display);
    SystemClock clock;
    if (!display.createWindow("bare loop", 800, 600, false) || !display.createPresenter(4)) {
        return 1;
    }
    display.show();
    std::vector<uint32_t> pixels(800 * 600, 0xFF3B2414);
    const uint32_t end = clock.milliseconds() + seconds * 1000;
    while (clock.milliseconds() < end) {
        MessageRecord message;
        while (events.nextMessage(message)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
        }
        display.present(pixels.data(), 800 * 4);
        clock.sleep(16);
    }
    display.destroyWindow();
    return 0;
}
