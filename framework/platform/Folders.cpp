#include "framework/platform/Folders.h"

#include "framework/os/FileKeyStore.h"

#include <cstdint>
#include <mutex>

#include "framework/core/BasicProperties.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/FileArchive.h"

namespace {

struct FolderCache {
    std::mutex mutex;
    std::string gameName;
    std::string dataRoot;
    std::string gameFolder;
    std::string tempFolder;
};

FolderCache& cache() {
    static FolderCache folders;
    return folders;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

// The three lookups below run with the cache's mutex held.
std::string dataRootLocked(FolderCache& folders) {
    if (folders.dataRoot.empty()) {
        const std::string userRoot = FileSystem::current().userDataRoot();
        if (userRoot.empty()) {
            folders.dataRoot = getProgramFolder();
        } else {
            folders.dataRoot = joinPath(userRoot, "Brastel/Games");
            createFolderTree(folders.dataRoot);
        }
    }
    return folders.dataRoot;
}

// The name set for tests, else the loaded "GAME_NAME"; empty before the property files are read.
std::string gameNameLocked(const FolderCache& folders) {
    return folders.gameName.empty() ? BasicProperties::getGameName() : folders.gameName;
}

std::string gameFolderLocked(FolderCache& folders) {
    if (!folders.gameFolder.empty()) {
        return folders.gameFolder;
    }
    const std::string root = dataRootLocked(folders);
    if (FileSystem::current().userDataRoot().empty()) {
        folders.gameFolder = root;  // the program folder holds everything
        return root;
    }
    const std::string name = gameNameLocked(folders);
    if (name.empty()) {
        // Not kept: a lookup before the game's name is loaded must not fix the folder for the
        // rest of the run.
        return root;
    }
    folders.gameFolder = joinPath(root, name);
    FileSystem::current().createFolder(folders.gameFolder);
    return folders.gameFolder;
}

char hexDigitChar(unsigned value) {
    return "0123456789ABCDEF"[value & 0xF];
}

void replaceEverywhere(std::string& text, std::string_view searched, std::string_view by) {
    // From the start each time: a replacement can make a new occurrence before it. Every pass
    // shortens the text, so this ends.
    for (size_t at = text.find(searched); at != std::string::npos; at = text.find(searched)) {
        text.replace(at, searched.size(), by);
    }
}

}  // namespace

std::string getProgramFolder() {
    return FileSystem::current().programFolder();
}

std::string getCurrentFolder() {
    return FileSystem::current().currentFolder();
}

std::string getCommonDataRoot() {
    FolderCache& folders = cache();
    std::lock_guard lock(folders.mutex);
    return dataRootLocked(folders);
}

std::string getGameDataFolder() {
    FolderCache& folders = cache();
    std::lock_guard lock(folders.mutex);
    return gameFolderLocked(folders);
}

int removeStaleTemporaryFiles() {
    FileSystem& files = FileSystem::current();
    int removed = files.removeTemporaryFiles(getCommonDataRoot());
    const std::string settingsRoot = FileKeyStore::defaultRoot();
    if (!settingsRoot.empty()) {
        removed += files.removeTemporaryFiles(settingsRoot + "/Brastel/Games");
    }
    return removed;
}

std::string getTempFolder() {
    FolderCache& folders = cache();
    std::lock_guard lock(folders.mutex);
    if (!folders.tempFolder.empty()) {
        return folders.tempFolder;
    }
    const std::string tempFolder = joinPath(gameFolderLocked(folders), "_temp");
    FileSystem::current().createFolder(tempFolder);
    if (!folders.gameFolder.empty()) {
        folders.tempFolder = tempFolder;  // kept once the game folder is
    }
    return tempFolder;
}

void setGameName(const std::string& name) {
    FolderCache& folders = cache();
    std::lock_guard lock(folders.mutex);
    folders.gameName = name;
}

void resetFolderCache() {
    FolderCache& folders = cache();
    std::lock_guard lock(folders.mutex);
    folders.dataRoot.clear();
    folders.gameFolder.clear();
    folders.tempFolder.clear();
}

void createFolderTree(const std::string& path) {
    FileSystem& fileSystem = FileSystem::current();
    if (path.empty() || fileSystem.exists(path)) {
        return;
    }
    const size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0) {
        createFolderTree(path.substr(0, slash));
    }
    fileSystem.createFolder(path);
}

bool deleteFolderTree(const std::string& path) {
    if (path.size() < 2) {
        return false;
    }
    return FileSystem::current().deleteFolderTree(path);
}

std::string escapeName(std::string_view name) {
    std::string escaped;
    for (const char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            escaped += c;
            continue;
        }
        // The byte as a signed char widened to 32 bits: 0x80 and above print eight digits.
        const uint32_t value = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
        std::string digits;
        for (uint32_t rest = value; rest != 0 || digits.empty(); rest >>= 4) {
            digits.insert(digits.begin(), hexDigitChar(rest));
        }
        escaped += "-" + digits + "-";
    }
    return escaped;
}

bool unescapeName(std::string_view escaped, std::string& name) {
    name.clear();
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '-') {
            name += escaped[i];
            continue;
        }
        const size_t end = escaped.find('-', i + 1);
        if (end == std::string_view::npos || end == i + 1 || end - i - 1 > 8) {
            return false;
        }
        uint32_t value = 0;
        for (size_t k = i + 1; k < end; ++k) {
            const char c = escaped[k];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        name += static_cast<char>(value & 0xFF);
        i = end;
    }
    // Only the one spelling escapeName gives: no other name may claim a player's files.
    return escapeName(name) == escaped;
}

std::string getStoredFileName(int mode, const std::string& name) {
    return FileSource::isScrambledMode(FileArchive::resolvedMode(mode)) ? name + ".!" : name;
}

std::string normalizePath(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    replaceEverywhere(path, "//", "/");
    replaceEverywhere(path, "./", "");
    return path;
}

std::string getFolderOfPath(const std::string& path) {
    const std::string normalized = normalizePath(path);
    const size_t slash = normalized.rfind('/');
    if (slash == std::string::npos) {
        return path;
    }
    return normalized.substr(0, slash);
}

std::string toLowerPath(const std::string& path) {
    std::string lower = normalizePath(path);
    if (!lower.empty() && lower.front() == '/') {
        lower.erase(0, 1);
    }
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool grantEveryoneAccess(const std::string&) {
    return true;
}
