#include <gtest/gtest.h>

#include "framework/core/ProblemLog.h"
#include "game/app/GameListeners.h"
#include "testsupport/e2e/RoadDriver.h"
#include "testsupport/rules/HeadlessGameScreen.h"

// The tests run with the game's hooks and, where a test sets no screen, the headless one. A
// road's failure and a developer's mistake fail the running test.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    RoadCheck::report.install([](const char* file, int line, const std::string& message) {
        ADD_FAILURE_AT(file, line) << message;
    });
    mistakeMade.install([](const std::string& text) { ADD_FAILURE() << "mistake: " << text; });
    installGameListeners();
    installHeadlessGameScreen();
    return RUN_ALL_TESTS();
}
