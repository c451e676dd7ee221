#include <benchmark/benchmark.h>

#include "game/app/GameListeners.h"
#include "testsupport/rules/HeadlessGameScreen.h"

// The benches run with the game's hooks installed, as the program runs.
int main(int argc, char** argv) {
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
