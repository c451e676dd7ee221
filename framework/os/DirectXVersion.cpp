#include "framework/os/DirectXVersion.h"

#include <SDL.h>

namespace {

constexpr uint32_t VERSION_USABLE = 0x900;
constexpr uint32_t VERSION_NO_DISPLAY = 0xE0;

}  // namespace

uint32_t getDirectXVersion() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return VERSION_NO_DISPLAY;
    }
    // A display to show on and a renderer to draw with are enough to know; making a hidden
    // window and a renderer only to destroy them cost several milliseconds of every start.
    const bool canDraw = SDL_GetNumVideoDisplays() > 0 && SDL_GetNumRenderDrivers() > 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return canDraw ? VERSION_USABLE : VERSION_NO_DISPLAY;
}
