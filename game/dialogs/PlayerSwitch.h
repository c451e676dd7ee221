#pragma once

#include <string>

// Saves the current player's profile and drops its kept saved game, then makes the player of
// that name current and loads its profile (a new player without a file stays as made). True
// when a player of that name exists.
bool switchToPlayer(const std::string& name);
