#include "framework/core/PropertyFileHooks.h"

#include "framework/core/FileSourceMode.h"
#include "framework/core/ProblemLog.h"

namespace PropertyFileHooks {

namespace {

Functions installed;

void reportEmpty(const std::string& fileName) {
    reportMistake(
        "property file \"" + fileName +
        "\" met while the property-file hooks are empty: "
        "FileArchive::installPropertyFileHooks fills them (installGameListeners calls it)");
}

}  // namespace

void install(const Functions& functions) {
    installed = functions;
}

bool isInstalled() {
    return installed.read != nullptr;
}

int32_t processMode() {
    return installed.processMode ? installed.processMode() : FileSource::LOOSE_FILES;
}

FileReadResult read(int32_t mode, const std::string& fileName, uint32_t maxSize,
                    std::string& bytes) {
    bytes.clear();
    if (!installed.read) {
        reportEmpty(fileName);
        return FileReadResult::NOT_FOUND;
    }
    return installed.read(mode, fileName, maxSize, bytes);
}

std::string storedName(int32_t mode, const std::string& fileName) {
    if (!installed.storedName) {
        reportEmpty(fileName);
        return fileName;
    }
    return installed.storedName(mode, fileName);
}

void grantAccess(const std::string& path) {
    if (installed.grantAccess) {
        installed.grantAccess(path);
    }
}

}  // namespace PropertyFileHooks
