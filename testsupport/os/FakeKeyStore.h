#pragma once

#include <map>

#include "framework/os/FileSystem.h"
#include "framework/os/KeyStore.h"

// A key store in memory for tests, with the file store's rules (refused paths, names in any
// case, first-write order). Writes can be made to fail.
class FakeKeyStore : public KeyStore {
public:
    bool readValues(std::string_view keyPath, std::vector<KeyValue>& values) override {
        values.clear();
        std::vector<std::string> names;
        if (!splitKeyPath(keyPath, names)) {
            return false;
        }
        const auto key = keys.find(foldedPath(names, names.size()));
        if (key == keys.end()) {
            return false;
        }
        values = key->second;
        return true;
    }

    bool writeValue(std::string_view keyPath, const KeyValue& value) override {
        std::vector<std::string> names;
        if (failWrites || !splitKeyPath(keyPath, names)) {
            FileSystem::noteWriteFailure(
                failWrites ? writeError : 0, WriteStep::CREATE_FILE,
                keyFolder(keyPath) + "/" + std::string(KEY_STORE_FILE_NAME));
            return false;
        }
        // Like folders on disk, every parent key exists once a child does.
        for (size_t depth = 1; depth < names.size(); ++depth) {
            keys[foldedPath(names, depth)];
        }
        setKeyValue(keys[foldedPath(names, names.size())], value);
        return true;
    }

    // When set, every write fails with `writeError` and stores nothing.
    bool failWrites = false;
    int writeError = 0;

private:
    static std::string foldedPath(const std::vector<std::string>& names, size_t depth) {
        std::string path;
        for (size_t i = 0; i < depth; ++i) {
            path += foldedKeyName(names[i]);
            path += '\\';
        }
        return path;
    }

    std::map<std::string, std::vector<KeyValue>> keys;
};
