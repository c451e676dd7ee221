#pragma once

#include <string>

#include "framework/core/Hook.h"

// Saves the current player's profile and drops its kept saved game, then makes the player of
// that name current, loads its profile (a new player without a file stays as made) and saves
// the list. True when a player of that name exists.
bool switchToPlayer(const std::string& name);

// Told when the player selection or the name input confirms the current player; the lobby's
// welcome sign names that player.
inline Hook<void()> playerConfirmed{MustBeFilled{"playerConfirmed", "installGameListeners"}};
