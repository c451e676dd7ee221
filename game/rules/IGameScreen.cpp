#include "game/rules/IGameScreen.h"

#include <cstdio>
#include <cstdlib>

QUOVEL_DEFINE_TYPE(IGameScreen, &Interface::typeRecord)

namespace {

IGameScreen* installed = nullptr;
IGameScreen& (*fallback)() = nullptr;

}  // namespace

IGameScreen& getGameScreen() {
    if (installed != nullptr) {
        return *installed;
    }
    if (fallback != nullptr) {
        return fallback();
    }
    // The rules run only below the game screen, which installs itself when it is made.
    std::fputs("The rules ran without a game screen.\n", stderr);
    std::abort();
}

void setGameScreen(IGameScreen* screen) {
    installed = screen;
}

void setFallbackGameScreen(IGameScreen& (*screen)()) {
    fallback = screen;
}
