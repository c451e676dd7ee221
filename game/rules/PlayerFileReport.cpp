#include "game/rules/PlayerFileReport.h"

#include <algorithm>
#include <array>
#include <set>

#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"
#include "game/rules/GameHooks.h"

namespace PlayerFileReport {

namespace {

constexpr const char* REPORT_TITLE = "Quovel Mahjong";

std::array<bool, 3> failureTold{};
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
        case StoredFileKind::settings:
            break;
    }
    return "The game starts with its first settings.";
}

}  // namespace

bool saved(SavedFiles files, bool written, const std::string& file) {
    bool& told = failureTold[static_cast<size_t>(files)];
    if (written) {
        told = false;
    } else if (!told) {
        told = true;
        static constexpr const char* WHAT[] = {"Your progress", "The high scores",
                                               "The game in progress"};
        const std::string as = file.empty() ? std::string() : "\nas\n" + fitted(nameOf(file), true);
        show(fitted(std::string(WHAT[static_cast<size_t>(files)]) + " could not be saved") + as +
             "\nin the folder\n" +
             fitted(file.empty() ? getGameDataFolder() : getFolderOfPath(file), true) +
             "\nPlease make sure that the game may write\nto this folder.");
    }
    return written;
}

void keptUnreadable(const StoredFile& what, const std::string& stored, const std::string& keptAs) {
    const std::string problem =
        subject(what) + (what.otherVersion ? " was written by another version of the game."
                                           : " could not be read.");
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

void reset() {
    failureTold.fill(false);
    heldFilesTold.clear();
}

}  // namespace PlayerFileReport
