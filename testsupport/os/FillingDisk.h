#pragma once

#include <cerrno>

#include "framework/os/LinuxFileSystem.h"

// The machine's files, the game's while this lives, until the disk fills up: from then on every
// file written fails as a full disk does (folders are still made).
struct FillingDisk : LinuxFileSystem {
    FillingDisk() { setCurrent(this); }
    ~FillingDisk() override { setCurrent(nullptr); }
    bool writeFileAtomic(const std::string& path, const uint8_t* data, size_t size) override {
        return full ? (noteWriteFailure(ENOSPC), false)
                    : LinuxFileSystem::writeFileAtomic(path, data, size);
    }
    bool full = false;
};
