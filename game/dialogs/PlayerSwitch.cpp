#include "game/dialogs/PlayerSwitch.h"

#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"
#include "game/profile/PlayerFileReport.h"

bool switchToPlayer(const std::string& name) {
    PlayerManager* players = PlayerManager::getInstance();
    if (!players) {
        return false;
    }
    if (AbstractPlayer* previous = players->getCurrentPlayer()) {
        PlayerFileReport::savePlayer(previous);
        previous->clearSavedGame();
    }
    auto found = players->findPlayer(name);
    if (found == players->getPlayers().end()) {
        return false;
    }
    AbstractPlayer* next = found->get();
    players->setCurrentPlayer(next);
    players->loadPlayer(next);
    // The list names the current player: a run cut short keeps the choice.
    PlayerFileReport::savePlayers();
    return true;
}
