#pragma once

// Shared pieces of the fuzz targets: the input served as a file on a file system in memory,
// property trees parsed from the input, and the run-long set-up the readers expect.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <tinyxml.h>
#include <unistd.h>

#include "framework/core/BasicProperties.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Folders.h"
#include "framework/platform/MemoryBuffer.h"
#include "game/app/GameListeners.h"
#include "testsupport/os/FakeFileSystem.h"
#include "testsupport/rules/HeadlessGameScreen.h"

namespace fuzz {

// The file system of the whole run, in memory; every input starts with no files on it.
inline FakeFileSystem& files() {
    static FakeFileSystem* const fake = [] {
        installGameListeners();
        installHeadlessGameScreen();
        auto* made = new FakeFileSystem();
        FileSystem::setCurrent(made);
        // Refusals are logged on every damaged input; the fuzzer's output stays readable.
        setProblemSink([](const std::string&) {});
        setGameName("Fuzz");
        return made;
    }();
    return *fake;
}

inline void clearFiles() {
    files().files.clear();
}

inline void putFile(const std::string& path, const uint8_t* data, size_t size) {
    files().files[path].assign(data, data + size);
}

// Global values start empty for every input, as at start-up.
inline void freshGlobals() {
    BasicProperties::releaseInstance();
    BasicProperties::createInstance();
}

// The input read as a property file; null when it does not parse or is refused.
inline RefHolder<PropertyStore> parseStore(const uint8_t* data, size_t size) {
    RefHolder<PropertyStore> store(new PropertyStore());
    TiXmlDocument document;
    size_t treeMemory = 0;
    if (!store->parseBuffer(std::string_view(reinterpret_cast<const char*>(data), size), document,
                            "input", &treeMemory) ||
        !store->readDocument(document, treeMemory)) {
        return RefHolder<PropertyStore>();
    }
    return store;
}

// The input written to a real file of this process, for readers that open files by name; in
// memory when the system offers a memory file system. The file is removed when the object ends,
// so that a crash or a timeout leaves at most the one input the findings folder keeps anyway.
class InputFile {
public:
    InputFile(const std::string& name, const uint8_t* data, size_t size)
        : path_((std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") +
                std::string("/quovel-fuzz-") + name + "-" + std::to_string(getpid())) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ~InputFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Inputs larger than this are skipped: the readers' own caps are tested elsewhere, and the
// fuzzer finds nothing faster by feeding megabytes.
constexpr size_t INPUT_LIMIT = 1u << 20;

}  // namespace fuzz
