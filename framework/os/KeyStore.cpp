#include "framework/os/KeyStore.h"

#include <atomic>

#include "framework/os/FileKeyStore.h"
#include "framework/os/Utf8.h"

namespace {

constexpr size_t MAX_KEY_NAME_BYTES = 255;

std::atomic<KeyStore*> installedStore{nullptr};

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isPlainKeyName(std::string_view name) {
    if (name.empty() || name.size() > MAX_KEY_NAME_BYTES || name.front() == '.' ||
        keyNamesEqual(name, KEY_STORE_FILE_NAME)) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    // The codec replaces every invalid sequence, so only valid UTF-8 survives the round trip.
    return wstringToString(stringToWString(name)) == name;
}

}  // namespace

KeyValue KeyValue::makeDword(std::string_view name, uint32_t value) {
    KeyValue result;
    result.name = name;
    result.type = KeyValueType::DWORD;
    result.dword = value;
    return result;
}

KeyValue KeyValue::makeString(std::string_view name, std::string_view text) {
    KeyValue result;
    result.name = name;
    result.type = KeyValueType::STRING;
    result.text = text;
    return result;
}

KeyValue KeyValue::makeBinary(std::string_view name, std::string_view bytes) {
    KeyValue result;
    result.name = name;
    result.type = KeyValueType::BINARY;
    result.text = bytes;
    return result;
}

bool KeyStore::readValue(std::string_view keyPath, std::string_view name, KeyValue& value) {
    std::vector<KeyValue> values;
    if (!readValues(keyPath, values)) {
        return false;
    }
    const KeyValue* found = findKeyValue(values, name);
    if (!found) {
        return false;
    }
    value = *found;
    return true;
}

bool KeyStore::writeDword(std::string_view keyPath, std::string_view name, uint32_t value) {
    return writeValue(keyPath, KeyValue::makeDword(name, value));
}

bool KeyStore::writeString(std::string_view keyPath, std::string_view name, std::string_view text) {
    return writeValue(keyPath, KeyValue::makeString(name, text));
}

KeyStore& KeyStore::currentUser() {
    KeyStore* store = installedStore.load();
    if (store) {
        return *store;
    }
    // Made on first use: static initialisers of other files may ask for it.
    static FileKeyStore userStore(FileKeyStore::defaultRoot());
    return userStore;
}

void KeyStore::setCurrentUser(KeyStore* store) {
    installedStore.store(store);
}

bool splitKeyPath(std::string_view keyPath, std::vector<std::string>& names) {
    names.clear();
    bool underSoftware = false;
    size_t start = 0;
    while (start <= keyPath.size()) {
        size_t end = keyPath.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = keyPath.size();
        }
        const std::string_view name = keyPath.substr(start, end - start);
        start = end + 1;
        if (name.empty()) {
            continue;
        }
        if (!underSoftware) {
            if (!keyNamesEqual(name, "Software")) {
                return false;
            }
            underSoftware = true;
            continue;
        }
        if (!isPlainKeyName(name)) {
            names.clear();
            return false;
        }
        names.emplace_back(name);
    }
    return !names.empty();
}

bool keyNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string foldedKeyName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = foldAscii(c);
    }
    return folded;
}

KeyValue* findKeyValue(std::vector<KeyValue>& values, std::string_view name) {
    for (KeyValue& value : values) {
        if (keyNamesEqual(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void setKeyValue(std::vector<KeyValue>& values, const KeyValue& value) {
    if (KeyValue* existing = findKeyValue(values, value.name)) {
        existing->type = value.type;
        existing->dword = value.dword;
        existing->text = value.text;
        return;
    }
    values.push_back(value);
}
