#include "framework/platform/SoundResource.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(SoundResource, &ResourceObject::typeRecord)
QUOVEL_REGISTER_CLASS_AS(Sound, SoundResource)

SoundResource::SoundResource(PropertyNode* definition)
    : ResourceObject(definition),
      volumeMultiplier(floatKeyOr(definition, "volumemultiplier", 255.0f)) {}

SoundResource::~SoundResource() = default;

void SoundResource::load() {
    RefHolder<Sound> loaded = new Sound(volumeMultiplier);
    const bool failed = loaded->load(getFileMode(), SAMPLE_FLAGS, getFileName()) != 0;
    ResourceManager::DataLock lock;
    if (keepsLoadResult()) {
        sound = failed ? nullptr : loaded;
        setHasError(failed);
        setLoaded();
    }
    // Once published, the count is shared with the main thread: drop it under the lock.
    loaded = nullptr;
}

BaseObject* SoundResource::getData() const {
    return sound.get();
}

void SoundResource::unload() {
    sound = nullptr;
    ResourceObject::unload();
}

std::string SoundResource::toString() const {
    return ResourceObject::toString() + "Object: " + (sound ? "not 0" : "NULL") +
           "; Volume: " + std::to_string(truncToInt32(volumeMultiplier)) + "; ";
}
