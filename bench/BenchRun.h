#pragma once

#include <benchmark/benchmark.h>

#include "game/app/ProgramStart.h"

// The main of a bench program: it starts as the game does (a signal ends its run as it ends the
// game), reads the benchmark arguments, runs `prepare` when given, then the benchmarks.
inline int runBenchmarksAsTheGame(int argc, char** argv, void (*prepare)() = nullptr) {
    if (const int boxShown = startGameProgram(argc, argv); boxShown >= 0) {
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
