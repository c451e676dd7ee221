#include "framework/platform/FileArchive.h"

#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <iterator>
#include <utility>

#include "framework/core/DataScrambler.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyFileHooks.h"
#include "framework/core/RefHolder.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/Folders.h"

QUOVEL_DEFINE_TYPE(FileArchive, &BaseObject::typeRecord)

namespace {

// unzLocateFile's value for names compared without regard to letter case.
constexpr int CASE_INSENSITIVE = 2;
// The longest member name unzLocateFile looks for (it refuses longer ones) and reads back.
constexpr size_t MAX_MEMBER_NAME = 255;

// A name as unzLocateFile compares it without regard to letter case: ASCII letters folded.
std::string foldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

RefHolder<FileArchive>& globalArchive() {
    static RefHolder<FileArchive> archive;
    return archive;
}

int32_t propertyFileMode() {
    return FileArchive::resolvedMode(FileSource::PROCESS_WIDE);
}

FileReadResult readPropertyFile(int32_t mode, const std::string& fileName, uint32_t maxSize,
                                std::string& bytes) {
    MemoryBuffer buffer;
    const FileReadResult read = FileArchive::readFile(mode, fileName, buffer, maxSize);
    bytes.assign(reinterpret_cast<const char*>(buffer.getData()), buffer.getSize());
    return read;
}

// minizip walks the zip directory a few bytes at a time and seeks past each block of a
// record's extra field, and a stdio stream goes to the system for every such seek: a record
// whose extra field holds 16,000 empty blocks cost as many system calls each time it was read.
// This stream keeps a window of the file in memory and serves reads and seeks within it, going
// to the file (through minizip's own stdio functions) only to move the window or for a read as
// large as it.
class BufferedZipStream {
public:
    static constexpr size_t WINDOW_SIZE = 64 * 1024;

    // The functions that open and read a zip file through such a stream; each seek from the
    // file's start stores its target in `lastSeek` when given.
    static zlib_filefunc64_def functions(uint64_t* lastSeek = nullptr) {
        zlib_filefunc64_def functions{};
        functions.opaque = lastSeek;
        functions.zopen64_file = &open;
        functions.zread_file = &read;
        functions.ztell64_file = &tell;
        functions.zseek64_file = &seek;
        functions.zclose_file = &close;
        functions.zerror_file = &error;
        return functions;
    }

private:
    BufferedZipStream(const zlib_filefunc64_def& file, voidpf stream) : file(file), stream(stream) {
        if (file.zseek64_file(file.opaque, stream, 0, ZLIB_FILEFUNC_SEEK_END) == 0) {
            size = file.ztell64_file(file.opaque, stream);
            sizeKnown = true;
        }
    }

    static voidpf ZCALLBACK open(voidpf, const void* path, int mode) {
        if (mode != (ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING)) {
            return nullptr;  // reading only
        }
        zlib_filefunc64_def file{};
        fill_fopen64_filefunc(&file);
        voidpf stream = file.zopen64_file(file.opaque, path, mode);
        return stream ? new BufferedZipStream(file, stream) : nullptr;
    }

    static uLong ZCALLBACK read(voidpf, voidpf opened, void* buffer, uLong length) {
        auto& self = *static_cast<BufferedZipStream*>(opened);
        auto* out = static_cast<uint8_t*>(buffer);
        // A damaged directory may send minizip past the end again and again: no system call.
        if (self.sizeKnown && self.position >= self.size) {
            return 0;
        }
        // The directory is read a byte or two at a time.
        if (length <= 2 && self.position >= self.windowStart &&
            self.position + length <= self.windowStart + self.window.size()) {
            const uint8_t* from = self.window.data() + (self.position - self.windowStart);
            for (uLong k = 0; k < length; ++k) {
                out[k] = from[k];
            }
            self.position += length;
            return length;
        }
        uLong done = 0;
        while (done < length && !self.failed) {
            const uint64_t end = self.windowStart + self.window.size();
            if (self.position >= self.windowStart && self.position < end) {
                const uLong count =
                    static_cast<uLong>(std::min<uint64_t>(length - done, end - self.position));
                std::memcpy(out + done, self.window.data() + (self.position - self.windowStart),
                            count);
                done += count;
                self.position += count;
            } else if (length - done >= WINDOW_SIZE) {
                done += self.readFile(out + done, length - done);
                break;
            } else if (!self.fillWindow()) {
                break;
            }
        }
        return done;
    }

