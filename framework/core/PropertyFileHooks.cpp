#include "framework/core/PropertyFileHooks.h"

namespace PropertyFileHooks {

namespace {
Functions installed;
}  // namespace

void install(const Functions& functions) {
    installed = functions;
}

int32_t processMode() {
    return installed.processMode ? installed.processMode() : 1;
}

FileReadResult read(int32_t mode, const std::string& fileName, uint32_t maxSize,
                    std::string& bytes) {
    bytes.clear();
    return installed.read ? installed.read(mode, fileName, maxSize, bytes)
                          : FileReadResult::notFound;
}

std::string storedName(int32_t mode, const std::string& fileName) {
    return installed.storedName ? installed.storedName(mode, fileName) : fileName;
}

void grantAccess(const std::string& path) {
    if (installed.grantAccess) {
        installed.grantAccess(path);
    }
}

}  // namespace PropertyFileHooks
