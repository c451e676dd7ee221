#include <gtest/gtest.h>

#include "game/app/GameListeners.h"

// The tests run with the game's hooks installed, as the program runs.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    installGameListeners();
    return RUN_ALL_TESTS();
}
