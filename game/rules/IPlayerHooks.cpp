#include "game/rules/IPlayerHooks.h"

QUOVEL_DEFINE_TYPE(IPlayerHooks, &Interface::typeRecord)

namespace {

IPlayerHooks* current = nullptr;

}  // namespace

IPlayerHooks* getCurrentPlayer() {
    return current;
}

void setCurrentPlayer(IPlayerHooks* player) {
    current = player;
}
