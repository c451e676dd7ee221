#pragma once

#include <cstdint>

// Where a data file is read from and how it is stored, by the number the archive, the folders
// and the property files are given (resource definitions choose one by word): the numbers are
// stored, never renumbered.
namespace FileSource {

enum Mode : int32_t {
    // Where a mode is given: the process-wide one (FileArchive::getFileMode).
    PROCESS_WIDE = 0,
    LOOSE_FILES = 1,
    // The archive's member first, else the loose file.
    ARCHIVE_FIRST = 2,
    // The same two scrambled (DataScrambler), stored under the name + ".!".
    SCRAMBLED_LOOSE_FILES = 3,
    SCRAMBLED_ARCHIVE_FIRST = 4,
};

constexpr bool isArchiveMode(int32_t mode) {
    return mode == ARCHIVE_FIRST || mode == SCRAMBLED_ARCHIVE_FIRST;
}

constexpr bool isScrambledMode(int32_t mode) {
    return mode == SCRAMBLED_LOOSE_FILES || mode == SCRAMBLED_ARCHIVE_FIRST;
}

}  // namespace FileSource
