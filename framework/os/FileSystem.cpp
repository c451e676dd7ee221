#include "framework/os/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <utility>

#include "framework/os/LinuxFileSystem.h"

namespace {

std::atomic<FileSystem*> installed{nullptr};
thread_local FailedWrite failedWrite;

WriteFailure failureOf(int error, WriteStep step) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return WriteFailure::DISK_FULL;
        case EROFS:
            return WriteFailure::READ_ONLY_DISK;
        case ENAMETOOLONG:
            return WriteFailure::NAME_TOO_LONG;
        case ENOTDIR:
            return WriteFailure::FOLDER_TAKEN;
        case EISDIR:
            return WriteFailure::FILE_TAKEN;
        case ENOENT:
            return step == WriteStep::OPEN_FOLDER ? WriteFailure::FOLDER_MISSING
                                                  : WriteFailure::FAILED;
        case EACCES:
        case EPERM:
            return step == WriteStep::REPLACE_FILE ? WriteFailure::FILE_REFUSED
                                                   : WriteFailure::FOLDER_REFUSED;
        default:
            return WriteFailure::FAILED;
    }
}

}  // namespace

FileSystem& FileSystem::current() {
    FileSystem* fileSystem = installed.load();
    if (fileSystem) {
        return *fileSystem;
    }
    // Made on first use: static initialisers of other files may ask for it.
    static LinuxFileSystem machine;
    return machine;
}

std::string FileSystem::temporaryName(const std::string& name, std::string_view suffix) {
    // The leading '.' keeps the name apart from the plain names stored beside it.
    return "." + name + ".tmp" + std::string(suffix);
}

bool FileSystem::isTemporaryName(std::string_view name) {
    constexpr size_t SUFFIX = 5;
    constexpr std::string_view MARK = ".tmp";
    if (name.size() < 2 + MARK.size() + SUFFIX || name[0] != '.' ||
        name.substr(name.size() - SUFFIX - MARK.size(), MARK.size()) != MARK) {
        return false;
    }
    for (char c : name.substr(name.size() - SUFFIX)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) {
            return false;
        }
    }
    return true;
}

void FileSystem::noteWriteFailure(int error, WriteStep step, const std::string& path) {
    failedWrite.add({failureOf(error, step), path});
}

FailedWrite FileSystem::takeFailedWrite() {
    return std::exchange(failedWrite, FailedWrite());
}

void FileSystem::noteFailedWrite(const FailedWrite& failed) {
    if (failed.why != WriteFailure::NONE) {
        failedWrite.add(failed);
    }
}

void FileSystem::setCurrent(FileSystem* fileSystem) {
    installed.store(fileSystem);
}
