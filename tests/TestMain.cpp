#include <gtest/gtest.h>

#include "game/app/GameListeners.h"
#include "testsupport/rules/HeadlessGameScreen.h"

// The tests run with the game's hooks installed, as the program runs, and the headless
// screen wherever a test sets none.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    installGameListeners();
    installHeadlessGameScreen();
    return RUN_ALL_TESTS();
}
