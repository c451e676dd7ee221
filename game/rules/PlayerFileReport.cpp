#include "game/rules/PlayerFileReport.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "framework/os/FileSystem.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"
#include "framework/platform/SettingsManager.h"
#include "game/rules/GameHooks.h"

namespace PlayerFileReport {

namespace {

constexpr const char* REPORT_TITLE = "Quovel Mahjong";

constexpr size_t KINDS = static_cast<size_t>(SavedFiles::settings) + 1;

std::array<bool, KINDS> failureTold{};
// While the game ends: how each kind failed (none: it did not).
bool gathering = false;
std::array<WriteFailure, KINDS> gathered{};
// Files left in place are met again at each read (a profile at each change of player).
std::set<std::string> heldFilesTold;

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Where a line too long for the box is cut: a path after its last "/" within the limit, other
// text at its last blank (which goes: `skip` says so); else at the limit. The whole line when
// it fits.
size_t breakPoint(const std::string& line, bool path, size_t& skip) {
    size_t characters = 0, limit = line.size(), lastBreak = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (!startsCharacter(line[i])) {
            continue;
        }
        if (characters++ == MESSAGE_LINE_CHARACTERS) {
            limit = i;
            break;
        }
        if (path && line[i] == '/') {
            lastBreak = i + 1;
        } else if (!path && line[i] == ' ') {
            lastBreak = i;
        }
    }
    skip = !path && lastBreak > 0 && limit < line.size() ? 1 : 0;
    return limit == line.size() || lastBreak == 0 ? limit : lastBreak;
}

// The text's lines, each longer than the box allows broken into lines that fit. Paths are
// broken without losing a character, so that the lines put together give the path.
std::string fitted(const std::string& text, bool path = false) {
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        for (;;) {
            size_t skip = 0;
            const size_t cut = breakPoint(line, path, skip);
            out += line.substr(0, cut);
            if (cut == line.size()) {
                break;
            }
            out += '\n';
            line.erase(0, cut + skip);
        }
        if (end == text.size()) {
            return out;
        }
        out += '\n';
        start = end + 1;
    }
}

void show(const std::string& text) {
    GameHooks::showMessage(REPORT_TITLE, text);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file in the player's words, and what the game does without it.
std::string subject(const StoredFile& what) {
    switch (what.kind) {
        case StoredFileKind::playerList:
            return "The player list";
        case StoredFileKind::profile:
            return "The profile of " + what.owner;
        case StoredFileKind::highScores:
            return "The high scores";
        case StoredFileKind::savedGame:
            return "A saved game of " + what.owner;
        case StoredFileKind::statistics:
            return "The playing statistics";
        case StoredFileKind::settings:
            break;
    }
    return "The settings";
}

std::string without(const StoredFile& what) {
    switch (what.kind) {
        case StoredFileKind::playerList:
            return "The players are found again\nfrom their profiles.";
        case StoredFileKind::profile:
            return what.owner + " starts anew.";
        case StoredFileKind::highScores:
            return "The high scores start anew.";
        case StoredFileKind::savedGame:
            return "The game goes on without it.";
        case StoredFileKind::statistics:
            return "The statistics start anew.";
        case StoredFileKind::settings:
            break;
    }
    return "The game starts with its first settings.";
}

std::string folderOf(SavedFiles files) {
    SettingsManager* settings = SettingsManager::instance();
    if (files == SavedFiles::settings && settings) {
        return settings->getSettingsFolder();
    }
    return getGameDataFolder();
}

// What could not be saved (kinds of one folder, or one kind's `file`), where, and what the
// player can do.
std::string failureText(const std::vector<SavedFiles>& files, bool diskFull,
                        const std::string& file = std::string()) {
    static constexpr const char* WHAT[] = {"your progress", "the high scores",
                                           "the game in progress", "the settings"};
    std::string names;
    for (size_t i = 0; i < files.size(); ++i) {
        names += i == 0 ? "" : i + 1 == files.size() ? " and " : ", ";
        names += WHAT[static_cast<size_t>(files[i])];
    }
    names[0] = static_cast<char>(names[0] - 'a' + 'A');
    const std::string as = file.empty() ? std::string() : "\nas\n" + fitted(nameOf(file), true);
    return fitted(names + " could not be saved") + as + "\nin the folder\n" +
           fitted(file.empty() ? folderOf(files.front()) : getFolderOfPath(file), true) +
           (diskFull ? "\nThe disk is full. Please make room on it\nfor the game's files."
                     : "\nPlease make sure that the game may write\nto this folder.");
}

}  // namespace

bool saved(SavedFiles files, bool written, const std::string& file) {
    const WriteFailure why = FileSystem::takeWriteFailure();
    const size_t kind = static_cast<size_t>(files);
    if (written) {
        failureTold[kind] = false;
        return true;
    }
    const WriteFailure failure = why == WriteFailure::diskFull ? why : WriteFailure::refused;
    if (gathering) {
        gathered[kind] = std::max(gathered[kind], failure);
    } else if (!failureTold[kind]) {
        failureTold[kind] = true;
        show(failureText({files}, failure == WriteFailure::diskFull, file));
    }
    return false;
}

void settingsSaved(bool written) {
    saved(SavedFiles::settings, written);
}

void gatherFailures() {
    gathering = true;
    gathered.fill(WriteFailure::none);
}

void tellGathered() {
    gathering = false;
    std::string text;
    // The data folder's kinds, then the settings in theirs.
    for (const bool settingsFolder : {false, true}) {
        std::vector<SavedFiles> failed;
        bool diskFull = false;
        for (size_t kind = 0; kind < KINDS; ++kind) {
            if ((static_cast<SavedFiles>(kind) == SavedFiles::settings) == settingsFolder &&
                gathered[kind] != WriteFailure::none) {
                failed.push_back(static_cast<SavedFiles>(kind));
                diskFull = diskFull || gathered[kind] == WriteFailure::diskFull;
            }
        }
        if (!failed.empty()) {
            text += (text.empty() ? "" : "\n\n") + failureText(failed, diskFull);
        }
    }
    if (!text.empty()) {
        show(text);
    }
}

void keptUnreadable(const StoredFile& what, const std::string& stored, const std::string& keptAs) {
    const bool plural = what.kind == StoredFileKind::highScores;
    const std::string problem =
        subject(what) + (!what.otherVersion ? " could not be read."
                         : plural           ? " were written by another version of the game."
                                            : " was written by another version of the game.");
    if (keptAs.empty()) {
        if (!heldFilesTold.insert(stored).second) {
            return;
        }
        show(fitted(problem) + "\nIt is left as it is, as\n" + fitted(nameOf(stored), true) +
             "\nin the folder\n" + fitted(getFolderOfPath(stored), true) +
             "\nand the game will not save over it.");
        return;
    }
    show(fitted(problem) + "\nIt is kept as\n" + fitted(nameOf(keptAs), true) +
         "\nin the folder\n" + fitted(getFolderOfPath(keptAs), true) + "\n" +
         fitted(without(what)));
}

void nameRefused(const std::string& name) {
    show(fitted("The name\n" + name + "\nis too long to be kept. Please choose a shorter one."));
}

void reset() {
    failureTold.fill(false);
    gathering = false;
    FileSystem::takeWriteFailure();
    heldFilesTold.clear();
}

}  // namespace PlayerFileReport
