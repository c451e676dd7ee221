#include "game/profile/PlayerFileReport.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "framework/os/FileSystem.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/SettingsManager.h"
#include "game/rules/GameHooks.h"
#include "game/rules/RoomKind.h"

namespace PlayerFileReport {

namespace {

// Each kind of saved files: its words in the texts, whether its failure was told (until it
// is saved again), and, while the game ends, how it failed (none: it did not).
struct SavedKind {
    SavedFiles files;
    const char* words;
    bool told = false;
    WriteFailure gathered = WriteFailure::NONE;
};
using SavedKinds = std::array<SavedKind, static_cast<size_t>(SavedFiles::COUNT)>;
// The build stops unless every kind has its entry, in the order of SavedFiles.
consteval SavedKinds inOrderOfSavedFiles(SavedKinds table) {
    for (size_t index = 0; index < table.size(); ++index) {
        if (table[index].files != static_cast<SavedFiles>(index)) {
            throw "kinds: not one entry for each of SavedFiles, in its order";
        }
    }
    return table;
}
SavedKinds kinds = inOrderOfSavedFiles({{{SavedFiles::PLAYERS, "TEXT_SAVED_PROGRESS"},
                                         {SavedFiles::HIGH_SCORES, "TEXT_SAVED_HIGH_SCORES"},
                                         {SavedFiles::SAVED_GAME, "TEXT_SAVED_GAME"},
                                         {SavedFiles::SETTINGS, "TEXT_SAVED_SETTINGS"}}});
// While the game ends failures are gathered, not told.
bool gathering = false;
// Files left in place are met again at each read (a profile at each change of player).
std::set<std::string> heldFilesTold;

SavedKind& kindOf(SavedFiles files) {
    return kinds[static_cast<size_t>(files)];
}

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Whether a name may go on to the next line at `i`: after a "/", before a ".", or between the
// "-" ending one escaped character of a player's name and the "-" starting the next; never
// inside a word.
bool namePartStarts(const std::string& line, size_t i) {
    return i > 0 &&
           (line[i - 1] == '/' || line[i] == '.' || (line[i - 1] == '-' && line[i] == '-'));
}

// Where a line too long for the box is cut: a path or file name where a part of it starts
// within the limit, other text at its last blank (which goes: `skip` says so); else at the
// limit. The whole line when it fits.
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
        if (path ? namePartStarts(line, i) : line[i] == ' ') {
            lastBreak = i;
        }
    }
    if (path && limit < line.size() && namePartStarts(line, limit)) {
        lastBreak = limit;
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

using GameHooks::messageText;

void show(const std::string& text) {
    GameHooks::showMessage(GameHooks::GAME_TITLE, text);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder as the file's path names it: the one really written to, never the archive's
// member-name form of it.
std::string folderOfFile(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The file that stands where the folder, or a folder above it, should be; empty when none.
std::string fileInPlaceOfFolder(std::string folder) {
    FileSystem& files = FileSystem::current();
    for (; !folder.empty(); folder = folderOfFile(folder)) {
        if (files.exists(folder) && !files.isFolder(folder)) {
            return folder;
        }
    }
    return {};
}

// Each kind of stored file in the player's words ("%1" its owner), and what the game does
// without it; `plural` when the words name more than one thing (the verbs and pronouns of
// the message follow).
struct StoredWords {
    StoredFileKind kind;
    const char* subject;
    const char* without;
    bool plural = false;
    // The file named a second time, where the subject again would read as another file.
    const char* again = nullptr;
};
constexpr StoredWords STORED_WORDS[] = {
    {StoredFileKind::PLAYER_LIST, "TEXT_FILE_PLAYER_LIST", "TEXT_FILE_PLAYER_LIST_WITHOUT"},
    {StoredFileKind::PROFILE, "TEXT_FILE_PROFILE", "TEXT_FILE_PROFILE_WITHOUT"},
    {StoredFileKind::HIGH_SCORES, "TEXT_FILE_HIGH_SCORES", "TEXT_FILE_HIGH_SCORES_WITHOUT", true},
    {StoredFileKind::SAVED_GAME, "TEXT_FILE_SAVED_GAME", "TEXT_FILE_SAVED_GAME_WITHOUT", false,
     "TEXT_FILE_SAVED_GAME_AGAIN"},
    {StoredFileKind::STATISTICS, "TEXT_FILE_STATISTICS", "TEXT_FILE_STATISTICS_WITHOUT", true},
    {StoredFileKind::SETTINGS, "TEXT_FILE_SETTINGS", "TEXT_FILE_SETTINGS_WITHOUT", true}};

const StoredWords& wordsOf(StoredFileKind kind) {
    const auto found =
        std::find_if(std::begin(STORED_WORDS), std::end(STORED_WORDS),
                     [kind](const StoredWords& words) { return words.kind == kind; });
    return found != std::end(STORED_WORDS) ? *found : STORED_WORDS[std::size(STORED_WORDS) - 1];
}

std::string folderOf(SavedFiles files) {
    SettingsManager* settings = SettingsManager::instance();
    if (files == SavedFiles::SETTINGS && settings) {
        return settings->getSettingsFolder();
    }
    return getGameDataFolder();
}

// The kinds in the player's words, "a, b and c".
std::string kindNames(const std::vector<SavedFiles>& files) {
    std::string names;
    for (size_t i = 0; i < files.size(); ++i) {
        names += i == 0                  ? ""
                 : i + 1 == files.size() ? messageText("TEXT_SAVED_LAST_SEPARATOR")
                                         : messageText("TEXT_SAVED_SEPARATOR");
        names += messageText(kindOf(files[i]).words);
    }
    return names;
}

// The folder a kind's files go to, below the folder its message names.
std::string writtenFolderOf(SavedFiles files) {
    switch (files) {
        case SavedFiles::PLAYERS:
        case SavedFiles::HIGH_SCORES:
            return getGameDataFolder() + "/players";
        case SavedFiles::SAVED_GAME:
            return getGameDataFolder() + "/savegames";
        default:
            return folderOf(files);
    }
}

// What the player can do: make room, move away a file that stands in a folder's place, or
// let the game write to the folder.
std::string adviceText(const std::vector<SavedFiles>& files, bool diskFull,
                       const std::string& file) {
    if (diskFull) {
        return messageText("TEXT_SAVE_DISK_FULL");
    }
    for (const SavedFiles kind : files) {
        const std::string blocking =
            fileInPlaceOfFolder(file.empty() ? writtenFolderOf(kind) : folderOfFile(file));
        if (!blocking.empty()) {
            return fitted(messageText("TEXT_SAVE_FOLDER_TAKEN")) + "\n" + fitted(blocking, true) +
                   "\n" + fitted(messageText("TEXT_SAVE_FOLDER_TAKEN_END"));
        }
    }
    return messageText("TEXT_SAVE_REFUSED");
}

// What could not be saved (kinds of one folder, or one kind's `file`, in the player's `words`
// when given), where, and what the player can do.
std::string failureText(const std::vector<SavedFiles>& files, bool diskFull,
                        const std::string& file = std::string(),
                        const std::string& words = std::string()) {
    std::string names = words.empty() ? kindNames(files) : words;
    names[0] = static_cast<char>(names[0] - 'a' + 'A');
    const std::string as =
        file.empty() ? std::string()
                     : "\n" + messageText("TEXT_SAVED_AS") + "\n" + fitted(nameOf(file), true);
    return fitted(messageText("TEXT_SAVE_FAILED", names)) + as + "\n" +
           messageText("TEXT_IN_THE_FOLDER") + "\n" +
           fitted(file.empty() ? folderOf(files.front()) : folderOfFile(file), true) + "\n" +
           adviceText(files, diskFull, file);
}

}  // namespace

std::string gameInProgress(const std::string& owner, RoomKind room) {
    const char* key = room == RoomKind::RECROOM ? "TEXT_SAVED_GAME_RECROOM"
                      : room == RoomKind::ROOF  ? "TEXT_SAVED_GAME_ROOF"
                                                : "TEXT_SAVED_GAME_CASINO";
    return messageText(key, owner);
}

std::string notSaved(const std::vector<SavedFiles>& files) {
    return kindNames(files);
}

bool saved(SavedFiles files, bool written, const std::string& file, const std::string& words) {
    const WriteFailure why = FileSystem::takeWriteFailure();
    SavedKind& kind = kindOf(files);
    if (written) {
        kind.told = false;
        return true;
    }
    const WriteFailure failure = why == WriteFailure::DISK_FULL ? why : WriteFailure::REFUSED;
    if (gathering) {
        kind.gathered = std::max(kind.gathered, failure);
    } else if (!kind.told) {
        kind.told = true;
        show(failureText({files}, failure == WriteFailure::DISK_FULL, file, words));
    }
    return false;
}

void tellAgain(SavedFiles files) {
    kindOf(files).told = false;
}

void settingsSaved(bool written) {
    saved(SavedFiles::SETTINGS, written);
}

void tellFullDiskAtStart(bool settingsFolder, bool dataFolder) {
    std::vector<std::string> folders;
    for (const bool settings : {false, true}) {
        if (!(settings ? settingsFolder : dataFolder)) {
            continue;
        }
        for (SavedKind& kind : kinds) {
            kind.told = kind.told || (kind.files == SavedFiles::SETTINGS) == settings;
        }
        folders.push_back(
            fitted(folderOf(settings ? SavedFiles::SETTINGS : SavedFiles::PLAYERS), true));
    }
    if (folders.empty()) {
        return;
    }
    std::string text = fitted(messageText("TEXT_START_DISK_FULL"));
    for (size_t i = 0; i < folders.size(); ++i) {
        text += "\n" + messageText(i == 0 ? "TEXT_IN_THE_FOLDER" : "TEXT_AND_IN_THE_FOLDER") +
                "\n" + folders[i];
    }
    show(text);
}

void gatherFailures() {
    gathering = true;
    for (SavedKind& kind : kinds) {
        kind.gathered = WriteFailure::NONE;
    }
}

void tellGathered() {
    gathering = false;
    std::string text;
    // The data folder's kinds, then the settings in theirs.
    for (const bool settingsFolder : {false, true}) {
        std::vector<SavedFiles> failed;
        bool diskFull = false;
        for (const SavedKind& kind : kinds) {
            if ((kind.files == SavedFiles::SETTINGS) == settingsFolder &&
                kind.gathered != WriteFailure::NONE) {
                failed.push_back(kind.files);
                diskFull = diskFull || kind.gathered == WriteFailure::DISK_FULL;
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

// The file's stored name and folder, each on lines of its own.
std::string whereText(const std::string& path) {
    return messageText("TEXT_IN_THE_FILE") + "\n" + fitted(nameOf(path), true) + "\n" +
           messageText("TEXT_IN_THE_FOLDER") + "\n" + fitted(folderOfFile(path), true) + "\n";
}

void keptUnreadable(const StoredFile& what, const std::string& stored, const std::string& keptAs) {
    const StoredWords& words = wordsOf(what.kind);
    const std::string subject = messageText(words.subject, what.owner);
    if (what.notFound) {
        // A link that leads nowhere, left for its target to come back.
        if (heldFilesTold.insert(stored).second) {
            show(fitted(messageText("TEXT_FILE_LINK_TO_NOWHERE", subject)) + "\n" +
                 messageText("TEXT_FILE_LINK_LEFT_AS") + "\n" + whereText(stored) +
                 messageText("TEXT_FILE_LEFT_NOT_SAVED_OVER"));
        }
        return;
    }
    const std::string problem = fitted(messageText(!what.otherVersion ? "TEXT_FILE_UNREADABLE"
                                                   : words.plural     ? "TEXT_FILE_OTHER_VERSIONS"
                                                                      : "TEXT_FILE_OTHER_VERSION",
                                                   subject));
    const std::string again = words.again ? messageText(words.again) : subject;
    // Whose file it is comes before its stored name, which a player cannot read it from.
    const auto told = [&](const char* one, const char* many, const std::string& path) {
        return problem + "\n" + fitted(messageText(words.plural ? many : one, again)) + "\n" +
               whereText(path);
    };
    if (keptAs.empty()) {
        if (heldFilesTold.insert(stored).second) {
            show(told("TEXT_FILE_LEFT_AS", "TEXT_FILES_LEFT_AS", stored) +
                 messageText(words.plural ? "TEXT_FILES_LEFT_NOT_SAVED_OVER"
                                          : "TEXT_FILE_LEFT_NOT_SAVED_OVER"));
        }
        return;
    }
    show(told("TEXT_FILE_KEPT_AS", "TEXT_FILES_KEPT_AS", keptAs) +
         fitted(messageText(words.without, what.owner)));
}

void missing(const StoredFile& what, const std::string& stored) {
    const StoredWords& words = wordsOf(what.kind);
    show(fitted(messageText("TEXT_FILE_NOT_FOUND", messageText(words.subject, what.owner))) + "\n" +
         whereText(stored) + fitted(messageText(words.without, what.owner)));
}

void nameRefused(const std::string& name) {
    show(fitted(messageText("TEXT_NAME_TOO_LONG", name)));
}

void reset() {
    for (SavedKind& kind : kinds) {
        kind.told = false;
    }
    gathering = false;
    FileSystem::takeWriteFailure();
    heldFilesTold.clear();
}

bool savePlayer(AbstractPlayer* player) {
    PlayerManager* players = PlayerManager::getInstance();
    return players && player && saved(SavedFiles::PLAYERS, players->savePlayer(player));
}

}  // namespace PlayerFileReport