    static ZPOS64_T ZCALLBACK tell(voidpf, voidpf opened) {
        return static_cast<BufferedZipStream*>(opened)->position;
    }

    static long ZCALLBACK seek(voidpf lastSeek, voidpf opened, ZPOS64_T offset, int origin) {
        auto& self = *static_cast<BufferedZipStream*>(opened);
        if (lastSeek && origin == ZLIB_FILEFUNC_SEEK_SET) {
            *static_cast<uint64_t*>(lastSeek) = offset;
        }
        const uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                              : origin == ZLIB_FILEFUNC_SEEK_CUR ? self.position
                                                                 : self.size;
        if (offset > UINT64_MAX - base) {
            return -1;
        }
        self.position = base + offset;
        return 0;
    }

    static int ZCALLBACK close(voidpf, voidpf opened) {
        auto* self = static_cast<BufferedZipStream*>(opened);
        const int result = self->file.zclose_file(self->file.opaque, self->stream);
        delete self;
        return result;
    }

    static int ZCALLBACK error(voidpf, voidpf opened) {
        return static_cast<BufferedZipStream*>(opened)->failed ? 1 : 0;
    }

    // Reads straight from the file at the position; the bytes read.
    uLong readFile(uint8_t* out, uLong length) {
        if (file.zseek64_file(file.opaque, stream, position, ZLIB_FILEFUNC_SEEK_SET) != 0) {
            failed = true;
            return 0;
        }
        const uLong got = file.zread_file(file.opaque, stream, out, length);
        failed = failed || (got < length && file.zerror_file(file.opaque, stream) != 0);
        position += got;
        return got;
    }

    // Moves the window to the position; false at the end of the file or on an error.
    bool fillWindow() {
        window.resize(WINDOW_SIZE);
        const uint64_t start = position;
        const uLong got = readFile(window.data(), WINDOW_SIZE);
        position = start;
        window.resize(got);
        windowStart = start;
        return got > 0;
    }

    zlib_filefunc64_def file;
    voidpf stream;
    uint64_t size = 0;
    bool sizeKnown = false;
    uint64_t position = 0;
    // The bytes of the file from windowStart on.
    std::vector<uint8_t> window;
    uint64_t windowStart = 0;
    bool failed = false;
};

std::atomic<int> fileMode{FileSource::LOOSE_FILES};

}  // namespace

void FileArchive::installPropertyFileHooks() {
    PropertyFileHooks::install(
        {&propertyFileMode, &readPropertyFile, &getStoredFileName, &grantEveryoneAccess});
}

FileArchive::FileArchive(const std::string& path) : archivePath(path) {}

FileArchive::~FileArchive() {
    closeArchive();
}

void FileArchive::addFileName(const std::string& name) {
    std::lock_guard lock(mutex);
    fileNames.push_back(name);
}

void FileArchive::setArchivePath(const std::string& path) {
    std::lock_guard lock(mutex);
    closeArchive();
    archivePath = path;
    shortDirectoryLogged = false;
}

std::string FileArchive::getArchivePath() {
    std::lock_guard lock(mutex);
    return archivePath;
}

void* FileArchive::openArchive() {
    std::lock_guard lock(mutex);
    if (!archive) {
        zlib_filefunc64_def functions = BufferedZipStream::functions(&lastSeek);
        archive = unzOpen2_64(archivePath.c_str(), &functions);
        if (archive) {
            indexMembers();
        }
    }
    archiveOpen = archive != nullptr;
    return archive;
}

