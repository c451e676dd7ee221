#pragma once

// Set-up of the fuzz targets that read the game's own files: the tile suits, the random
// generator and a game screen without pictures, made once for the run.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "framework/core/Random.h"
#include "game/profile/TrophyList.h"
#include "game/rules/Game.h"
#include "game/rules/GameHooks.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Tile.h"
#include "testsupport/app/TokenBounds.h"
#include "testsupport/os/FakeMessageBox.h"
#include "testsupport/rules/HeadlessGameScreen.h"
#include "testsupport/rules/StandardSuits.h"

namespace fuzz {

inline void gameReady() {
    static const bool ready = [] {
        files();
        static game_test::ScopedSuits* const suits = new game_test::ScopedSuits();
        (void)suits;
        Random::createInstance(1);
        static HeadlessGameScreen* const screen = new HeadlessGameScreen();
        setGameScreen(screen);
        // A level that cannot be built says so in a box; nobody is there to read it.
        static FakeMessageBox* const box = new FakeMessageBox();
        GameHooks::installMessageBox(box);
        return true;
    }();
    (void)ready;
}

// Clicks the two tiles of the game's hint, if it has one.
inline void playHint(Game& game) {
    Game::TileList hint;
    if (game.findHint(hint)) {
        for (const RefHolder<Tile>& tile : hint) {
            game.onTileClicked(tile->getGridX(), tile->getGridY());
            game.update();
        }
    }
}

// The globals a player profile reads (token bounds and tuning constants), once for the run, and
// the shipped trophy definitions on the file system in memory.
inline void profileReady() {
    static const bool ready = [] {
        files();
        if (!BasicProperties::instance()) {
            BasicProperties::createInstance();
        }
        setTestTokenBounds();
        return true;
    }();
    (void)ready;
    static const std::vector<uint8_t> trophies = [] {
        std::ifstream file(std::filesystem::path(QUOVEL_SOURCE_DIR) / TrophyList::DEFINITION_FILE,
                           std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    }();
    putFile(TrophyList::DEFINITION_FILE, trophies.data(), trophies.size());
}

}  // namespace fuzz
