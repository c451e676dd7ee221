#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "framework/core/GameNode.h"

// One loaded sound sample and the factor its play volumes are scaled by. The sound resource
// makes it and loads it on the loader thread; game code plays it on the main thread. Without
// sound (see SoundManager) every operation does nothing and returns its neutral result.
class Sound : public GameNode {
    QUOVEL_TYPE(Sound)
public:
    explicit Sound(float volumeMultiplier = 1.0f);
    // Frees the sample while sound is available.
    ~Sound() override;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Loads the sample from `fileName`. Source mode LOOSE_FILES loads the file directly;
    // PROCESS_WIDE follows the archive's mode when an archive is open (else loads directly);
    // any other mode reads the whole file through the archive service and loads it from memory.
    // `mode` holds the mixer's mode bits. 0 when a sample was made or sound is unavailable, -1
    // when none was made.
    int32_t load(int32_t sourceMode, uint32_t mode, const std::string& fileName);
    // Plays on a free channel: volume (scaled by the multiplier) and pan 0..255, 128 centre.
    // The channel, or -1 without sound or sample.
    int32_t play(int32_t volume, int32_t pan, bool loop);
    // Milliseconds; 0 without sound or sample.
    uint32_t getLength();

    // The mixer's sample, 0 when none.
    int32_t getSample() const { return sample; }
    float getVolumeMultiplier() const { return volumeMultiplier; }
    void setVolumeMultiplier(float value) { volumeMultiplier = value; }

private:
    // Written by the loader thread, read by the main thread.
    std::atomic<int32_t> sample{0};
    float volumeMultiplier;
};