void FileArchive::indexMembers() {
    members.clear();
    membersIndexed = false;
    // minizip tells where the directory's first record is; the records are read here, a header
    // and a name each, their extra fields and comments stepped over: minizip reads an extra
    // field block by block, twice for every record walked. Its record offsets count from the
    // archive's start, which bytes in front of it (a form zip files may have) move: going to the
    // first record, minizip seeks to its offset plus those bytes, and the index reads there too.
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK || unzGoToFirstFile(archive) != UNZ_OK ||
        lastSeek < unzGetOffset64(archive)) {
        return;
    }
    bytesInFront = lastSeek - unzGetOffset64(archive);
    zlib_filefunc64_def file = BufferedZipStream::functions();
    voidpf stream = file.zopen64_file(nullptr, archivePath.c_str(),
                                      ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING);
    if (!stream) {
        return;
    }
    auto read = [&](uint8_t* bytes, size_t length) {
        return file.zread_file(nullptr, stream, bytes, static_cast<uLong>(length)) == length;
    };
    auto le16 = [](const uint8_t* bytes) { return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8; };
    auto le32 = [&](const uint8_t* bytes) { return le16(bytes) | le16(bytes + 2) << 16; };
    // A record: its signature, 6 bytes, the compression method, date, CRC and sizes, the
    // lengths of its name, extra field and comment, 8 bytes, its member's header offset, then
    // the name. A member's header is 30 bytes, its name and extra field.
    constexpr size_t RECORD_HEADER = 46;
    constexpr uint64_t MEMBER_HEADER = 30;
    // A walk of the directory stops at the first record it cannot read, so the index does too:
    // it holds what a walk finds, and the lookups of a damaged directory stay as quick. A walk
    // takes a count of 65,535 for one that overflowed, and goes on to the first unreadable
    // record.
    const bool countOverflowed = global.number_entry == 0xFFFF;
    uint64_t position = unzGetOffset64(archive);
    uint64_t records = 0;
    for (bool readable = true; readable && (countOverflowed || records < global.number_entry);) {
        uint8_t header[RECORD_HEADER] = {};
        readable = file.zseek64_file(nullptr, stream, position + bytesInFront,
                                     ZLIB_FILEFUNC_SEEK_SET) == 0 &&
                   read(header, RECORD_HEADER) && std::memcmp(header, "PK\1\2", 4) == 0;
        const size_t nameLength = readable ? le16(header + 28) : 0;
        std::string name(nameLength, '\0');
        readable = readable && read(reinterpret_cast<uint8_t*>(name.data()), nameLength);
        name.resize(std::strlen(name.c_str()));  // as minizip hands it: up to a 0 byte
        // The first of two names equal but for letter case is the one a walk would find; a
        // name longer than a lookup takes is never found.
        if (readable && name.size() <= MAX_MEMBER_NAME) {
            MemberPosition member{position, records, {}};
            member.info.name = name;
            member.info.compressionMethod = le16(header + 10);
            member.info.dosDate = le32(header + 12);
            member.info.crc = le32(header + 16);
            member.info.compressedSize = le32(header + 20);
            member.info.uncompressedSize = le32(header + 24);
            members.try_emplace(foldedName(name), std::move(member));
        }
        // A header past 4 GB (its offset in a zip64 field) is not placed: its member is
        // refused.
        const uint32_t headerOffset = le32(header + 42);
        if (readable && headerOffset != UINT32_MAX) {
            const uint32_t packedSize = le32(header + 20);
            headerOffsets.push_back({position, headerOffset, packedSize});
            spans.push_back({headerOffset, headerOffset + MEMBER_HEADER + nameLength +
                                               (packedSize == UINT32_MAX ? 0 : packedSize)});
        }
        records += readable ? 1 : 0;
        position += RECORD_HEADER + nameLength + le16(header + 30) + le16(header + 32);
    }
    file.zclose_file(nullptr, stream);
    std::sort(spans.begin(), spans.end(),
              [](const MemberSpan& a, const MemberSpan& b) { return a.start < b.start; });
    if (records < global.number_entry && !countOverflowed && !shortDirectoryLogged) {
        shortDirectoryLogged = true;
        logProblem("archive \"" + archivePath + "\": its directory names " +
                   std::to_string(global.number_entry) + " members, of which the first " +
                   std::to_string(records) + " could be read");
    }
    // An index that found nothing of a directory naming members would hide them all: the
    // lookups walk the directory instead.
    membersIndexed = !members.empty() || global.number_entry == 0;
    unzGoToFirstFile(archive);
}

