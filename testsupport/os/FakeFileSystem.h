#pragma once

#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/os/FileSystem.h"

// A file system in memory for tests: folders and files are paths in two tables, the program
// folder and the user's data root are whatever the test sets, and writes or deletions can be
// made to fail. Like the real one, a folder or file needs its parent folder.
class FakeFileSystem : public FileSystem {
public:
    std::string programFolder() override { return programPath; }
    std::string currentFolder() override { return currentPath; }
    std::string userDataRoot() override { return dataRoot; }

    bool exists(const std::string& path) override {
        return folders.count(path) > 0 || files.count(path) > 0;
    }
    bool isFolder(const std::string& path) override { return folders.count(path) > 0; }
    bool createFolder(const std::string& path) override {
        createdFolders.push_back(path);
        if (path.empty() || exists(path) || !parentExists(path)) {
            return false;
        }
        folders.insert(path);
        return true;
    }
    bool deleteFolderTree(const std::string& path) override {
        if (folders.count(path) == 0) {
            return false;
        }
        const std::string prefix = path + "/";
        bool blocked = false;
        for (const std::string& file : undeletable) {
            blocked = blocked || file.rfind(prefix, 0) == 0;
        }
        for (auto it = files.begin(); it != files.end();) {
            const bool inside = it->first.rfind(prefix, 0) == 0;
            it = inside && undeletable.count(it->first) == 0 ? files.erase(it) : std::next(it);
        }
        if (blocked) {
            return false;
        }
        std::erase_if(folders, [&](const std::string& folder) {
            return folder == path || folder.rfind(prefix, 0) == 0;
        });
        return true;
    }
    bool deleteFile(const std::string& path) override {
        if (undeletable.count(path) > 0) {
            return false;
        }
        return files.erase(path) > 0;
    }
    int removeTemporaryFiles(const std::string& folder) override {
        const std::string prefix = folder + "/";
        return static_cast<int>(std::erase_if(files, [&](const auto& file) {
            const std::string& path = file.first;
            return path.rfind(prefix, 0) == 0 &&
                   isTemporaryName(path.substr(path.rfind('/') + 1)) &&
                   undeletable.count(path) == 0;
        }));
    }
    bool writeFileAtomic(const std::string& path, const uint8_t* data, size_t size) override {
        if (failWrites || folders.count(path) > 0 || !parentExists(path)) {
            return false;
        }
        files[path].assign(data, data + size);
        return true;
    }
    std::vector<std::string> listFiles(const std::string& folder) override {
        std::vector<std::string> names;
        for (const auto& [path, bytes] : files) {
            if (path.substr(0, path.rfind('/')) == folder) {
                names.push_back(path.substr(folder.size() + 1));
            }
        }
        return names;
    }
    FileReadResult readFile(const std::string& path, uint64_t maxSize,
                            std::vector<uint8_t>& bytes) override {
        bytes.clear();
        const auto file = files.find(path);
        if (file == files.end()) {
            return folders.count(path) ? FileReadResult::FAILED : FileReadResult::NOT_FOUND;
        }
        if (file->second.size() > maxSize) {
            return FileReadResult::TOO_LARGE;
        }
        bytes = file->second;
        return FileReadResult::OK;
    }

    std::string programPath = "/opt/game";
    std::string currentPath = "/opt/game";
    std::string dataRoot = "/home/player/.local/share";
    std::set<std::string> folders{"/", "/opt", "/opt/game", "/home", "/home/player"};
    std::map<std::string, std::vector<uint8_t>> files;
    // Files that a deletion leaves in place, as one without the right to remove them would.
    std::set<std::string> undeletable;
    bool failWrites = false;
    // Every createFolder call, in order.
    std::vector<std::string> createdFolders;

private:
    bool parentExists(const std::string& path) const {
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            return true;  // relative to the current folder
        }
        return folders.count(slash == 0 ? "/" : path.substr(0, slash)) > 0;
    }
};
