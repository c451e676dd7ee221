#pragma once

#include <cstdint>
#include <string>

#include "framework/os/FileSystem.h"

// How property files reach the data archive and the per-user folders, which live in the
// platform layer above: plain functions that the archive installs before any file is read.
// Without them every mode is LOOSE_FILES, nothing can be read and names stay as given: a
// file read or saved then is a developer's mistake and is reported.
namespace PropertyFileHooks {

struct Functions {
    // The file-source mode that PROCESS_WIDE stands for.
    int32_t (*processMode)() = nullptr;
    // Reads the whole data file in `mode` (never PROCESS_WIDE) into `bytes`, at most
    // `maxSize` bytes.
    FileReadResult (*read)(int32_t mode, const std::string& fileName, uint32_t maxSize,
                           std::string& bytes) = nullptr;
    // The name a file of `mode` (never PROCESS_WIDE) is stored under.
    std::string (*storedName)(int32_t mode, const std::string& fileName) = nullptr;
    // Called on every file written.
    bool (*grantAccess)(const std::string& path) = nullptr;
};

void install(const Functions& functions);
bool isInstalled();

int32_t processMode();
FileReadResult read(int32_t mode, const std::string& fileName, uint32_t maxSize,
                    std::string& bytes);
std::string storedName(int32_t mode, const std::string& fileName);
void grantAccess(const std::string& path);

}  // namespace PropertyFileHooks