void FileArchive::closeArchive() {
    std::lock_guard lock(mutex);
    if (archive) {
        if (fileOpen) {
            unzCloseCurrentFile(archive);
        }
        unzClose(archive);
    }
    archive = nullptr;
    archiveOpen = false;
    fileOpen = false;
    members.clear();
    membersIndexed = false;
    headerOffsets.clear();
    spans.clear();
}

bool FileArchive::goToFirstFile() {
    std::lock_guard lock(mutex);
    return openArchive() && unzGoToFirstFile(archive) == UNZ_OK && readCurrentInfo();
}

bool FileArchive::goToNextFile() {
    std::lock_guard lock(mutex);
    return archive && unzGoToNextFile(archive) == UNZ_OK && readCurrentInfo();
}

bool FileArchive::locateFile(const std::string& path) {
    std::lock_guard lock(mutex);
    const std::string name = normalizePath(path);
    if (!openArchive()) {
        return false;
    }
    if (!membersIndexed) {
        return unzLocateFile(archive, name.c_str(), CASE_INSENSITIVE) == UNZ_OK &&
               readCurrentInfo();
    }
    if (name.size() > MAX_MEMBER_NAME) {
        return false;
    }
    const auto found = members.find(foldedName(name));
    if (found == members.end()) {
        return false;
    }
    unz_file_pos position{};
    position.pos_in_zip_directory = found->second.directoryOffset;
    position.num_of_file = found->second.fileNumber;
    if (unzGoToFilePos(archive, &position) != UNZ_OK) {
        return false;
    }
    // Sizes that do not fit the entry are in its extra field, which minizip reads.
    const ArchiveMemberInfo& info = found->second.info;
    if (info.compressedSize == UINT32_MAX || info.uncompressedSize == UINT32_MAX) {
        return readCurrentInfo();
    }
    currentInfo = info;
    return true;
}

bool FileArchive::openFile(const std::string& path) {
    std::lock_guard lock(mutex);
    return locateFile(path) && openCurrentFile();
}

bool FileArchive::openCurrentFile() {
    std::lock_guard lock(mutex);
    if (fileOpen) {
        closeCurrentFile();
    }
    if (!archive) {
        return false;
    }
    if (unzOpenCurrentFile(archive) != UNZ_OK) {
        closeArchive();
        return false;
    }
    if (!standsAlone()) {
        unzCloseCurrentFile(archive);
        logProblem("archive member \"" + currentInfo.name +
                   "\" not read: its bytes overlap another member's");
        return false;
    }
    fileOpen = true;
    return true;
}

bool FileArchive::standsAlone() {
    const uint64_t recordPosition = unzGetOffset64(archive);
    const auto record = std::lower_bound(
        headerOffsets.begin(), headerOffsets.end(), recordPosition,
        [](const RecordPlace& place, uint64_t position) { return place.position < position; });
    if (record == headerOffsets.end() || record->position != recordPosition) {
        return false;
    }
    // The packed size as the index read it: minizip would walk the record's extra field again,
    // which can hold 16,000 blocks.
    uint64_t packedSize = record->packedSize;
    if (packedSize == UINT32_MAX) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            return false;
        }
        packedSize = info.compressed_size;
    }
    // Where the member's header says its data starts, and so where the data ends.
    const uint64_t start = record->headerOffset;
    const uint64_t end = unzGetCurrentFileZStreamPos64(archive) - bytesInFront + packedSize;
    const auto self = std::lower_bound(
        spans.begin(), spans.end(), start,
        [](const MemberSpan& span, uint64_t offset) { return span.start < offset; });
    // A second record naming the same header starts right after it, within its bytes.
    const auto next = std::next(self);
    return (self == spans.begin() || std::prev(self)->leastEnd <= start) &&
           (next == spans.end() || next->start >= end);
}

