#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "framework/platform/Folders.h"

// Sets (or, given null, clears) an environment variable for a scope and puts the old value back,
// so that a test leaves the process's environment as it found it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ScopedEnvironment(const char* name, const std::string& value)
        : ScopedEnvironment(name, value.c_str()) {}
    ~ScopedEnvironment() { previous ? setenv(name, previous->c_str(), 1) : unsetenv(name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

// The per-user data folder (XDG_DATA_HOME) in `root` for a scope, the game folder named
// `gameName` when one is given; the folder cache is forgotten on the way in and out, so that
// the folders follow the environment.
class DataFolderScope {
public:
    explicit DataFolderScope(const std::string& root, const std::string& gameName = "")
        : dataHome("XDG_DATA_HOME", root) {
        resetFolderCache();
        setGameName(gameName);
    }
    ~DataFolderScope() {
        setGameName("");
        resetFolderCache();
    }

private:
    ScopedEnvironment dataHome;
};
