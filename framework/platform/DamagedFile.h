#pragma once

#include <cstdint>
#include <string>

// Keeps a per-user file that exists but failed to load (damaged, or not a property file) out
// of the way of the next save, which would otherwise overwrite it: the file is moved beside
// itself under a dated name ("players.plrs.damaged-2026-12-07-08-45-10") and the move is
// logged. `path` is the file's name before the mode's stored-name rule (file mode 1 or 3).
// True when nothing is in the way any more (no file there, or it was moved); false when a
// damaged file could not be moved and stays where it is, so the caller must not save over it.
bool setAsideUnloadableFile(int32_t mode, const std::string& path);

// Hears of every file set aside: its stored name and the name it is kept under, or an empty
// one when it could not be moved and stays where it is. The game tells the player through it.
using SetAsideListener = void (*)(const std::string& stored, const std::string& keptAs);
// Null removes the listener.
void setSetAsideListener(SetAsideListener listener);
