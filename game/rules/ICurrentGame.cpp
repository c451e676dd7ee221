#include "game/rules/ICurrentGame.h"

QUOVEL_DEFINE_TYPE(ICurrentGame, &Interface::typeRecord)

namespace {

ICurrentGame* current = nullptr;

}  // namespace

ICurrentGame* getCurrentGame() {
    return current;
}

void setCurrentGame(ICurrentGame* game) {
    current = game;
}

int32_t getCurrentGameType() {
    return current != nullptr ? current->getLevelGameType() : -1;
}
