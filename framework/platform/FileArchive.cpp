#include "framework/platform/FileArchive.h"

#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <climits>

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
    return FileArchive::getInstance() ? FileArchive::getFileMode() : 1;
}

FileReadResult readPropertyFile(int32_t mode, const std::string& fileName, uint32_t maxSize,
                                std::string& bytes) {
    MemoryBuffer buffer;
    const FileReadResult read = FileArchive::readFile(mode, fileName, buffer, maxSize);
    bytes.assign(reinterpret_cast<const char*>(buffer.getData()), buffer.getSize());
    return read;
}

std::atomic<int> fileMode{1};

bool isArchiveMode(int mode) {
    return mode == 2 || mode == 4;
}

bool isScrambledMode(int mode) {
    return mode == 3 || mode == 4;
}

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
}

std::string FileArchive::getArchivePath() {
    std::lock_guard lock(mutex);
    return archivePath;
}

void* FileArchive::openArchive() {
    std::lock_guard lock(mutex);
    if (!archive) {
        archive = unzOpen(archivePath.c_str());
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
    int status = unzGoToFirstFile(archive);
    while (status == UNZ_OK) {
        unz_file_info info{};
        char name[MAX_MEMBER_NAME + 2] = {};
        unz_file_pos position{};
        if (unzGetCurrentFileInfo(archive, &info, name, MAX_MEMBER_NAME + 1, nullptr, 0, nullptr,
                                  0) != UNZ_OK ||
            unzGetFilePos(archive, &position) != UNZ_OK) {
            break;
        }
        // The first of two names equal but for letter case is the one a walk would find.
        members.try_emplace(foldedName(name),
                            MemberPosition{position.pos_in_zip_directory, position.num_of_file});
        status = unzGoToNextFile(archive);
    }
    membersIndexed = status == UNZ_END_OF_LIST_OF_FILE;
    if (!membersIndexed) {
        members.clear();
    }
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
    return unzGoToFilePos(archive, &position) == UNZ_OK && readCurrentInfo();
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
    fileOpen = true;
    return true;
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
    // The size field is only a claim: memory grows with the bytes that really come, so a small
    // member claiming a large size costs no more than its data.
    constexpr uint32_t piece = 1u << 16;
    std::vector<uint8_t> bytes;
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
        if (mode != 4) {
            mode = 2;
        }
    }
    globalArchive() = new FileArchive(archivePath);
    fileMode = mode == 0 ? 4 : mode;
}

void FileArchive::close() {
    globalArchive().reset();
    fileMode = 1;
}

FileArchive* FileArchive::getInstance() {
    return globalArchive().get();
}

int FileArchive::getFileMode() {
    return fileMode;
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
    return readFile(mode, path, buffer, MAX_FILE_SIZE) == FileReadResult::ok;
}

FileReadResult FileArchive::readFile(int mode, const std::string& path, MemoryBuffer& buffer,
                                     uint32_t maxSize) {
    buffer.clear();
    FileArchive* archive = getInstance();
    if (mode == 0) {
        mode = archive ? getFileMode() : 1;
    }
    const std::string storedName = getStoredFileName(mode, normalizePath(path));
    maxSize = std::min(maxSize, MAX_FILE_SIZE);

    bool found = false;
    FileReadResult result = FileReadResult::notFound;
    if (archive && isArchiveMode(mode)) {
        // A member that is found but cannot be read is a failure: the loose file is not tried.
        const uint32_t maxMemberSize = std::min(maxSize, MAX_MEMBER_SIZE);
        if (archive->readFromArchive(storedName, buffer, found, maxMemberSize)) {
            result = FileReadResult::ok;
        } else if (found) {
            const uint32_t size = archive->getCurrentInfo().uncompressedSize;
            result = size > maxMemberSize ? FileReadResult::tooLarge : FileReadResult::failed;
            if (size > MAX_MEMBER_SIZE) {
                logProblem("archive member \"" + storedName + "\" not read: larger than " +
                           std::to_string(MAX_MEMBER_SIZE >> 20) + " MB");
            }
        }
    }
    if (!found) {
        std::vector<uint8_t> bytes;
        result = FileSystem::current().readFile(storedName, maxSize, bytes);
        if (result == FileReadResult::ok) {
            buffer.assign(std::move(bytes));
        }
    }
    // Empty files count as not read, from the archive as from the disk.
    if (result == FileReadResult::ok && buffer.getSize() == 0) {
        result = FileReadResult::notFound;
    }
    if (result != FileReadResult::ok) {
        buffer.clear();
        return result;
    }
    if (isScrambledMode(mode)) {
        DataScrambler::apply(buffer.getData(), buffer.getSize());
    }
    return FileReadResult::ok;
}
