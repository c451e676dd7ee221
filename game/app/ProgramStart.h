#pragma once

#include "framework/os/TerminationSignals.h"

// The start of every program that runs the game, the game's own `main` and the benches' and
// tools' alike, so that they run it as a player does: a system box is shown by the program run
// again by itself, and SDL installs no signal handlers. In the game a SIGTERM, SIGINT or SIGHUP
// ends the game as its own quit does (rather than SDL's close request, which asks "Leaving
// already?"); a bench, whose benchmarks never read the game's quit, ends at once instead
// (`Ending::END_PROCESS`). Call it first thing in `main`, before SDL starts. Answers the exit
// status when the process was run again to show a box (it has shown it then, and must end), -1
// when the program goes on. The test programs keep the default signal actions: a developer's
// Ctrl-C ends them, and no test's signal reaches the next.
int startGameProgram(int argc, char** argv,
                     terminationSignals::Ending ending = terminationSignals::Ending::QUIT_GAME);
