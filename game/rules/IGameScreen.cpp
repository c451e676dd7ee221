#include "game/rules/IGameScreen.h"

#include "game/rules/HeadlessGameScreen.h"

QUOVEL_DEFINE_TYPE(IGameScreen, &Interface::typeRecord)

namespace {

IGameScreen* installed = nullptr;

}  // namespace

IGameScreen& getGameScreen() {
    if (installed != nullptr) {
        return *installed;
    }
    static HeadlessGameScreen* headless = [] {
        auto* screen = new HeadlessGameScreen();
        screen->addRef();  // kept for the whole run
        return screen;
    }();
    return *headless;
}

void setGameScreen(IGameScreen* screen) {
    installed = screen;
}
