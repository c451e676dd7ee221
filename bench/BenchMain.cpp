#include "bench/BenchRun.h"
#include "game/app/GameListeners.h"
#include "testsupport/rules/HeadlessGameScreen.h"

// The benches run with the game's hooks installed, as the program runs.
int main(int argc, char** argv) {
    return runBenchmarksAsTheGame(argc, argv, [] {
        installGameListeners();
        installHeadlessGameScreen();
    });
}
