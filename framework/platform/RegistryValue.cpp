#include "framework/platform/RegistryValue.h"

#include <mutex>
#include <set>
#include <utility>

#include "framework/core/BasicProperties.h"
#include "framework/core/FileSourceMode.h"
#include "framework/os/KeyStore.h"
#include "framework/platform/DamagedFile.h"

namespace {

// Whether the key may be written: its values file, when it does not read, is kept aside first.
// One that stays is logged once, not at every write of the run.
bool keyWritable(const std::string& keyPath) {
    static std::mutex mutex;
    static std::set<std::string> held;
    bool otherVersion = false;
    const std::string damaged = KeyStore::currentUser().damagedValuesFile(keyPath, &otherVersion);
    if (damaged.empty()) {
        return true;
    }
    std::lock_guard lock(mutex);
    if (held.count(damaged) > 0) {
        return false;
    }
    StoredFile what;
    what.kind = StoredFileKind::SETTINGS;
    what.otherVersion = otherVersion;
    what.quiet = true;
    if (setAsideUnloadableFile(FileSource::LOOSE_FILES, damaged, what)) {
        return true;
    }
    held.insert(damaged);
    return false;
}

// The file a write of the key's values replaces, for the problem log.
std::string valuesFile(const std::string& keyPath) {
    return KeyStore::currentUser().keyFolder(keyPath) + "/" + std::string(KEY_STORE_FILE_NAME);
}

}  // namespace

std::string getGameRegistryPath() {
    return "Software\\Brastel\\Games\\" + BasicProperties::getGameId();
}

std::string withRegistrySeparators(std::string_view path) {
    std::string text(path);
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

void splitRegistryPath(std::string_view path, std::string& keyPath, std::string& valueName) {
    std::string text = withRegistrySeparators(path);
    if (!text.empty() && text.back() == '\\') {
        text.pop_back();
    }
    const size_t cut = text.rfind('\\');
    if (cut == std::string::npos || cut == 0) {
        keyPath = std::move(text);
        valueName.clear();
        return;
    }
    valueName = text.substr(cut + 1);
    text.resize(cut);
    keyPath = std::move(text);
}

RegistryEntry::RegistryEntry(std::string_view path, bool forceWrite) : forceWrite(forceWrite) {
    splitRegistryPath(path, keyPath, valueName);
}

RegistryValue::RegistryValue(std::string_view path, bool forceWrite)
    : RegistryEntry(path, forceWrite) {}

uint32_t RegistryValue::readDword() {
    KeyValue stored;
    // Only a number is read: a text or binary value of that name counts as unreadable.
    if (KeyStore::currentUser().readValue(keyPath, valueName, stored) &&
        stored.type == KeyValueType::DWORD) {
        exists = true;
        value = stored.dword;
    } else {
        value = defaultValue;
    }
    return value;
}

void RegistryValue::writeDword(uint32_t newValue) {
    value = newValue;
    if (keyWritable(keyPath) && writeOwnRecords(valuesFile(keyPath), [this] {
            return KeyStore::currentUser().writeDword(keyPath, valueName, value);
        })) {
        exists = true;
    }
}

RegistryStringValue::RegistryStringValue(std::string_view path, bool forceWrite,
                                         std::string defaultValue)
    : RegistryEntry(path, forceWrite), defaultValue(std::move(defaultValue)) {}

void RegistryStringValue::write(const std::string& newValue) {
    value = newValue;
    if (keyWritable(keyPath) && writeOwnRecords(valuesFile(keyPath), [this] {
            return KeyStore::currentUser().writeString(keyPath, valueName, value);
        })) {
        exists = true;
    }
}
