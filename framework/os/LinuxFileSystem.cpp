#include "framework/os/LinuxFileSystem.h"

#include "framework/os/PosixFiles.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deeper trees are refused rather than exhausting descriptors or the stack.
constexpr int MAX_TREE_DEPTH = 256;

std::string environmentValue(const char* name) {
    const char* value = getenv(name);
    return value ? std::string(value) : std::string();
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Removes the folder `name` below the open folder `parent`. Every entry is examined without
// following links, and folders are opened with O_NOFOLLOW, so a link that appears or is swapped
// in while we work is never descended into.
bool removeTree(int parent, const char* name, int depth) {
    if (depth > MAX_TREE_DEPTH) {
        return false;
    }
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    std::vector<std::string> entries;
    while (const dirent* entry = readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (entryName != "." && entryName != "..") {
            entries.push_back(entryName);
        }
    }
    bool ok = true;
    for (const std::string& entry : entries) {
        struct stat info {};
        if (fstatat(fd, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
        } else if (S_ISDIR(info.st_mode)) {
            ok = removeTree(fd, entry.c_str(), depth + 1) && ok;
        } else if (unlinkat(fd, entry.c_str(), 0) != 0) {
            ok = false;
        }
    }
    closedir(dir);
    return unlinkat(parent, name, AT_REMOVEDIR) == 0 && ok;
}

// Removes the temporary files in the folder `name` below the open folder `parent` and in its
// subfolders, without following links; returns how many went.
int removeTemporaryTree(int parent, const char* name, int depth) {
    if (depth > MAX_TREE_DEPTH) {
        return 0;
    }
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return 0;
    }
    std::vector<std::string> entries;
    while (const dirent* entry = readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (entryName != "." && entryName != "..") {
            entries.push_back(entryName);
        }
    }
    int removed = 0;
    for (const std::string& entry : entries) {
        struct stat info {};
        if (fstatat(fd, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            removed += removeTemporaryTree(fd, entry.c_str(), depth + 1);
        } else if (S_ISREG(info.st_mode) && FileSystem::isTemporaryName(entry) &&
                   unlinkat(fd, entry.c_str(), 0) == 0) {
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}

}  // namespace

std::string LinuxFileSystem::programFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof buffer)) {
        return {};
    }
    const std::string path(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LinuxFileSystem::currentFolder() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string LinuxFileSystem::userDataRoot() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
    const std::string xdg = environmentValue("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/') {
        return withoutTrailingSlashes(xdg);
    }
    std::string home = environmentValue("HOME");
    if (home.empty()) {
        return {};
    }
    // A relative HOME is taken from the current folder (the program's, at start), where the
    // files written under it lie. Joined as it stands, never normalised: a loose file under an
    // absolute path is read as given, while a relative one would meet the archive's member-name
    // rule, which rewrites "x/../", a name ending in "." and "\".
    if (home.front() != '/') {
        const std::string current = currentFolder();
        if (!current.empty()) {
            home = withoutTrailingSlashes(current) + "/" + home;
        }
    }
    return withoutTrailingSlashes(home) + "/.local/share";
}

bool LinuxFileSystem::exists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

bool LinuxFileSystem::isLinkToNowhere(const std::string& path) {
    struct stat info {};
    return !path.empty() && lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
           stat(path.c_str(), &info) != 0;
}

bool LinuxFileSystem::isLinkLoop(const std::string& path) {
    struct stat info {};
    return isLinkToNowhere(path) && stat(path.c_str(), &info) != 0 && errno == ELOOP;
}

bool LinuxFileSystem::isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool LinuxFileSystem::createFolder(const std::string& path) {
    return !path.empty() && mkdir(path.c_str(), 0777) == 0;
}

bool LinuxFileSystem::deleteFolderTree(const std::string& path) {
    // A trailing slash would make O_NOFOLLOW resolve a link named by the path.
    const std::string folder = withoutTrailingSlashes(path);
    if (folder.empty() || folder == "/") {
        return false;
    }
    return removeTree(AT_FDCWD, folder.c_str(), 0);
}

bool LinuxFileSystem::deleteFile(const std::string& path) {
    return !path.empty() && unlink(path.c_str()) == 0;
}

bool LinuxFileSystem::writeFileAtomic(const std::string& path, const uint8_t* data, size_t size) {
    if (path.empty() || path.back() == '/') {
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const FileDescriptor folder(open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        noteWriteFailure(errno, WriteStep::OPEN_FOLDER, path);
        return false;
    }
    return replaceFileAt(folder.get(), name, data, size, path);
}

int LinuxFileSystem::removeTemporaryFiles(const std::string& folder) {
    const std::string path = withoutTrailingSlashes(folder);
    return path.empty() ? 0 : removeTemporaryTree(AT_FDCWD, path.c_str(), 0);
}

std::vector<std::string> LinuxFileSystem::listFiles(const std::string& folder) {
    std::vector<std::string> names;
    const std::string path = withoutTrailingSlashes(folder);
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (!dir) {
        if (fd >= 0) {
            close(fd);
        }
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        struct stat info {};
        if (fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}

FileReadResult LinuxFileSystem::readFile(const std::string& path, uint64_t maxSize,
                                         std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint64_t size = 0;
    const FileDescriptor file = openRegularFile(path, size);
    if (file.get() < 0) {
        return errno == ENOENT || errno == ENOTDIR ? FileReadResult::NOT_FOUND
                                                   : FileReadResult::FAILED;
    }
    if (size > maxSize) {
        return FileReadResult::TOO_LARGE;
    }
    bytes.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    // A file that shrank under us is not read whole.
    if (done != bytes.size()) {
        bytes.clear();
        return FileReadResult::FAILED;
    }
    return FileReadResult::OK;
}
