#include "framework/os/FileSystem.h"

#include <atomic>
#include <cerrno>

#include "framework/os/LinuxFileSystem.h"

namespace {

std::atomic<FileSystem*> installed{nullptr};
thread_local WriteFailure writeFailure = WriteFailure::NONE;

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

void FileSystem::noteWriteFailure(int error) {
    if (error == ENOSPC || error == EDQUOT) {
        writeFailure = WriteFailure::DISK_FULL;
    } else if (writeFailure == WriteFailure::NONE) {
        writeFailure = WriteFailure::REFUSED;
    }
}

WriteFailure FileSystem::takeWriteFailure() {
    const WriteFailure failure = writeFailure;
    writeFailure = WriteFailure::NONE;
    return failure;
}

void FileSystem::setCurrent(FileSystem* fileSystem) {
    installed.store(fileSystem);
}
