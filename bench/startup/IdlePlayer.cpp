// Writes the player the idle measurement plays the largest level as: "Ann", with the host's
// hints off and every floor below FLOOR open, into the data folder the environment names
// (XDG_DATA_HOME), through the game's own player manager, so the game reads it as a player
// it saved itself. Usage: quovel-idle-player FLOOR
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/platform/Folders.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/GameListeners.h"
#include "game/app/ProgramStart.h"
#include "game/profile/QuovelMahjongPlayer.h"

int main(int argc, char** argv) {
    if (const int boxShown = startGameProgram(argc, argv, terminationSignals::Ending::END_PROCESS);
        boxShown >= 0) {
        return boxShown;
    }
    const int floor = argc == 2 ? std::atoi(argv[1]) : 0;
    if (floor < 1 || floor > QuovelMahjongPlayer::HIGHEST_FLOOR_REACHED) {
        std::fprintf(stderr, "usage: quovel-idle-player FLOOR (1 to %d)\n",
                     QuovelMahjongPlayer::HIGHEST_FLOOR_REACHED);
        return 2;
    }
    installGameListeners();
    // The game's folder name, which the game itself reads from its properties.
    setGameName("Quovel Mahjong");
    PlayerManager::createInstance(std::string(), true);
    auto* player = new QuovelMahjongPlayer("Ann");
    player->showHints = false;
    player->floorReached = floor;
    PlayerManager* players = PlayerManager::getInstance();
    if (!players->addPlayer(player) || !players->savePlayers()) {
        std::fprintf(stderr, "the player could not be saved\n");
        return 1;
    }
    return 0;
}
