#include "framework/os/FileSystem.h"

#include <atomic>

#include "framework/os/LinuxFileSystem.h"

namespace {

std::atomic<FileSystem*> installed{nullptr};

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

void FileSystem::setCurrent(FileSystem* fileSystem) {
    installed.store(fileSystem);
}
