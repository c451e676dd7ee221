#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/os/AudioMixer.h"

class AbstractProperty;

// One piece of music as the SoundManager plays it: the file to stream, its volume and pan, the
// state of its fade, the position to resume at after a fade-out, and the sync points stored in
// the stream when it is opened. The stream resource fills in the names, the multiplier and the
// pan; the SoundManager owns everything else.
class SoundStream : public BaseObject {
    QUOVEL_TYPE(SoundStream)
public:
    SoundStream() = default;
    // Closes the stream while sound is available.
    ~SoundStream() override;
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Opens the sync-points file as a property store and reads it with loadSyncPoints. A
    // missing or unreadable file gives no sync points. Always true.
    bool load(const std::string& syncPointsFile);
    // Appends, in order, the "value" of every node of the vector "SyncPoints" of a loaded
    // sync-points tree; a tree without that vector gives no sync points. Always true.
    bool loadSyncPoints(AbstractProperty* tree);

    // The mixer's stream, 0 while not open.
    int32_t getHandle() const { return handle; }
    bool isOpen() const { return handle != 0; }
    // The channel the stream plays on, -1 when none.
    int32_t getChannel() const { return channel; }

    float getVolumeMultiplier() const { return volumeMultiplier; }
    void setVolumeMultiplier(float value) { volumeMultiplier = value; }
    // 0..255, before the multiplier, the music volume and the fade.
    int32_t getVolume() const { return volume; }
    int32_t getPan() const { return pan; }
    void setPan(int32_t value);

    float getFadeTarget() const { return fadeTarget; }
    float getFadeLevel() const { return fadeLevel; }
    // Change of the fade level per millisecond.
    float getFadeStep() const { return fadeStep; }
    // Sample frames; 0 when the stream starts from its beginning.
    uint32_t getResumePosition() const { return resumePosition; }

    const std::string& getFileName() const { return fileName; }
    void setFileName(std::string name) { fileName = std::move(name); }
    const std::string& getSyncPointsFileName() const { return syncPointsFileName; }
    void setSyncPointsFileName(std::string name) { syncPointsFileName = std::move(name); }
    // Offsets in sample frames.
    const std::vector<uint32_t>& getSyncPoints() const { return syncPoints; }

private:
    friend class SoundManager;

    int32_t handle = 0;
    int32_t channel = AudioMixer::NO_CHANNEL;
    float volumeMultiplier = 1.0f;
    int32_t volume = 128;
    int32_t pan = 128;
    float fadeTarget = 1.0f;
    float fadeLevel = 1.0f;
    float fadeStep = 0.0f;
    uint32_t resumePosition = 0;
    std::string fileName;
    std::string syncPointsFileName;
    std::vector<uint32_t> syncPoints;
};
