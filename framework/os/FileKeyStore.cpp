#include "framework/os/FileKeyStore.h"

#include "framework/os/FileSystem.h"
#include "framework/os/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <unordered_set>

namespace {

constexpr std::string_view FILE_MAGIC = "quovel-keystore ";
constexpr std::string_view FILE_HEADER = "quovel-keystore 1\n";
constexpr std::string_view FILE_END = "end";
constexpr int FOLDER_FLAGS = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::string_view typeWord(KeyValueType type) {
    switch (type) {
        case KeyValueType::DWORD:
            return "dword";
        case KeyValueType::STRING:
            return "sz";
        case KeyValueType::BINARY:
            break;
    }
    return "binary";
}

void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += hexDigits[byte >> 4];
            out += hexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
}

int hexByteValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool unescape(std::string_view field, std::string& out) {
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) {
            return false;
        }
        switch (field[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'x': {
                if (i + 2 >= field.size()) {
                    return false;
                }
                const int high = hexByteValue(field[i + 1]);
                const int low = hexByteValue(field[i + 2]);
                if (high < 0 || low < 0) {
                    return false;
                }
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

bool decodeLine(std::string_view line, KeyValue& value) {
    const size_t firstTab = line.find('\t');
    const size_t secondTab =
        firstTab == std::string_view::npos ? firstTab : line.find('\t', firstTab + 1);
    if (secondTab == std::string_view::npos ||
        line.find('\t', secondTab + 1) != std::string_view::npos) {
        return false;
    }
    const std::string_view type = line.substr(0, firstTab);
    const std::string_view data = line.substr(secondTab + 1);
    if (!unescape(line.substr(firstTab + 1, secondTab - firstTab - 1), value.name)) {
        return false;
    }
    value.dword = 0;
    value.text.clear();
    if (type == "dword") {
        value.type = KeyValueType::DWORD;
        const char* end = data.data() + data.size();
        const auto parsed = std::from_chars(data.data(), end, value.dword);
        return !data.empty() && parsed.ec == std::errc() && parsed.ptr == end;
    }
    if (type == "sz") {
        value.type = KeyValueType::STRING;
    } else if (type == "binary") {
        value.type = KeyValueType::BINARY;
    } else {
        return false;
    }
    return unescape(data, value.text);
}

// The whole of a regular file no larger than the limit; false otherwise.
bool readSmallFile(int fd, std::string& data) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<uint64_t>(status.st_size) > FileKeyStore::MAX_FILE_BYTES) {
        return false;
    }
    data.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.append(buffer, static_cast<size_t>(got));
        if (data.size() > FileKeyStore::MAX_FILE_BYTES) {
            return false;
        }
    }
}

// The values stored in the key folder; a missing, unreadable or damaged file gives none.
// `damaged` is set when something is in the file's place that holds no values in the stored
// form: a damaged file, or a link, a folder or another kind of entry (none of them is read);
// `otherVersion` when that is a file of another version.
std::vector<KeyValue> readKeyFile(int keyFolder, bool* damaged = nullptr,
                                  bool* otherVersion = nullptr) {
    std::vector<KeyValue> values;
    // Non-blocking, so that a pipe put in the file's place cannot stall the open.
    const FileDescriptor file(openat(keyFolder, std::string(KEY_STORE_FILE_NAME).c_str(),
                                     O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    std::string data;
    const bool read = file.get() >= 0 && readSmallFile(file.get(), data);
    const bool decoded = read && FileKeyStore::decodeValues(data, values);
    if (damaged) {
        struct stat status {};
        *damaged = !decoded && fstatat(keyFolder, std::string(KEY_STORE_FILE_NAME).c_str(), &status,
                                       AT_SYMLINK_NOFOLLOW) == 0;
    }
    if (otherVersion) {
        *otherVersion = read && !decoded && FileKeyStore::isOtherVersion(data);
    }
    return values;
}

// The entry of the folder whose name matches `name` in any case.
bool findEntryInAnyCase(int folder, const std::string& name, std::string& found) {
    // A descriptor of its own: reading the folder moves the descriptor's position.
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return false;
    }
    DIR* dir = fdopendir(listing);
    if (!dir) {
        close(listing);
        return false;
    }
    bool matched = false;
    while (const dirent* entry = readdir(dir)) {
        if (keyNamesEqual(entry->d_name, name)) {
            found = entry->d_name;
            matched = true;
            break;
        }
    }
    closedir(dir);
    return matched;
}

// `opened` becomes the name of the folder opened, in the case it has.
int openChildFolder(int folder, const std::string& name, bool create, std::string& opened) {
    opened = name;
    const int child = openat(folder, name.c_str(), FOLDER_FLAGS);
    if (child >= 0 || errno != ENOENT) {
        return child;
    }
    std::string existing;
    if (findEntryInAnyCase(folder, name, existing)) {
        opened = existing;
        return openat(folder, existing.c_str(), FOLDER_FLAGS);
    }
    if (!create || (mkdirat(folder, name.c_str(), 0700) != 0 && errno != EEXIST)) {
        return -1;
    }
    return openat(folder, name.c_str(), FOLDER_FLAGS);
}

// Creates the absolute folder and its missing parents.
bool createFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

}  // namespace

