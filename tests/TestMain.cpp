#include <gtest/gtest.h>

#include "game/app/GameListeners.h"
#include "testsupport/rules/HeadlessGameScreen.h"

// The tests run with the game's hooks and, where a test sets no screen, the headless one.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    installGameListeners();
    installHeadlessGameScreen();
    return RUN_ALL_TESTS();
}
