#include "game/profile/PlayerFileReport.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/SettingsManager.h"
#include "game/rules/GameHooks.h"
#include "game/rules/RoomKind.h"

namespace PlayerFileReport {

namespace {

// Each kind of saved files: its words in the texts, and whether its failure was told (until it
// is saved again).
struct SavedKind {
    SavedFiles files;
    const char* words;
    bool told = false;
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
// Of each kind, the saves whose last write failed: "" for one of the whole kind, else the one
// file it wrote.
std::array<std::set<std::string>, static_cast<size_t>(SavedFiles::COUNT)> failedSaves;
// While saves are made together failures are gathered, not told: how each kind failed (none: it
// did not).
bool gathering = false;
Gathered gatheredFailures = Gathered::EVERY_FAILURE;
std::array<FailedWrite, static_cast<size_t>(SavedFiles::COUNT)> gathered;
// Whose progress failed, as the players' last save while gathering left it: the gathered
// failures are told after the players are released.
std::string gatheredProgress;
// Files left in place are met again at each read (a profile at each change of player).
std::set<std::string> heldFilesTold;

SavedKind& kindOf(SavedFiles files) {
    return kinds[static_cast<size_t>(files)];
}

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Whether a name may go on to the next line at `i`: after a "/", before a "." that follows no
// other (an ellipsis stays whole), or between the "-" ending one escaped character of a
// player's name and the "-" starting the next; never inside a word.
bool namePartStarts(const std::string& line, size_t i) {
    return i > 0 && (line[i - 1] == '/' || (line[i] == '.' && line[i - 1] != '.') ||
                     (line[i - 1] == '-' && line[i] == '-'));
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
    // A cut at the limit between two dots goes before them, so that an ellipsis stays whole.
    if (limit < line.size() && line[limit] == '.') {
        size_t dots = limit;
        while (dots > 0 && line[dots - 1] == '.') {
            --dots;
        }
        limit = dots > 0 ? dots : limit;
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

size_t lineCount(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

// A path or file name in a message, on a line of its own, stands between these marks until the
// message is shown, so that it can be shortened to fit the box.
constexpr char PATH_START = '\x01';
constexpr char PATH_END = '\x02';
// The system's box draws Latin-1 alone (the X server's core fonts): no "\u2026" there.
constexpr const char* ELLIPSIS = "...";

std::string pathLine(std::string path) {
    // The box shows no control characters, and the marks stay the only ones.
    std::replace_if(
        path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
    return PATH_START + path + PATH_END;
}

// The path on at most `lines` lines: whole when it fits, else shortened in its middle, where
// an ellipsis stands for what is left out; the whole path then goes to the problem log.
std::string shortened(const std::string& path, size_t lines) {
    std::string out = fitted(path, true);
    if (lineCount(out) <= lines) {
        return out;
    }
    logProblem("\"" + path + "\" is shown shortened in a message box");
    std::vector<size_t> starts;
    for (size_t i = 0; i < path.size(); ++i) {
        if (startsCharacter(path[i])) {
            starts.push_back(i);
        }
    }
    for (size_t kept = std::min(lines * MESSAGE_LINE_CHARACTERS, starts.size()) - 1; kept > 0;
         --kept) {
        const size_t head = kept / 2;
        out = fitted(path.substr(0, starts[head]) + ELLIPSIS +
                         path.substr(starts[starts.size() - (kept - head)]),
                     true);
        if (lineCount(out) <= lines) {
            return out;
        }
    }
    return ELLIPSIS;
}

// The message as the box shows it: its lines fitted to the box's width, and no more of them
// than its height allows. The paths share the lines the rest leaves, each shortened to its
// share; a message too long even so (every kind failing in a file of its own at the end) is
// cut, whole in the problem log.
std::string fittedToScreen(const std::string& text) {
    std::vector<std::string> paths;
    std::string rest;
    for (size_t at = 0;;) {
        const size_t start = text.find(PATH_START, at);
        rest += fitted(text.substr(at, start - at));
        if (start == std::string::npos) {
            break;
        }
        const size_t end = std::min(text.find(PATH_END, start), text.size());
        paths.push_back(text.substr(start + 1, end - start - 1));
        rest += PATH_START;
        at = end + 1;
    }
    // Lines beyond one for each path.
    size_t spare = MESSAGE_LINES - std::min(MESSAGE_LINES, lineCount(rest));
    std::string out;
    size_t next = 0;
    for (const char c : rest) {
        if (c != PATH_START) {
            out += c;
            continue;
        }
        const std::string lines = shortened(paths[next], 1 + spare / (paths.size() - next));
        spare -= lineCount(lines) - 1;
        out += lines;
        ++next;
    }
    if (lineCount(out) > MESSAGE_LINES) {
        std::string whole = text;
        std::erase_if(whole, [](char c) { return c == PATH_START || c == PATH_END; });
        std::replace(whole.begin(), whole.end(), '\n', ' ');
        logProblem("a message too long for its box is shown cut: " + whole);
        size_t cut = 0;
        for (size_t line = 1; line < MESSAGE_LINES; ++line) {
            cut = out.find('\n', cut) + 1;
        }
        out = out.substr(0, cut) + ELLIPSIS;
    }
    return out;
}

using GameHooks::messageText;

void show(const std::string& text) {
    GameHooks::showMessage(GameHooks::GAME_TITLE, fittedToScreen(text));
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

// The parts in the player's words, "a, b and c".
std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) {
        text += i == 0                  ? ""
                : i + 1 == parts.size() ? messageText("TEXT_SAVED_LAST_SEPARATOR")
                                        : messageText("TEXT_SAVED_SEPARATOR");
        text += parts[i];
    }
    return text;
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

// The folder a failed write names: the one really written to, else its kind's.
std::string folderOf(SavedFiles files, const FailedWrite& failed) {
    return failed.path.empty() ? folderOf(files) : folderOfFile(failed.path);
}

// Whether a failure lies with the file itself rather than with its folder or disk: the file is
// named wherever it is told.
bool liesWithTheFile(WriteFailure why) {
    return why == WriteFailure::FILE_TAKEN || why == WriteFailure::FILE_REFUSED ||
           why == WriteFailure::NAME_TOO_LONG;
}

constexpr std::pair<WriteFailure, const char*> ADVICE[] = {
    {WriteFailure::DISK_FULL, "TEXT_SAVE_DISK_FULL"},
    {WriteFailure::FOLDER_REFUSED, "TEXT_SAVE_REFUSED"},
    {WriteFailure::FOLDER_MISSING, "TEXT_SAVE_FOLDER_MISSING"},
    {WriteFailure::READ_ONLY_DISK, "TEXT_SAVE_READ_ONLY_DISK"},
    {WriteFailure::FILE_TAKEN, "TEXT_SAVE_FILE_TAKEN"},
    {WriteFailure::FILE_REFUSED, "TEXT_SAVE_FILE_REFUSED"},
    {WriteFailure::NAME_TOO_LONG, "TEXT_SAVE_NAME_TOO_LONG"}};

// Why the write failed and what the player can do, said of the folder the message names (and
// of its file, when one kind failed); a file standing in a folder's place is named.
std::string adviceText(SavedFiles files, const FailedWrite& failed) {
    if (failed.why == WriteFailure::FOLDER_TAKEN) {
        const std::string blocking = fileInPlaceOfFolder(
            failed.path.empty() ? writtenFolderOf(files) : folderOfFile(failed.path));
        if (!blocking.empty()) {
            return messageText("TEXT_SAVE_FOLDER_TAKEN") + "\n" + pathLine(blocking) + "\n" +
                   messageText("TEXT_SAVE_FOLDER_TAKEN_END");
        }
    }
    const auto advice =
        std::find_if(std::begin(ADVICE), std::end(ADVICE),
                     [&failed](const auto& entry) { return entry.first == failed.why; });
    return messageText(advice != std::end(ADVICE) ? advice->second : "TEXT_SAVE_WRITE_FAILED");
}

// What could not be saved (kinds whose writes failed alike in one folder, or one kind, in the
// player's `words` when given), where, why and what the player can do. One kind names its file
// when `namesFile` or the failure lies with it.
std::string failureText(const std::vector<SavedFiles>& files, const FailedWrite& failed,
                        bool namesFile, const std::string& words = std::string()) {
    // The players' files by whose progress failed: another player's profile by its owner.
    std::string names = words.empty() ? notSaved(files, true) : words;
    names[0] = static_cast<char>(names[0] - 'a' + 'A');
    const std::string file =
        files.size() > 1 || failed.path.empty() || !(namesFile || liesWithTheFile(failed.why))
            ? std::string()
            : "\n" + messageText(words.empty() ? "TEXT_IN_THE_FILE" : "TEXT_SAVED_AS") + "\n" +
                  pathLine(nameOf(failed.path));
    return messageText("TEXT_SAVE_FAILED", names) + file + "\n" +
           messageText("TEXT_IN_THE_FOLDER") + "\n" + pathLine(folderOf(files.front(), failed)) +
           "\n" + adviceText(files.front(), failed);
}

void gatherProgress(SavedFiles files) {
    if (gathering && files == SavedFiles::PLAYERS) {
        gatheredProgress = progressNotSaved();
    }
}

}  // namespace

std::string gameInProgress(const std::string& owner, RoomKind room) {
    const char* key = room == RoomKind::RECROOM ? "TEXT_SAVED_GAME_RECROOM"
                      : room == RoomKind::ROOF  ? "TEXT_SAVED_GAME_ROOF"
                                                : "TEXT_SAVED_GAME_CASINO";
    return messageText(key, owner);
}

std::string notSaved(const std::vector<SavedFiles>& files, bool progressByOwner) {
    std::vector<std::string> names;
    for (const SavedFiles kind : files) {
        const std::string progress = kind != SavedFiles::PLAYERS || !progressByOwner ? std::string()
                                     : PlayerManager::getInstance() ? progressNotSaved()
                                                                    : gatheredProgress;
        names.push_back(progress.empty() ? messageText(kindOf(kind).words) : progress);
    }
    return joined(names);
}

bool saved(SavedFiles files, bool written, const std::string& file, const std::string& words) {
    return saved(files, written, std::vector<std::string>{file}, words);
}

bool saved(SavedFiles files, bool written, const std::vector<std::string>& names,
           const std::string& words) {
    FailedWrite failed = FileSystem::takeFailedWrite();
    SavedKind& kind = kindOf(files);
    std::set<std::string>& failedFiles = failedSaves[static_cast<size_t>(files)];
    if (written) {
        // The files written say nothing of the others (other players' profiles): their
        // failures stand, and are not told again.
        if (names == std::vector<std::string>{std::string()}) {
            failedFiles.clear();
        }
        for (const std::string& name : names) {
            failedFiles.erase(name);
        }
        kind.told = kind.told && !failedFiles.empty();
        gatherProgress(files);
        return true;
    }
    // Each of them may have failed (a failure names the latest alone).
    failedFiles.insert(names.begin(), names.end());
    gatherProgress(files);
    // Of several, the message names none: their folder is told.
    const std::string file = names.size() == 1 ? names.front() : std::string();
    failed.why = failed.why == WriteFailure::NONE ? WriteFailure::FAILED : failed.why;
    failed.path = failed.path.empty() ? file : failed.path;
    if (gathering) {
        if (gatheredFailures == Gathered::EVERY_FAILURE || !kind.told) {
            gathered[static_cast<size_t>(files)].add(failed);
        }
    } else if (!kind.told) {
        kind.told = true;
        show(failureText({files}, failed, true, words));
    }
    return false;
}

void tellAgain(SavedFiles files) {
    kindOf(files).told = false;
}

bool lastSaveFailed(SavedFiles files) {
    return !failedSaves[static_cast<size_t>(files)].empty();
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
            pathLine(folderOf(settings ? SavedFiles::SETTINGS : SavedFiles::PLAYERS)));
    }
    if (folders.empty()) {
        return;
    }
    std::string text = messageText("TEXT_START_DISK_FULL");
    for (size_t i = 0; i < folders.size(); ++i) {
        text += "\n" + messageText(i == 0 ? "TEXT_IN_THE_FOLDER" : "TEXT_AND_IN_THE_FOLDER") +
                "\n" + folders[i];
    }
    show(text);
}

void gatherFailures(Gathered which) {
    gathering = true;
    gatheredFailures = which;
    gathered.fill(FailedWrite());
    gatheredProgress.clear();
}

void tellGathered() {
    gathering = false;
    // One paragraph for the kinds that failed alike in one folder, in the order of the kinds
    // (the settings' folder last); a failure that lies with a file has one of its own.
    const auto folderOfKind = [](size_t kind) {
        return folderOf(static_cast<SavedFiles>(kind), gathered[kind]);
    };
    std::string text;
    std::vector<bool> told(gathered.size());
    for (size_t kind = 0; kind < gathered.size(); ++kind) {
        const FailedWrite& failed = gathered[kind];
        if (failed.why == WriteFailure::NONE || told[kind]) {
            continue;
        }
        std::vector<SavedFiles> alike;
        for (size_t other = kind; other < gathered.size(); ++other) {
            if (other == kind ||
                (gathered[other].why == failed.why && !liesWithTheFile(failed.why) &&
                 folderOfKind(other) == folderOfKind(kind))) {
                alike.push_back(static_cast<SavedFiles>(other));
                told[other] = kinds[other].told = true;
            }
        }
        text += (text.empty() ? "" : "\n\n") + failureText(alike, failed, false);
    }
    if (!text.empty()) {
        show(text);
    }
}

// The file's stored name and folder, each on lines of its own.
std::string whereText(const std::string& path) {
    return messageText("TEXT_IN_THE_FILE") + "\n" + pathLine(nameOf(path)) + "\n" +
           messageText("TEXT_IN_THE_FOLDER") + "\n" + pathLine(folderOfFile(path)) + "\n";
}

void keptUnreadable(const StoredFile& what, const std::string& stored, const std::string& keptAs) {
    const StoredWords& words = wordsOf(what.kind);
    const std::string subject = messageText(words.subject, what.owner);
    if (what.notFound) {
        // A link that leads nowhere (or round in a circle), left for its target to come back.
        if (heldFilesTold.insert(stored).second) {
            const char* link =
                FileSystem::current().isLinkLoop(stored)
                    ? (words.plural ? "TEXT_FILES_LINK_LOOP" : "TEXT_FILE_LINK_LOOP")
                    : (words.plural ? "TEXT_FILES_LINK_TO_NOWHERE" : "TEXT_FILE_LINK_TO_NOWHERE");
            show(messageText(link, subject) + "\n" + messageText("TEXT_FILE_LINK_LEFT_AS") + "\n" +
                 whereText(stored) + messageText("TEXT_FILE_LEFT_NOT_SAVED_OVER"));
        }
        return;
    }
    const std::string problem = messageText(!what.otherVersion ? "TEXT_FILE_UNREADABLE"
                                            : words.plural     ? "TEXT_FILE_OTHER_VERSIONS"
                                                               : "TEXT_FILE_OTHER_VERSION",
                                            subject);
    const std::string again = words.again ? messageText(words.again) : subject;
    // Whose file it is comes before its stored name, which a player cannot read it from.
    const auto told = [&](const char* one, const char* many, const std::string& path) {
        return problem + "\n" + messageText(words.plural ? many : one, again) + "\n" +
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
         messageText(words.without, what.owner));
}

void missing(const StoredFile& what, const std::string& stored) {
    const StoredWords& words = wordsOf(what.kind);
    show(messageText("TEXT_FILE_NOT_FOUND", messageText(words.subject, what.owner)) + "\n" +
         whereText(stored) + messageText(words.without, what.owner));
}

void nameRefused(const std::string& name) {
    show(messageText("TEXT_NAME_TOO_LONG", name));
}

void reset() {
    for (SavedKind& kind : kinds) {
        kind.told = false;
    }
    failedSaves.fill({});
    gathering = false;
    FileSystem::takeWriteFailure();
    heldFilesTold.clear();
}

bool savePlayers(bool failedProfilesToo) {
    PlayerManager* players = PlayerManager::getInstance();
    if (!players) {
        return false;
    }
    AbstractPlayer* current = players->getCurrentPlayer();
    bool written = true;
    if (failedProfilesToo) {
        const std::set<std::string>& failed = failedSaves[static_cast<size_t>(SavedFiles::PLAYERS)];
        for (const RefHolder<AbstractPlayer>& player : players->getPlayers()) {
            if (player.get() != current &&
                failed.count(players->getStoredProfileName(player->getName())) > 0) {
                written = savePlayer(player.get()) && written;
            }
        }
    }
    std::vector<std::string> names = {players->getStoredPlayersFileName()};
    if (current) {
        names.push_back(players->getStoredProfileName(current->getName()));
    }
    return saved(SavedFiles::PLAYERS, players->savePlayers(), names) && written;
}

std::string progressNotSaved() {
    PlayerManager* players = PlayerManager::getInstance();
    const std::set<std::string>& failed = failedSaves[static_cast<size_t>(SavedFiles::PLAYERS)];
    AbstractPlayer* current = players ? players->getCurrentPlayer() : nullptr;
    std::vector<std::string> parts;
    std::set<std::string> others = failed;
    if (players) {
        for (const RefHolder<AbstractPlayer>& player : players->getPlayers()) {
            const std::string stored = players->getStoredProfileName(player->getName());
            if (player.get() != current && others.erase(stored) > 0) {
                parts.push_back(messageText("TEXT_SAVED_PROGRESS_OF", player->getName()));
            }
        }
    }
    // The list, the current player's profile, or a file of no player now listed.
    if (!others.empty()) {
        parts.insert(parts.begin(), messageText(kindOf(SavedFiles::PLAYERS).words));
    }
    return joined(parts);
}

bool savePlayer(AbstractPlayer* player) {
    PlayerManager* players = PlayerManager::getInstance();
    return players && player &&
           saved(SavedFiles::PLAYERS, players->savePlayer(player),
                 players->getStoredProfileName(player->getName()));
}

}  // namespace PlayerFileReport
