#include "game/rules/IPlayerHooks.h"

QUOVEL_DEFINE_TYPE(IPlayerHooks, &Interface::typeRecord)

namespace {

IPlayerHooks* installedPlayer = nullptr;

}  // namespace

IPlayerHooks* getCurrentPlayer() {
    return installedPlayer;
}

void setCurrentPlayer(IPlayerHooks* player) {
    installedPlayer = player;
}
