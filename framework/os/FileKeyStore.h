#pragma once

#include "framework/os/KeyStore.h"

// The key store on disk. Each key is a folder under the root named by the key's names below
// "Software" ("Software\Brastel\Games\<id>" is <root>/Brastel/Games/<id>), holding its values
// in one small text file that every write replaces atomically (temporary file beside it,
// flushed, renamed over it). Folders are found in any case of their names and created with the
// spelling first written; symbolic links inside the root are never followed, so no key path
// reaches outside it.
class FileKeyStore : public KeyStore {
public:
    // `root` is an absolute folder, normally defaultRoot(); it is created when a write needs it.
    explicit FileKeyStore(std::string root);

    // $XDG_CONFIG_HOME when it is an absolute path, else the home folder's ".config"; empty
    // when neither is known (every read and write then fails).
    static std::string defaultRoot();

    bool readValues(std::string_view keyPath, std::vector<KeyValue>& values) override;
    bool writeValue(std::string_view keyPath, const KeyValue& value) override;
    std::string damagedValuesFile(std::string_view keyPath, bool* otherVersion = nullptr) override;
    // The root and the key's names (empty for a refused path).
    std::string keyFolder(std::string_view keyPath) override;

    // The file's text: a header line, one line per value ("dword", "sz" or "binary", the
    // name and the data, separated by tabs; control bytes and '\' escaped), and a closing
    // "end" line that shows the file is whole.
    static std::string encodeValues(const std::vector<KeyValue>& values);
    // False, with no values, for any text encodeValues cannot have written (truncated, edited
    // into a bad form, or holding one name twice).
    static bool decodeValues(std::string_view data, std::vector<KeyValue>& values);
    // Whether the text is a key store file of another version: its first line names one.
    static bool isOtherVersion(std::string_view data);

    // Larger files read as empty, and writes that would make one fail.
    static constexpr size_t MAX_FILE_BYTES = 1u << 20;

private:
    // Opens the key's folder, creating missing folders when `create` is set; -1 on failure.
    // `path`, when given, becomes the folder's path as found on disk.
    int openKeyFolder(const std::vector<std::string>& names, bool create,
                      std::string* path = nullptr) const;

    std::string root;
};
