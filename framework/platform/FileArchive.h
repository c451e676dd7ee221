#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/FileSourceMode.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/MemoryBuffer.h"

// What the archive tells about its current member.
struct ArchiveMemberInfo {
    std::string name;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t crc = 0;
    uint32_t compressionMethod = 0;
    uint32_t dosDate = 0;
};

// The data archive "media.dat" (a zip file) and the one routine every data file is read
// through, from an archive member or the loose file, scrambled or plain.
//
// The modes the readers take are those of FileSourceMode.h.
//
// A member whose bytes (its header and packed data) overlap another member's is refused: a small
// file whose directory names one packed member many times would otherwise cost the member's
// unpacked size that many times. Zip files this project and packers write share no data.
//
// The archive has one current member and is read from the main thread and the resource loader:
// every member operation holds the archive's own (innermost, re-entrant) mutex, and readFile
// holds it from lookup to close, so two readers never share the current member. The members are
// indexed once when the zip file opens, in time that grows with the directory's size alone, so
// that a lookup does not walk the whole directory.
class FileArchive : public BaseObject {
    QUOVEL_TYPE(FileArchive)
public:
    // Members and loose files larger than this are refused before they are read (buffer sizes
    // are 32-bit, and a damaged size field must not allocate gigabytes).
    static constexpr uint32_t MAX_FILE_SIZE = 256u << 20;
    // Archive members larger than this are refused before they are unpacked: unpacking costs
    // time and twice the memory of the member, and the largest of ours is well under 1 MB.
    static constexpr uint32_t MAX_MEMBER_SIZE = 16u << 20;

    explicit FileArchive(const std::string& path);
    ~FileArchive() override;

    virtual void addFileName(const std::string& name);
    virtual void setArchivePath(const std::string& path);
    virtual std::string getArchivePath();
    // Opens the zip file unless open; the minizip handle, null when it cannot be opened.
    virtual void* openArchive();
    virtual void closeArchive();
    virtual bool goToFirstFile();
    virtual bool goToNextFile();
    // Makes the member of that (normalised) name current, letter case not mattering.
    virtual bool locateFile(const std::string& path);
    virtual bool openFile(const std::string& path);
    // False when the member cannot be opened or its bytes overlap another member's.
    virtual bool openCurrentFile();
    virtual bool readCurrentInfo();
    // False when the member could not be closed cleanly (a CRC error among others).
    virtual bool closeCurrentFile();
    virtual ArchiveMemberInfo getCurrentInfo();
    // The next byte of the open member, or -1 at its end or on an error.
    virtual int readByte();
    // The bytes read, 0 at the end, negative on an error (which closes the archive).
    virtual int read(uint8_t* buffer, uint32_t length);
    // Reads the open member whole into `buffer`. Fails, leaving the buffer empty, when the
    // member is larger than MAX_MEMBER_SIZE, shorter than it claims, or its CRC is wrong.
    virtual bool readAll(MemoryBuffer& buffer);
    virtual bool isEndOfFile();
    virtual bool isOpen();
    virtual bool isFileOpen();

    // Makes the global archive: with an empty path, "media.dat" in the current folder when it
    // exists (ARCHIVE_FIRST then, unless SCRAMBLED_ARCHIVE_FIRST was asked for). Stores the
    // process-wide mode (PROCESS_WIDE becomes SCRAMBLED_ARCHIVE_FIRST).
    static void open(int mode, const std::string& path);
    // Releases the global archive; reads then go to the loose files.
    static void close();
    static FileArchive* getInstance();
    static int getFileMode();
    // The mode a read or a stored name in `mode` takes: PROCESS_WIDE stands for the
    // process-wide mode, which is LOOSE_FILES while there is no global archive.
    static int resolvedMode(int mode);
    // Property files, a core class, are read through this archive and stored under the names
    // and in the folders of this layer once this has run (before any is read).
    static void installPropertyFileHooks();

    // Reads a whole data file in the given mode into `buffer`. True when data was read, from
    // the archive or the loose file; false (and an empty buffer) otherwise. An empty loose file
    // counts as not read; a member too large to unpack is refused (and the refusal logged)
    // without trying the loose file.
    static bool readFile(int mode, const std::string& path, MemoryBuffer& buffer);
    // The same for files of at most `maxSize` bytes, telling a file that is absent or empty
    // (notFound) from one refused as too large or that failed to read.
    static FileReadResult readFile(int mode, const std::string& path, MemoryBuffer& buffer,
                                   uint32_t maxSize);

private:
    bool readFromArchive(const std::string& storedName, MemoryBuffer& buffer, bool& found,
                         uint32_t maxSize);
    // Where a member's entry is in the zip directory (minizip's file position), and what the
    // entry tells about it.
    struct MemberPosition {
        uint64_t directoryOffset = 0;
        uint64_t fileNumber = 0;
        ArchiveMemberInfo info;
    };
    // Fills `members` and `spans` from the open zip's directory, up to its first unreadable
    // record (which the problem log is told of once); leaves lookups walking the directory when
    // minizip cannot read the end record or the first record, the zip file cannot be opened
    // again, or no member was found.
    void indexMembers();
    // True when the member just opened shares no byte with another member: no other header
    // starts within its header and data, and the member below it ends before its header.
    bool standsAlone();

    // The first member of each name, under its name folded as the zip lookup compares names.
    std::unordered_map<std::string, MemberPosition> members;
    bool membersIndexed = false;
    // Where each directory record (by minizip's file position) says its member's header is, and
    // its packed size (UINT32_MAX: in the extra field), in the order of the directory.
    struct RecordPlace {
        uint64_t position = 0;
        uint64_t headerOffset = 0;
        uint32_t packedSize = 0;
    };
    std::vector<RecordPlace> headerOffsets;
    // Every member's header offset and the least end its header and data can have (the header's
    // fixed part, its name and the packed size), ordered by offset.
    struct MemberSpan {
        uint64_t start = 0;
        uint64_t leastEnd = 0;
    };
    std::vector<MemberSpan> spans;
    // Bytes in front of the archive proper, which minizip's file positions leave out.
    uint64_t bytesInFront = 0;
    bool shortDirectoryLogged = false;
    // Where minizip last moved its stream to from the file's start.
    uint64_t lastSeek = 0;

    std::recursive_mutex mutex;
    std::vector<std::string> fileNames;
    void* archive = nullptr;
    std::string archivePath;
    ArchiveMemberInfo currentInfo;
    bool archiveOpen = false;
    bool fileOpen = false;
};
