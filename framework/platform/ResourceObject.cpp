#include "framework/platform/ResourceObject.h"

#include <utility>

#include "framework/core/DefinitionKeys.h"
#include "framework/core/FileSourceMode.h"
#include "framework/core/PropertyNode.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(ResourceObject, &BaseObject::typeRecord)

ResourceObject::ResourceObject(PropertyNode* definition)
    : fileName(textKeyOr(definition, "file", std::string())),
      fileMode(fileModeOfWord(textKeyOr(definition, "archive", std::string()))) {}

ResourceObject::ResourceObject(std::string fileName, int32_t fileMode)
    : fileName(std::move(fileName)), fileMode(fileMode) {}

ResourceObject::~ResourceObject() = default;

void ResourceObject::unload() {
    if (ResourceManager* manager = ResourceManager::getInstance()) {
        manager->resumeLoader();
    }
    discardLoad = loading;
    loaded = false;
    hasError = false;
    loadedAmount = 0;
}

bool ResourceObject::isSameAs(const ResourceObject* other) const {
    // Only a resource of the same kind: a lookup must never yield an object of another kind.
    return other && other->getType() == getType() && other->fileName == fileName;
}

void ResourceObject::setLoaded() {
    loadedAmount = weight;
    loaded = true;
}

std::string ResourceObject::toString() const {
    return std::string("Has Error: ") + trueFalse(hasError) + "; Is Loaded: " + trueFalse(loaded) +
           "; File Name: " + fileName + ";\n\t\t\t";
}

int32_t ResourceObject::fileModeOfWord(const std::string& word) {
    static constexpr std::pair<const char*, FileSource::Mode> WORDS[] = {
        {"file", FileSource::LOOSE_FILES},
        {"zip", FileSource::ARCHIVE_FIRST},
        {"encryptfile", FileSource::SCRAMBLED_LOOSE_FILES},
        {"encryptzip", FileSource::SCRAMBLED_ARCHIVE_FIRST}};
    for (const auto& [name, mode] : WORDS) {
        if (word == name) {
            return mode;
        }
    }
    return FileSource::PROCESS_WIDE;
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

const char* trueFalse(bool value) {
    return value ? "true" : "false";
}
