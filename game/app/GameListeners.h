#pragma once

#include <string>

// Installs every hook through which the lower layers reach the game's scenes, dialogs, profile
// and application: what happens when a floor ends, a level is first won, a game is stopped in
// a room, a quit is asked, a player is confirmed, and how the rules change scene, draw a tile's
// look and read property files. Run before any of them can be told: by the application's
// start-up, the tests and every other program that runs the game.
void installGameListeners();

// Which of the game's listeners above are empty, named, in words for the developer; empty when
// all are in place. (The property-file hooks the program checks itself.)
std::string missingGameWiring();
