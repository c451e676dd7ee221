#include "framework/platform/DamagedFile.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/os/Clock.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"

namespace {

std::string datedSuffix(bool otherVersion) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const UtcTime time =
        utcTimeFromUnix(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    char text[64];
    std::snprintf(text, sizeof text, ".%s-%04d-%02d-%02d-%02d-%02d-%02d",
                  otherVersion ? "other-version" : "damaged", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

// What failed, in the problem log's words.
const char* failureText(WriteFailure why) {
    switch (why) {
        case WriteFailure::FOLDER_REFUSED:
            return "its folder may not be written to";
        case WriteFailure::FOLDER_MISSING:
            return "its folder is missing and could not be made";
        case WriteFailure::FOLDER_TAKEN:
            return "a file stands where a folder of its path should be";
        case WriteFailure::FILE_REFUSED:
            return "the file may not be replaced (protected against changes, or not the user's)";
        case WriteFailure::FILE_TAKEN:
            return "a folder stands where the file should be";
        case WriteFailure::NAME_TOO_LONG:
            return "the path is too long";
        case WriteFailure::READ_ONLY_DISK:
            return "the disk can only be read";
        case WriteFailure::DISK_FULL:
            return "the disk is full";
        case WriteFailure::NONE:
        case WriteFailure::FAILED:
            break;
    }
    return "the write failed";
}

}  // namespace

bool writeOwnRecords(const std::string& file, const std::function<bool()>& write) {
    static std::mutex mutex;
    static std::set<std::string> logged;
    // This write's own failure, apart from any noted before it; both stay noted.
    const FailedWrite earlier = FileSystem::takeFailedWrite();
    const bool written = write();
    const FailedWrite failed = FileSystem::takeFailedWrite();
    FileSystem::noteFailedWrite(earlier);
    FileSystem::noteFailedWrite(failed);
    if (written) {
        return true;
    }
    const std::string path = failed.path.empty() ? file : failed.path;
    std::lock_guard lock(mutex);
    if (logged.insert(file).second) {
        logProblem("\"" + path + "\" could not be written: " + failureText(failed.why));
    }
    return false;
}

bool setAsideUnloadableFile(int32_t mode, const std::string& path, const StoredFile& what) {
    FileSystem& files = FileSystem::current();
    const std::string stored = getStoredFileName(mode, path);
    if (!files.exists(stored)) {
        if (!files.isLinkToNowhere(stored)) {
            return true;
        }
        logProblem("\"" + stored + "\" is a link that leads nowhere; it is left as it is");
        StoredFile notFound = what;
        notFound.notFound = true;
        if (!what.quiet) {
            fileSetAside(notFound, stored, std::string());
        }
        return false;
    }
    const std::string suffix = datedSuffix(what.otherVersion);
    std::string aside = stored + suffix;
    for (int i = 2; files.exists(aside) && i < 100; ++i) {
        aside = stored + suffix + "-" + std::to_string(i);
    }
    std::vector<uint8_t> bytes;
    const bool copied =
        !files.exists(aside) &&
        files.readFile(stored, FileArchive::MAX_FILE_SIZE, bytes) == FileReadResult::OK &&
        files.writeFileAtomic(aside, bytes.data(), bytes.size());
    const bool moved = copied && files.deleteFile(stored);
    if (copied && !moved) {
        // The file stays (protected against changes, say): a copy beside it would be one more
        // at every start.
        files.deleteFile(aside);
    }
    const std::string why = what.otherVersion ? " is of another version" : " could not be read";
    if (moved) {
        logProblem("\"" + stored + "\"" + why + "; kept as \"" + aside + "\"");
    } else {
        logProblem("\"" + stored + "\"" + why +
                   " and could not be moved aside; it is left as it is");
    }
    if (!what.quiet) {
        fileSetAside(what, stored, moved ? aside : std::string());
    }
    return moved;
}

void tellMissingFile(int32_t mode, const std::string& path, const StoredFile& what) {
    const std::string stored = getStoredFileName(mode, path);
    logProblem("\"" + stored + "\" is missing; it is written anew");
    StoredFile missing = what;
    missing.notFound = true;
    fileMissing(missing, stored);
}
