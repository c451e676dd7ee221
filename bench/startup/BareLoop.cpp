// The reference for the cost of an idle screen: a bare SDL window that presents the same
// 800 x 600 picture every frame at 60 frames per second, through the game's own display layer,
// for the seconds given (10 by default, 1 at the smallest setting). Given a width and a height, it
// stands for the least an animated screen can cost: each frame it fills a centred area of that
// size with a new colour and presents that area alone. A termination signal ends it at once.
// Usage: quovel-bare-loop [SECONDS] [WIDTH HEIGHT]
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/BenchSize.h"
#include "framework/core/ScreenSize.h"
#include "framework/os/Messages.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/SystemClock.h"
#include "framework/os/TerminationSignals.h"

int main(int argc, char** argv) {
    terminationSignals::install(terminationSignals::Ending::END_PROCESS);
    const bool timed = argc == 2 || argc == 4;
    const auto seconds = static_cast<uint32_t>(timed ? std::atoi(argv[1]) : benchCount(10));
    const int areaW = argc > 2 ? std::clamp(std::atoi(argv[argc - 2]), 1, SCREEN_WIDTH) : 0;
    const int areaH = argc > 2 ? std::clamp(std::atoi(argv[argc - 1]), 1, SCREEN_HEIGHT) : 0;
    SdlDisplay display;
    SdlEventSource events(display);
    SystemClock clock;
    if (!display.createWindow("bare loop", SCREEN_WIDTH, SCREEN_HEIGHT, false) ||
        !display.createPresenter(4)) {
        return 1;
    }
    display.show();
    std::vector<uint32_t> pixels(SCREEN_WIDTH * SCREEN_HEIGHT, 0xFF3B2414);
    const DisplayRect area{(SCREEN_WIDTH - areaW) / 2, (SCREEN_HEIGHT - areaH) / 2, areaW, areaH};
    uint32_t shade = 0;
    const uint32_t end = clock.milliseconds() + seconds * 1000;
    while (clock.milliseconds() < end) {
        MessageRecord message;
        while (events.nextMessage(message)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
        }
        if (areaW > 0) {
            shade = (shade + 1) & 0xFF;
            for (int y = area.y; y < area.y + area.h; ++y) {
                uint32_t* row = pixels.data() + y * SCREEN_WIDTH + area.x;
                std::fill(row, row + area.w, 0xFF000000u | shade << 16 | shade << 8 | shade);
            }
            display.presentRects(pixels.data(), SCREEN_WIDTH * 4, &area, 1);
        } else {
            display.present(pixels.data(), SCREEN_WIDTH * 4);
        }
        clock.sleep(16);
    }
    display.destroyWindow();
    return 0;
}
