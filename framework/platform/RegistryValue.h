#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The game's key in the current user's settings store: "Software\Brastel\Games\" followed by
// the game's id.
std::string getGameRegistryPath();

// The path with every "/" turned into "\".
std::string withRegistrySeparators(std::string_view path);

// Splits a value's full path into the key that holds it and the value's name: every "/" counts
// as "\", one trailing "\" is dropped, and the cut is at the last "\". Without a "\" after the
// first character the whole text is the key path and the name is empty.
void splitRegistryPath(std::string_view path, std::string& keyPath, std::string& valueName);

// What the two value holders share: where the value lives and whether it was reached. Reads
// and writes go to KeyStore::currentUser(), the stand-in for the current user's branch. These
// values are the game's own records, so their failures stay with the problem log: before a
// write, a key whose values file does not read (damaged, a link that leads nowhere, a folder)
// has it kept aside as the settings' file is (see DamagedFile.h), and one that cannot be moved
// holds the key, which is then never written; a write that fails is logged (writeOwnRecords).
class RegistryEntry {
public:
    const std::string& getKeyPath() const { return keyPath; }
    const std::string& getValueName() const { return valueName; }
    // Set once a read or a write succeeded.
    bool getExists() const { return exists; }
    bool getForceWrite() const { return forceWrite; }

protected:
    RegistryEntry(std::string_view path, bool forceWrite);

    std::string keyPath;
    std::string valueName;
    bool exists = false;
    bool forceWrite;
};

// A 32-bit number in the settings store.
class RegistryValue : public RegistryEntry {
public:
    RegistryValue(std::string_view path, bool forceWrite);

    // The stored number; the default (0) when the key or a number of that name is missing.
    uint32_t readDword();
    // Stores the number, making the key when needed; failures leave `exists` unchanged.
    void writeDword(uint32_t newValue);

    uint32_t getValue() const { return value; }
    uint32_t getDefaultValue() const { return defaultValue; }

private:
    uint32_t value = 0;
    uint32_t defaultValue = 0;
};

// A text in the settings store.
class RegistryStringValue : public RegistryEntry {
public:
    RegistryStringValue(std::string_view path, bool forceWrite, std::string defaultValue);

    // Stores the text, making the key when needed; failures leave `exists` unchanged.
    void write(const std::string& newValue);

    const std::string& getValue() const { return value; }
    const std::string& getDefaultValue() const { return defaultValue; }

private:
    std::string value;
    std::string defaultValue;
};
