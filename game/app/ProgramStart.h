#pragma once

// The start of every program that runs the game, the game's own `main` and the benches' and
// tools' alike, so that they run it as a player does: a SIGTERM, SIGINT or SIGHUP ends the game
// as its own quit does (rather than SDL's close request, which asks "Leaving already?"), and a
// system box is shown by the program run again by itself. Call it first thing in `main`, before
// SDL starts. Answers the exit status when the process was run again to show a box (it has shown
// it then, and must end), -1 when the program goes on. The test programs keep the default signal
// actions: a developer's Ctrl-C ends them, and no test's signal reaches the next.
int startGameProgram(int argc, char** argv);
