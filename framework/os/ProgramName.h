#pragma once

#include <string>

// The name the running program was started by, without its folder: the game, a test program or
// a bench, so that each names itself in the lines it writes to stderr.
std::string programName();
