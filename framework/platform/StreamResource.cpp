#include "framework/platform/StreamResource.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(StreamResource, &ResourceObject::typeRecord)
QUOVEL_REGISTER_CLASS_AS(Stream, StreamResource)

StreamResource::StreamResource(PropertyNode* definition)
    : ResourceObject(definition),
      syncPointsFileName(textKeyOr(definition, "syncpointsfile", std::string())),
      volumeMultiplier(floatKeyOr(definition, "volumemultiplier", 1.0f)),
      panning(intKeyOr(definition, "panning", 128)) {}

StreamResource::~StreamResource() = default;

void StreamResource::load() {
    RefHolder<SoundStream> prepared = new SoundStream();
    prepared->setFileName(getFileName());
    prepared->setSyncPointsFileName(syncPointsFileName);
    prepared->setVolumeMultiplier(volumeMultiplier);
    prepared->setPan(panning);
    prepared->load(syncPointsFileName);
    ResourceManager::DataLock lock;
    if (keepsLoadResult()) {
        stream = prepared;
        setLoaded();
    }
    // Once published, the count is shared with the main thread: drop it under the lock.
    prepared = nullptr;
}

BaseObject* StreamResource::getData() const {
    return stream.get();
}

void StreamResource::unload() {
    stream = nullptr;
    ResourceObject::unload();
}

std::string StreamResource::toString() const {
    return ResourceObject::toString() + "Object: " + (stream ? "not 0" : "NULL") +
           "; FileName: " + getFileName() + "; SyncPointsFileName: " + syncPointsFileName;
}
