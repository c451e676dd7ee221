#include "framework/platform/DamagedFile.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/os/Clock.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"

namespace {

SetAsideListener setAsideListener = nullptr;

std::string datedSuffix() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const UtcTime time =
        utcTimeFromUnix(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    char text[64];
    std::snprintf(text, sizeof text, ".damaged-%04d-%02d-%02d-%02d-%02d-%02d", time.year,
                  time.month, time.day, time.hour, time.minute, time.second);
    return text;
}

}  // namespace

bool setAsideUnloadableFile(int32_t mode, const std::string& path) {
    FileSystem& files = FileSystem::current();
    const std::string stored = getStoredFileName(mode, path);
    if (!files.exists(stored)) {
        return true;
    }
    std::string aside = stored + datedSuffix();
    for (int i = 2; files.exists(aside) && i < 100; ++i) {
        aside = stored + datedSuffix() + "-" + std::to_string(i);
    }
    std::vector<uint8_t> bytes;
    const bool moved =
        !files.exists(aside) &&
        files.readFile(stored, FileArchive::MAX_FILE_SIZE, bytes) == FileReadResult::ok &&
        files.writeFileAtomic(aside, bytes.data(), bytes.size()) && files.deleteFile(stored);
    if (moved) {
        logProblem("\"" + stored + "\" could not be read; kept as \"" + aside + "\"");
    } else {
        logProblem("\"" + stored + "\" could not be read nor moved aside; it is left as it is");
    }
    if (setAsideListener) {
        setAsideListener(stored, moved ? aside : std::string());
    }
    return moved;
}

void setSetAsideListener(SetAsideListener listener) {
    setAsideListener = listener;
}
