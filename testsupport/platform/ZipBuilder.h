#pragma once

#include <zip.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "testsupport/TempFolder.h"

// Small zip archives made by the tests themselves, and the damage done to them.
struct ZipMember {
    std::string name;
    std::string bytes;
    bool deflated = true;
};

// Varied bytes that do not compress to nothing.
inline std::string patternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

// `directoryExtra` is the extra field of every member's central directory record.
inline bool writeZip(const std::string& path, const std::vector<ZipMember>& members,
                     const std::string& directoryExtra = std::string()) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    bool ok = true;
    for (const ZipMember& member : members) {
        zip_fileinfo info{};
        const int method = member.deflated ? Z_DEFLATED : 0;
        const int level = member.deflated ? Z_DEFAULT_COMPRESSION : 0;
        ok = ok && zipOpenNewFileInZip(
                       zip, member.name.c_str(), &info, nullptr, 0, directoryExtra.data(),
                       static_cast<uInt>(directoryExtra.size()), nullptr, method, level) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, member.bytes.data(),
                                       static_cast<unsigned>(member.bytes.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

// Fields of a member's headers: offsets in the local header and in the central directory.
enum class ZipField { CRC, COMPRESSED_SIZE, UNCOMPRESSED_SIZE };

// Overwrites one 32-bit field of a member in both of its headers, as a damaged or forged archive
// would have it. False when the member is not found.
inline bool patchZipMember(const std::string& path, const std::string& name, ZipField field,
                           uint32_t value) {
    std::string bytes = readTestFile(path);
    const size_t localOffset = field == ZipField::CRC               ? 14
                               : field == ZipField::COMPRESSED_SIZE ? 18
                                                                    : 22;
    const size_t centralOffset = localOffset + 2;
    auto readLE16 = [&](size_t at) {
        return static_cast<size_t>(static_cast<uint8_t>(bytes[at])) |
               static_cast<size_t>(static_cast<uint8_t>(bytes[at + 1])) << 8;
    };
    auto writeLE32 = [&](size_t at) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<char>(value >> (8 * i));
        }
    };
    int patched = 0;
    for (size_t at = 0; at + 46 <= bytes.size(); ++at) {
        if (bytes.compare(at, 4, "PK\x03\x04") == 0 &&
            bytes.compare(at + 30, name.size(), name) == 0 && readLE16(at + 26) == name.size()) {
            writeLE32(at + localOffset);
            ++patched;
        } else if (bytes.compare(at, 4, "PK\x01\x02") == 0 &&
                   bytes.compare(at + 46, name.size(), name) == 0 &&
                   readLE16(at + 28) == name.size()) {
            writeLE32(at + centralOffset);
            ++patched;
        }
    }
    writeTestFile(path, bytes);
    return patched == 2;
}

// Makes the central directory record of a member say that its header is at `offset`, as a
// forged archive would. False when the member is not found.
inline bool pointDirectoryRecord(const std::string& path, const std::string& name,
                                 uint32_t offset) {
    std::string bytes = readTestFile(path);
    for (size_t at = bytes.find("PK\x01\x02"); at != std::string::npos;
         at = bytes.find("PK\x01\x02", at + 1)) {
        const size_t nameLength = static_cast<uint8_t>(bytes[at + 28]) |
                                  static_cast<size_t>(static_cast<uint8_t>(bytes[at + 29])) << 8;
        if (nameLength == name.size() && bytes.compare(at + 46, name.size(), name) == 0) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + 42 + i] = static_cast<char>(offset >> (8 * i));
            }
            writeTestFile(path, bytes);
            return true;
        }
    }
    return false;
}

// Adds `more` to both member counts of the end record (its low bytes: for counts up to
// 255 - more), as a damaged archive might claim them.
inline void claimMoreMembers(const std::string& path, uint8_t more) {
    std::string bytes = readTestFile(path);
    const size_t end = bytes.rfind("PK\x05\x06");
    bytes[end + 8] = static_cast<char>(bytes[end + 8] + more);
    bytes[end + 10] = static_cast<char>(bytes[end + 10] + more);
    writeTestFile(path, bytes);
}
