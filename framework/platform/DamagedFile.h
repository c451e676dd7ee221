#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Hook.h"

// Which per-user file a file set aside is, so that the player can be told in their own words.
enum class StoredFileKind { PLAYER_LIST, PROFILE, HIGH_SCORES, SAVED_GAME, SETTINGS, STATISTICS };

struct StoredFile {
    StoredFileKind kind = StoredFileKind::PLAYER_LIST;
    // The player whose profile or saved game it is; empty for the shared files.
    std::string owner;
    // Read whole, but written by another version of the game (else damaged or unreadable).
    bool otherVersion = false;
    // Not found where it should be: a link that leads nowhere, or a file missing that the
    // player list names.
    bool notFound = false;
    // Logged only, never told: a file of the game's own records that the player has no part in.
    bool quiet = false;
};

// Keeps a per-user file that exists but failed to load (damaged, not a property file, or of
// another version) out of the way of the next save, which would otherwise overwrite it: the
// file is moved beside itself under a dated name ("players.plrs.damaged-2026-12-07-08-45-10",
// "...other-version-..." for a file of another version) and the move is logged. `path` is the
// file's name before the mode's stored-name rule (a loose-files mode). True when nothing is in
// the way any more (no file there, or it was moved); false when the file could not be moved and
// stays where it is, so the caller must not save over it. A link that leads nowhere is such a
// file: it stays (its target may come back with its disk) and is told as not found. A quiet
// file is only logged.
bool setAsideUnloadableFile(int32_t mode, const std::string& path, const StoredFile& what);

// Writes a file of the game's own records (the statistics file, the records in the key store)
// through `write`, which is true when it wrote. A failure is not the player's to hear of: the
// first for each file in a run is logged with the file's path and what failed, and it stays
// noted for whoever tells failures (FileSystem::takeFailedWrite).
bool writeOwnRecords(const std::string& file, const std::function<bool()>& write);

// Logs and tells (fileMissing) a file that is not there although something names it, so that
// the player knows why it starts anew; `path` as for setAsideUnloadableFile.
void tellMissingFile(int32_t mode, const std::string& path, const StoredFile& what);

// Hears of every file set aside: what it is, its stored name and the name it is kept under, or
// an empty one when it could not be moved and stays where it is. The game tells the player
// through it while it runs.
inline Hook<void(const StoredFile& what, const std::string& stored, const std::string& keptAs)>
    fileSetAside;

// Hears of a file missing where something names it, by its stored name; the file is written
// anew at the next save.
inline Hook<void(const StoredFile& what, const std::string& stored)> fileMissing;
