#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "game/rules/RoomKind.h"

class AbstractPlayer;
struct StoredFile;

// Tells the player, through the game's message box (GameHooks::showMessage) and in the words of
// the texts file, about the per-user files that failed: a save that was not written, and a file
// that could not be read and was kept aside. Nothing is lost meanwhile: what failed to save
// stays in memory and the next save point writes it again. Every message fits an 800 x 600
// screen: a path too long for it is shortened in its middle, and written whole to the log.
namespace PlayerFileReport {

// The files saved at separate moments, each told apart so that one kind that keeps failing
// does not hide another. The settings live in their own folder.
enum class SavedFiles { PLAYERS, HIGH_SCORES, SAVED_GAME, SETTINGS, COUNT };

// The longest line of a message, in characters. The system's message box is as wide as its
// widest line plus its margins, and no wider than an 800-pixel screen may show: 46 of the
// widest letters of its font (16 pixels each) and the margins (46 pixels) take 782.
constexpr size_t MESSAGE_LINE_CHARACTERS = 46;
// The most lines of a message. The box is as tall as its lines and six more, less 8 pixels,
// and no taller than a 600-pixel screen may show: 28 lines of the tallest its font gives
// (21 pixels) take 580. A longer message is fitted by shortening its paths in their middle.
constexpr size_t MESSAGE_LINES = 22;

// Hands on the outcome of a save and returns it. The first failure of a kind is told: the file
// that failed (the one written, else `file`, what it holds in `words` when given) and its
// folder, what failed (the disk, the folder, a file in the folder's place, the file itself)
// and what the player can do. Later failures are not told until every file of that kind is
// saved again. `file` names the one file written by a save of some of the kind's files: its
// success then clears its own failure alone. Call it on the thread that wrote.
bool saved(SavedFiles files, bool written, const std::string& file = std::string(),
           const std::string& words = std::string());
// The same for a save that wrote several files, `names`: its success clears their failures
// alone; its failure stands for each of them.
bool saved(SavedFiles files, bool written, const std::vector<std::string>& names,
           const std::string& words = std::string());
// The next failure of that kind is told, though one was told before.
void tellAgain(SavedFiles files);
// Whether the last write of a file of that kind handed to `saved` failed: a failed save of the
// whole kind until one succeeds, a failed save of one file until that one does.
bool lastSaveFailed(SavedFiles files);
// A saved game's words for `saved`: whose game and in which room.
std::string gameInProgress(const std::string& owner, RoomKind room);
// The kinds in the player's words ("your progress and the game in progress"); with
// `progressByOwner` the progress as progressNotSaved names it.
std::string notSaved(const std::vector<SavedFiles>& files, bool progressByOwner = false);
// Fits SettingsManager's saved listener.
void settingsSaved(bool written);

// Tells a full disk that the start's own writes met, in the settings' folder or the data
// folder: nothing is lost yet, and the saves there fail until there is room. Those failures
// are then not told again until a save of their kind succeeds.
void tellFullDiskAtStart(bool settingsFolder, bool dataFolder);

// Which failures gatherFailures gathers: at the game's end every one, told before or not, since
// what is not saved then is lost; at a stop only those not told yet, which the game keeps
// trying.
enum class Gathered { EVERY_FAILURE, UNTOLD_FAILURES };
// For saves made together (the game's end, a stopped game): from here on failures are gathered,
// not told, so that every kind that fails now is named in one message at tellGathered.
void gatherFailures(Gathered which = Gathered::EVERY_FAILURE);
// Tells what was gathered, one paragraph for the kinds that failed alike in one folder, and
// stops gathering. The kinds told are not told again until they are saved.
void tellGathered();

// Tells which file could not be read (or is of another version) and that it is kept as
// `keptAs`, or, when `keptAs` is empty, left where it is and never saved over (told once per
// file). Fits DamagedFile's listener.
void keptUnreadable(const StoredFile& what, const std::string& stored, const std::string& keptAs);

// Tells that a file something names was not found and is written anew. Fits DamagedFile's
// fileMissing.
void missing(const StoredFile& what, const std::string& stored);

// Tells that the player store refused the name (too long for the files named after it).
void nameRefused(const std::string& name);

// Forgets the failures told so far: a new run starts with none.
void reset();

// Saves the player list and the current player's profile (PlayerManager::savePlayers) and
// hands the outcome to saved() with their names; with `failedProfilesToo` (the game's end), the
// other players' profiles whose last write failed are written first. True when all were written.
bool savePlayers(bool failedProfilesToo = false);
// The progress whose last write failed, in the player's words: "your progress" for the list or
// the current player's profile, and each other player's by name ("the progress of Ann").
std::string progressNotSaved();

// Writes the player's profile at once, through the player manager (without one, nothing), and
// hands the outcome to saved(); true when it was written.
bool savePlayer(AbstractPlayer* player);

}  // namespace PlayerFileReport
