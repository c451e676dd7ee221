#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class FileReadResult { OK, NOT_FOUND, TOO_LARGE, FAILED };

// Why a write failed, by what the player can do about it.
enum class WriteFailure {
    NONE,
    FAILED,          // anything else: a disk error, a file refused before it was written
    FOLDER_REFUSED,  // the folder may not be written to
    FOLDER_MISSING,  // the folder is not there, and could not be made
    FOLDER_TAKEN,    // a file stands where a folder of the path should be
    FILE_REFUSED,    // the file may not be replaced
    FILE_TAKEN,      // a folder stands where the file should be
    NAME_TOO_LONG,   // the path is longer than the system allows
    READ_ONLY_DISK,
    DISK_FULL  // or a used-up quota
};

// The step of a write at which it failed: the same error means another thing at each.
enum class WriteStep { OPEN_FOLDER, CREATE_FILE, REPLACE_FILE };

// A failed write as noted: why, and the file's path when known.
struct FailedWrite {
    WriteFailure why = WriteFailure::NONE;
    std::string path;

    // Takes a later failure in: of several, a full disk is the one to tell, else the latest
    // (the write just made, not one that failed unheeded before it).
    void add(const FailedWrite& later) {
        if (why != WriteFailure::DISK_FULL || later.why == WriteFailure::DISK_FULL) {
            *this = later;
        }
    }
};

// The file and folder calls of the operating system that the game needs. Paths are UTF-8 with
// "/" separators; relative paths are relative to the current folder (the program's folder).
class FileSystem {
public:
    // The longest file name that writeFileAtomic can replace: names are at most 255 bytes,
    // and the temporary file beside the target adds 10 to the target's name.
    static constexpr size_t MAX_WRITABLE_NAME_LENGTH = 245;

    virtual ~FileSystem() = default;

    // Folder of the running program file, without a trailing "/"; empty when unknown.
    virtual std::string programFolder() = 0;
    virtual std::string currentFolder() = 0;
    // Root of the user's own data files ($XDG_DATA_HOME when absolute, else
    // $HOME/.local/share, a relative HOME put after the current folder as it stands); empty
    // when the environment names neither.
    virtual std::string userDataRoot() = 0;

    virtual bool exists(const std::string& path) = 0;
    // Whether the path names a folder (or a link to one).
    virtual bool isFolder(const std::string& path) = 0;
    // Whether a symbolic link stands in the path's place whose target cannot be reached (gone,
    // on a disk not there, or a loop of links): exists() says no, yet a file is meant to be
    // there, and a write would put a new file in the link's place. File systems without links
    // have none.
    virtual bool isLinkToNowhere(const std::string& /*path*/) { return false; }
    // Whether the path is such a link that leads round in a circle (to itself, or through
    // other links back to one of them) and so never reaches a file.
    virtual bool isLinkLoop(const std::string& /*path*/) { return false; }
    // One folder whose parent exists; false when it could not be made (or is there already).
    virtual bool createFolder(const std::string& path) = 0;
    // Removes a folder and everything in it. Symbolic links inside are removed as links, never
    // followed; a path that is itself a link is refused. True only when all of it went.
    virtual bool deleteFolderTree(const std::string& path) = 0;
    // Removes one file (a link is removed as a link); false when it could not be removed.
    virtual bool deleteFile(const std::string& path) = 0;
    // Replaces the file's contents all at once: the bytes go to a temporary file beside it,
    // which is flushed and renamed over the target. On failure the old file stays whole.
    virtual bool writeFileAtomic(const std::string& path, const uint8_t* data, size_t size) = 0;
    // Removes, in the folder and every folder below it, the temporary files that a write cut
    // short by the end of the process left behind (links are never followed). Returns how many
    // went. Only for a start-up with no other writer about.
    virtual int removeTemporaryFiles(const std::string& folder) = 0;
    // The names of the plain files in a folder (links and folders left out), in no set order;
    // none when the folder cannot be read.
    virtual std::vector<std::string> listFiles(const std::string& folder) = 0;
    // Reads a whole file; files larger than `maxSize` are refused before anything is read.
    virtual FileReadResult readFile(const std::string& path, uint64_t maxSize,
                                    std::vector<uint8_t>& bytes) = 0;

    // The temporary file's name for a target name: "." + name + ".tmp" + five characters from
    // `suffix` (digits and lower-case letters).
    static std::string temporaryName(const std::string& name, std::string_view suffix);
    // Whether a name is one that temporaryName gives.
    static bool isTemporaryName(std::string_view name);

    // Notes a failed write of a file (here or in the key store) by its errno value, the step
    // that met it and the file's path when known.
    static void noteWriteFailure(int error, WriteStep step = WriteStep::CREATE_FILE,
                                 const std::string& path = std::string());
    // The failed write of this thread to tell since the last call (a full disk when any met
    // one, else the latest), and forgets it.
    static FailedWrite takeFailedWrite();
    static WriteFailure takeWriteFailure() { return takeFailedWrite().why; }
    // Notes a failure taken by takeFailedWrite again, for a caller that only looked at it.
    static void noteFailedWrite(const FailedWrite& failed);

    // The file system the game uses: the machine's own unless a test installed another.
    static FileSystem& current();
    // Installs a file system for tests; null restores the machine's own.
    static void setCurrent(FileSystem* fileSystem);
};
