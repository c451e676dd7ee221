#include <benchmark/benchmark.h>

#include "game/app/GameListeners.h"
#include "game/app/ProgramStart.h"
#include "testsupport/rules/HeadlessGameScreen.h"

// The benches start as the game does and run with its hooks installed, as the program runs.
int main(int argc, char** argv) {
    if (const int boxShown = startGameProgram(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    installGameListeners();
    installHeadlessGameScreen();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
