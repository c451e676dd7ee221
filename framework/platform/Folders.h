#pragma once

#include <string>
#include <string_view>

// Where the game keeps its files, and the path helpers of the archive, the resources and the
// player files. Paths use "/"; the three folders are worked out once and then cached.

// Folder of the program file; empty when unknown.
std::string getProgramFolder();
std::string getCurrentFolder();
// The user's data root + "/Brastel/Games" (created); the program folder when the environment
// names no data root.
std::string getCommonDataRoot();
// The data root + "/" + the game's name (created). The name is BasicProperties' "GAME_NAME"
// unless setGameName gave one; while there is none yet, the data root itself (not cached).
std::string getGameDataFolder();
// The game folder + "/_temp" (created).
std::string getTempFolder();

// Removes the temporary files that writes cut short by an earlier run left in the data root and
// in the settings folders; start-up does it once this copy is known to be the only one.
// Returns how many went.
int removeStaleTemporaryFiles();

// Names the game folder in place of "GAME_NAME" (for tests); an empty name goes back to it.
void setGameName(const std::string& name);
// Forgets the cached folders, so that a test can point the environment elsewhere.
void resetFolderCache();

// Creates the folder and every missing parent; failures show when files are written.
void createFolderTree(const std::string& path);
// Deletes the folder and everything in it, never through a symbolic link; true only when all
// of it went.
bool deleteFolderTree(const std::string& path);

// A name made safe for a file name: a-z and 0-9 stay, every other byte becomes "-%X-" of the
// byte as a signed 8-bit value ("A" gives "-41-", 0xE9 gives "-FFFFFFE9-"). Stored player files
// depend on this exact form.
std::string escapeName(std::string_view name);
// The name that escapeName turned into `escaped`; false for any text it cannot have given.
bool unescapeName(std::string_view escaped, std::string& name);
// The name a file of this file-source mode is stored under: ".!" appended for the scrambled
// modes. PROCESS_WIDE is the process-wide mode while the archive object exists.
std::string getStoredFileName(int mode, const std::string& name);
// "\" becomes "/", doubled slashes collapse, and every "./" goes.
std::string normalizePath(std::string path);
// The normalised path up to its last "/"; the path unchanged when it has none.
std::string getFolderOfPath(const std::string& path);
// The normalised path without a leading "/", in lower case.
std::string toLowerPath(const std::string& path);
// Files are the user's own on this system: giving everyone access would open them to every
// account, so this does nothing and reports success.
bool grantEveryoneAccess(const std::string& path);