FileKeyStore::FileKeyStore(std::string root) : root(std::move(root)) {}

std::string FileKeyStore::defaultRoot() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        return std::string(home) + "/.config";
    }
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return std::string(found->pw_dir) + "/.config";
    }
    return {};
}

bool FileKeyStore::readValues(std::string_view keyPath, std::vector<KeyValue>& values) {
    values.clear();
    std::vector<std::string> names;
    if (!splitKeyPath(keyPath, names)) {
        return false;
    }
    const FileDescriptor folder(openKeyFolder(names, false));
    if (folder.get() < 0) {
        return false;
    }
    values = readKeyFile(folder.get());
    return true;
}

std::string FileKeyStore::damagedValuesFile(std::string_view keyPath, bool* otherVersion) {
    std::vector<std::string> names;
    std::string path;
    if (!splitKeyPath(keyPath, names)) {
        return {};
    }
    const FileDescriptor folder(openKeyFolder(names, false, &path));
    bool damaged = false;
    if (folder.get() >= 0) {
        readKeyFile(folder.get(), &damaged, otherVersion);
    }
    return damaged ? path + "/" + std::string(KEY_STORE_FILE_NAME) : std::string();
}

std::string FileKeyStore::keyFolder(std::string_view keyPath) {
    std::vector<std::string> names;
    if (!splitKeyPath(keyPath, names)) {
        return {};
    }
    std::string path = root;
    for (const std::string& name : names) {
        path += "/" + name;
    }
    return path;
}

bool FileKeyStore::writeValue(std::string_view keyPath, const KeyValue& value) {
    std::vector<std::string> names;
    if (!splitKeyPath(keyPath, names)) {
        return false;
    }
    std::string path;
    const FileDescriptor folder(openKeyFolder(names, true, &path));
    const int error = errno;
    // A failure names the file: as found on disk, else as the key names it.
    path = (folder.get() < 0 ? keyFolder(keyPath) : path) + "/" + std::string(KEY_STORE_FILE_NAME);
    if (folder.get() < 0) {
        FileSystem::noteWriteFailure(error, WriteStep::OPEN_FOLDER, path);
        return false;
    }
    std::vector<KeyValue> values = readKeyFile(folder.get());
    const std::string stored = encodeValues(values);
    setKeyValue(values, value);
    const std::string data = encodeValues(values);
    // A value already stored as it is costs no write (and no wait for the disk).
    if (data == stored) {
        return true;
    }
    return data.size() <= MAX_FILE_BYTES &&
           replaceFileAt(folder.get(), std::string(KEY_STORE_FILE_NAME),
                         reinterpret_cast<const uint8_t*>(data.data()), data.size(), path);
}

std::string FileKeyStore::encodeValues(const std::vector<KeyValue>& values) {
    std::string data(FILE_HEADER);
    for (const KeyValue& value : values) {
        data += typeWord(value.type);
        data += '\t';
        appendEscaped(data, value.name);
        data += '\t';
        if (value.type == KeyValueType::DWORD) {
            char digits[16];
            const auto converted = std::to_chars(digits, digits + sizeof digits, value.dword);
            data.append(digits, converted.ptr);
        } else {
            appendEscaped(data, value.text);
        }
        data += '\n';
    }
    data += FILE_END;
    data += '\n';
    return data;
}

bool FileKeyStore::isOtherVersion(std::string_view data) {
    const size_t newline = data.find('\n');
    if (!data.starts_with(FILE_MAGIC) || newline == std::string_view::npos ||
        data.substr(0, newline + 1) == FILE_HEADER) {
        return false;
    }
    const std::string_view number = data.substr(FILE_MAGIC.size(), newline - FILE_MAGIC.size());
    uint32_t version = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), version);
    return !number.empty() && parsed.ec == std::errc() &&
           parsed.ptr == number.data() + number.size();
}

bool FileKeyStore::decodeValues(std::string_view data, std::vector<KeyValue>& values) {
    values.clear();
    if (!data.starts_with(FILE_HEADER)) {
        return false;
    }
    std::unordered_set<std::string> seen;
    size_t start = FILE_HEADER.size();
    for (;;) {
        const size_t newline = data.find('\n', start);
        if (newline == std::string_view::npos) {
            break;
        }
        const std::string_view line = data.substr(start, newline - start);
        start = newline + 1;
        if (line == FILE_END) {
            if (start == data.size()) {
                return true;
            }
            break;
        }
        KeyValue value;
        if (!decodeLine(line, value) || !seen.insert(foldedKeyName(value.name)).second) {
            break;
        }
        values.push_back(std::move(value));
    }
    values.clear();
    return false;
}

int FileKeyStore::openKeyFolder(const std::vector<std::string>& names, bool create,
                                std::string* path) const {
    if (root.empty() || root.front() != '/') {
        return -1;
    }
    if (path) {
        *path = root;
    }
    FileDescriptor folder(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 && create && errno == ENOENT && createFolders(root)) {
        folder = FileDescriptor(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    for (const std::string& name : names) {
        if (folder.get() < 0) {
            return -1;
        }
        std::string opened;
        folder = FileDescriptor(openChildFolder(folder.get(), name, create, opened));
        if (path) {
            *path += "/" + opened;
        }
    }
    return folder.release();
}
