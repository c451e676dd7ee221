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
    uint32_t version = VERSION_NO_DISPLAY;
    SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1,
                                          1, SDL_WINDOW_HIDDEN);
    if (window) {
        SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
        if (renderer) {
            version = VERSION_USABLE;
            SDL_DestroyRenderer(renderer);
        }
        SDL_DestroyWindow(window);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return version;
}
