#include "game/rules/ICurrentGame.h"

QUOVEL_DEFINE_TYPE(ICurrentGame, &Interface::typeRecord)

namespace {

ICurrentGame* installedGame = nullptr;

}  // namespace

ICurrentGame* getCurrentGame() {
    return installedGame;
}

void setCurrentGame(ICurrentGame* game) {
    installedGame = game;
}

GameType getCurrentGameType() {
    return installedGame != nullptr ? installedGame->getLevelGameType() : NO_GAME_TYPE;
}
