#include "framework/platform/Sound.h"

#include <algorithm>
#include <memory>

#include "framework/core/NumberClamp.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/MemoryBuffer.h"
#include "framework/platform/SoundManager.h"

QUOVEL_DEFINE_TYPE(Sound, &GameNode::typeRecord)

Sound::Sound(float volumeMultiplier) : volumeMultiplier(volumeMultiplier) {}

Sound::~Sound() {
    const int32_t owned = sample.exchange(0);
    if (owned == 0) {
        return;
    }
    if (std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer()) {
        mixer->freeSample(owned);
    }
}

int32_t Sound::load(int32_t sourceMode, uint32_t mode, const std::string& fileName) {
    std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer();
    if (!mixer) {
        return 0;
    }
    sourceMode = FileArchive::resolvedMode(sourceMode);
    int32_t loaded = 0;
    if (sourceMode == FileSource::LOOSE_FILES) {
        loaded = mixer->loadSample(fileName, mode);
    } else {
        MemoryBuffer buffer;
        // True means the file's bytes are in the buffer.
        if (FileArchive::readFile(sourceMode, fileName, buffer)) {
            loaded = mixer->loadSample(buffer.getData(), buffer.getSize(),
                                       mode | AudioMixer::MODE_LOAD_MEMORY);
        }
    }
    if (loaded == 0) {
        return -1;
    }
    // A reload replaces the sample it had.
    if (const int32_t old = sample.exchange(loaded); old != 0) {
        mixer->freeSample(old);
    }
    return 0;
}

int32_t Sound::play(int32_t volume, int32_t pan, bool loop) {
    std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer();
    const int32_t played = sample;
    if (!mixer || played == 0) {
        return AudioMixer::NO_CHANNEL;
    }
    volume = std::clamp(truncToInt32(static_cast<double>(volume) * volumeMultiplier), 0,
                        AudioMixer::MAX_VOLUME);
    pan = std::clamp(pan, 0, 255);
    mixer->setSampleMode(played, loop ? AudioMixer::MODE_LOOP_NORMAL : AudioMixer::MODE_LOOP_OFF);
    if (volume == AudioMixer::MAX_VOLUME && pan == AudioMixer::CENTRE_PAN) {
        return mixer->playSample(played, false);
    }
    // Started paused, so the sound is never heard at the wrong volume or place.
    const int32_t channel = mixer->playSample(played, true);
    if (channel >= 0) {
        mixer->setVolume(channel, volume);
        mixer->setPan(channel, pan);
        mixer->setPaused(channel, false);
    }
    return channel;
}

uint32_t Sound::getLength() {
    std::shared_ptr<AudioMixer> mixer = SoundManager::getMixer();
    const int32_t loaded = sample;
    if (!mixer || loaded == 0) {
        return 0;
    }
    const auto rate = static_cast<uint32_t>(std::max(mixer->outputRate(), 0));
    if (rate == 0) {
        return 0;
    }
    return static_cast<uint32_t>(uint64_t{mixer->sampleLength(loaded)} * 1000u / rate);
}
