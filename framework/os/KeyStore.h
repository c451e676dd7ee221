#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Types of stored values. The game reads and writes only numbers and texts; any other kind a
// key may hold (binary data) is kept as Binary so that readers can recognise it and skip it.
enum class KeyValueType { DWORD, STRING, BINARY };

// One named value of a key.
struct KeyValue {
    std::string name;
    KeyValueType type = KeyValueType::DWORD;
    uint32_t dword = 0;
    // String: the UTF-8 text (any character, newlines included); Binary: the raw bytes.
    std::string text;

    static KeyValue makeDword(std::string_view name, uint32_t value);
    static KeyValue makeString(std::string_view name, std::string_view text);
    static KeyValue makeBinary(std::string_view name, std::string_view bytes);

    bool operator==(const KeyValue&) const = default;
};

// The per-user settings store in place of the registry's current-user branch. Keys are paths
// such as "Software\Brastel\Games\<id>\bvq" ('\' or '/' between names); key names and value
// names compare without regard to ASCII case, and both keep the spelling of their first write.
// Values enumerate in the order they were first written; writing an existing name replaces its
// type and data in place.
class KeyStore {
public:
    virtual ~KeyStore() = default;

    // Every value of the key. False, with no values, when the key does not exist or its path is
    // refused (see splitKeyPath); a key whose stored form is damaged exists and is empty.
    virtual bool readValues(std::string_view keyPath, std::vector<KeyValue>& values) = 0;
    // Creates the key and its parents when missing and stores the value. False when nothing
    // was stored; the key's earlier values are then unchanged.
    virtual bool writeValue(std::string_view keyPath, const KeyValue& value) = 0;
    // The path of the file that holds the key's values when something is there that does not
    // read as values (damaged, cut short, a link or a folder in its place), so that it can be
    // kept before a write replaces it; empty otherwise, and for stores that keep no files.
    // `otherVersion`, when given, tells whether it is a file of another version.
    virtual std::string damagedValuesFile(std::string_view /*keyPath*/,
                                          bool* /*otherVersion*/ = nullptr) {
        return {};
    }
    // Where the key's values are kept, for messages: its folder, or for stores that keep no
    // files the key path itself.
    virtual std::string keyFolder(std::string_view keyPath) { return std::string(keyPath); }

    // The value named `name` (any case). False when the key or the value is missing.
    bool readValue(std::string_view keyPath, std::string_view name, KeyValue& value);
    bool writeDword(std::string_view keyPath, std::string_view name, uint32_t value);
    bool writeString(std::string_view keyPath, std::string_view name, std::string_view text);

    // The store of the current user's values, which the game reads and writes as the registry's
    // current-user branch: a FileKeyStore at FileKeyStore::defaultRoot() unless a test installed
    // another.
    static KeyStore& currentUser();
    // Installs a store for tests; null restores the user's own.
    static void setCurrentUser(KeyStore* store);
};

// The file that holds a key's values inside the key's folder; no key name may take it.
inline constexpr std::string_view KEY_STORE_FILE_NAME = "values.keystore";

// Splits a key path into the names below "Software". Empty names (doubled or trailing
// separators) are dropped. Refused, with false: paths outside "Software", "Software" itself,
// and any name that is not a plain folder name: starting with '.', holding control bytes or
// invalid UTF-8, longer than 255 bytes, or equal to the store's own file name.
bool splitKeyPath(std::string_view keyPath, std::vector<std::string>& names);

// ASCII case-insensitive equality of key and value names.
bool keyNamesEqual(std::string_view a, std::string_view b);
// The name with ASCII letters in lower case: equal for names that keyNamesEqual matches.
std::string foldedKeyName(std::string_view name);

// The value of `values` named `name` in any case, or null.
KeyValue* findKeyValue(std::vector<KeyValue>& values, std::string_view name);
// Replaces the data of the value with the same name (keeping its place and stored name), or
// appends the value.
void setKeyValue(std::vector<KeyValue>& values, const KeyValue& value);
