#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/ResourceObject.h"
#include "framework/platform/SoundStream.h"

class PropertyNode;

// A piece of music ("Stream"): the file is streamed by the SoundManager when the piece plays;
// loading only prepares the SoundStream with its names, volume multiplier, pan and the sync
// points of "syncpointsfile". The loaded object is the SoundStream.
class StreamResource : public ResourceObject {
    QUOVEL_TYPE(StreamResource)
public:
    explicit StreamResource(PropertyNode* definition);
    ~StreamResource() override;

    void load() override;
    BaseObject* getData() const override;
    void unload() override;
    std::string toString() const override;

    const std::string& getSyncPointsFileName() const { return syncPointsFileName; }
    float getVolumeMultiplier() const { return volumeMultiplier; }
    int32_t getPanning() const { return panning; }

private:
    RefHolder<SoundStream> stream;
    std::string syncPointsFileName;
    float volumeMultiplier = 1.0f;
    int32_t panning = 128;
};