bool FileArchive::readCurrentInfo() {
    std::lock_guard lock(mutex);
    if (!archive) {
        return false;
    }
    unz_file_info info{};
    char name[256] = {};
    if (unzGetCurrentFileInfo(archive, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
        return false;
    }
    currentInfo.name = name;
    currentInfo.compressedSize = static_cast<uint32_t>(info.compressed_size);
    currentInfo.uncompressedSize = static_cast<uint32_t>(info.uncompressed_size);
    currentInfo.crc = static_cast<uint32_t>(info.crc);
    currentInfo.compressionMethod = static_cast<uint32_t>(info.compression_method);
    currentInfo.dosDate = static_cast<uint32_t>(info.dosDate);
    return true;
}

bool FileArchive::closeCurrentFile() {
    std::lock_guard lock(mutex);
    if (!fileOpen) {
        return false;
    }
    fileOpen = false;
    if (unzCloseCurrentFile(archive) != UNZ_OK) {
        closeArchive();
        return false;
    }
    return true;
}

ArchiveMemberInfo FileArchive::getCurrentInfo() {
    std::lock_guard lock(mutex);
    return currentInfo;
}

int FileArchive::readByte() {
    uint8_t byte = 0;
    return read(&byte, 1) == 1 ? byte : -1;
}

int FileArchive::read(uint8_t* buffer, uint32_t length) {
    std::lock_guard lock(mutex);
    if (!fileOpen) {
        return -1;
    }
    const int got = unzReadCurrentFile(archive, buffer, length > INT_MAX ? INT_MAX : length);
    if (got < 0) {
        closeArchive();
    }
    return got;
}

bool FileArchive::readAll(MemoryBuffer& buffer) {
    std::lock_guard lock(mutex);
    buffer.clear();
    const uint32_t size = currentInfo.uncompressedSize;
    if (!fileOpen || size > MAX_MEMBER_SIZE) {
        return false;
    }
    // The member is inflated once, into room for it and the buffer's terminating byte taken
    // at the start: nothing is moved as it grows, nor when the buffer takes it over. The size
    // field is only a claim: the room is filled piece by piece, so only the pages the data
    // reaches are touched, and a small member claiming a large size costs no more than its
    // data.
    constexpr uint32_t piece = 1u << 16;
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t{size} + 1);
    while (bytes.size() < size) {
        const size_t done = bytes.size();
        const uint32_t wanted = std::min<uint32_t>(piece, size - static_cast<uint32_t>(done));
        bytes.resize(done + wanted);
        const int got = read(bytes.data() + done, wanted);
        bytes.resize(done + static_cast<size_t>(std::max(got, 0)));
        if (got <= 0) {
            break;
        }
    }
    // A member shorter than its size field, or with other bytes than it was packed with.
    if (bytes.size() != size ||
        crc32(0, bytes.data(), static_cast<uInt>(size)) != currentInfo.crc) {
        return false;
    }
    buffer.assign(std::move(bytes));
    return true;
}

bool FileArchive::isEndOfFile() {
    std::lock_guard lock(mutex);
    return fileOpen && unzeof(archive) == 1;
}

bool FileArchive::isOpen() {
    std::lock_guard lock(mutex);
    return archiveOpen;
}

bool FileArchive::isFileOpen() {
    std::lock_guard lock(mutex);
    return fileOpen;
}

