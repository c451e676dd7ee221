#pragma once

#include <benchmark/benchmark.h>

#include "game/app/ProgramStart.h"

// The main of a bench program: it starts as the game does, except that a termination signal ends
// it at once, by the signal's default action, in the middle of a benchmark too (no benchmark reads
// the game's quit); then it reads the benchmark arguments, runs `prepare` when given, then the
// benchmarks.
inline int runBenchmarksAsTheGame(int argc, char** argv, void (*prepare)() = nullptr) {
    if (const int boxShown = startGameProgram(argc, argv, terminationSignals::Ending::END_PROCESS);
        boxShown >= 0) {
        return boxShown;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (prepare) {
        prepare();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
