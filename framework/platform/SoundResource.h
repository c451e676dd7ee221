#pragma once

#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/ResourceObject.h"
#include "framework/platform/Sound.h"

class PropertyNode;

// A sound sample resource ("Sound"): the file is a WAV or Ogg sample, "volumemultiplier" scales
// every play of it. The loaded object is the Sound.
class SoundResource : public ResourceObject {
    QUOVEL_TYPE(SoundResource)
public:
    // The sample flags the sample is loaded with (the mixer reads only the loop bits).
    static constexpr uint32_t SAMPLE_FLAGS = 304;

    explicit SoundResource(PropertyNode* definition);
    ~SoundResource() override;

    void load() override;
    BaseObject* getData() const override;
    void unload() override;
    std::string toString() const override;

    float getVolumeMultiplier() const { return volumeMultiplier; }

private:
    RefHolder<Sound> sound;
    float volumeMultiplier = 255.0f;
};