void FileArchive::open(int mode, const std::string& path) {
    std::string archivePath = path;
    if (archivePath.empty() && FileSystem::current().exists("media.dat")) {
        archivePath = "media.dat";
        if (mode != FileSource::SCRAMBLED_ARCHIVE_FIRST) {
            mode = FileSource::ARCHIVE_FIRST;
        }
    }
    globalArchive() = new FileArchive(archivePath);
    fileMode = mode == FileSource::PROCESS_WIDE ? FileSource::SCRAMBLED_ARCHIVE_FIRST : mode;
}

void FileArchive::close() {
    globalArchive().reset();
    fileMode = FileSource::LOOSE_FILES;
}

FileArchive* FileArchive::getInstance() {
    return globalArchive().get();
}

int FileArchive::getFileMode() {
    return fileMode;
}

int FileArchive::resolvedMode(int mode) {
    if (mode != FileSource::PROCESS_WIDE) {
        return mode;
    }
    return getInstance() ? getFileMode() : FileSource::LOOSE_FILES;
}

bool FileArchive::readFromArchive(const std::string& storedName, MemoryBuffer& buffer, bool& found,
                                  uint32_t maxSize) {
    std::lock_guard lock(mutex);
    found = locateFile(storedName);
    if (!found || currentInfo.uncompressedSize > maxSize || !openCurrentFile()) {
        return false;
    }
    const bool read = readAll(buffer);
    // Closing checks the CRC once more; a bad close fails the read.
    return closeCurrentFile() && read;
}

bool FileArchive::readFile(int mode, const std::string& path, MemoryBuffer& buffer) {
    return readFile(mode, path, buffer, MAX_FILE_SIZE) == FileReadResult::OK;
}

FileReadResult FileArchive::readFile(int mode, const std::string& path, MemoryBuffer& buffer,
                                     uint32_t maxSize) {
    buffer.clear();
    FileArchive* archive = getInstance();
    mode = resolvedMode(mode);
    // Member names follow the archive's rule; a loose file under an absolute path (the user's
    // data folder, as the system named it) is read as given, since that rule would change the
    // folder's own name ("x/../data" into "x/.data").
    const std::string storedName = getStoredFileName(mode, normalizePath(path));
    const std::string looseName =
        !path.empty() && path.front() == '/' ? getStoredFileName(mode, path) : storedName;
    maxSize = std::min(maxSize, MAX_FILE_SIZE);

    bool found = false;
    FileReadResult result = FileReadResult::NOT_FOUND;
    if (archive && FileSource::isArchiveMode(mode)) {
        // A member that is found but cannot be read is a failure: the loose file is not tried.
        const uint32_t maxMemberSize = std::min(maxSize, MAX_MEMBER_SIZE);
        if (archive->readFromArchive(storedName, buffer, found, maxMemberSize)) {
            result = FileReadResult::OK;
        } else if (found) {
            const uint32_t size = archive->getCurrentInfo().uncompressedSize;
            result = size > maxMemberSize ? FileReadResult::TOO_LARGE : FileReadResult::FAILED;
            if (size > MAX_MEMBER_SIZE) {
                logProblem("archive member \"" + storedName + "\" not read: larger than " +
                           std::to_string(MAX_MEMBER_SIZE >> 20) + " MB");
            }
        }
    }
    if (!found) {
        std::vector<uint8_t> bytes;
        result = FileSystem::current().readFile(looseName, maxSize, bytes);
        if (result == FileReadResult::OK) {
            buffer.assign(std::move(bytes));
        }
    }
    // Empty files count as not read, from the archive as from the disk.
    if (result == FileReadResult::OK && buffer.getSize() == 0) {
        result = FileReadResult::NOT_FOUND;
    }
    if (result != FileReadResult::OK) {
        buffer.clear();
        return result;
    }
    if (FileSource::isScrambledMode(mode)) {
        DataScrambler::apply(buffer.getData(), buffer.getSize());
    }
    return FileReadResult::OK;
}
