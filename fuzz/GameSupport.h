#pragma once

// Set-up of the fuzz targets that read the game's own files: the tile suits, the random
// generator and a game screen without pictures, made once for the run.

#include <string>

#include "FuzzSupport.h"
#include "framework/core/Random.h"
#include "testsupport/os/FakeMessageBox.h"
#include "game/rules/GameHooks.h"
#include "testsupport/rules/HeadlessGameScreen.h"
#include "game/rules/IGameScreen.h"
#include "rules/StandardSuits.h"

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

}  // namespace fuzz
