#include "framework/platform/SoundManager.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <utility>

#include "framework/core/NumberClamp.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(SoundManager, &Task::typeRecord)

namespace {

// Written on the main thread at start-up and destruction, read by the loader thread too.
std::atomic<bool> available{false};
// The started device and the manager that started it, guarded by deviceLock.
std::mutex deviceLock;
std::shared_ptr<AudioMixer> device;
const SoundManager* deviceOwner = nullptr;

SoundManager* instance = nullptr;

int32_t toByte(int32_t value) {
    return std::clamp(value, 0, AudioMixer::MAX_VOLUME);
}

}  // namespace

SoundManager::SoundManager(std::shared_ptr<AudioMixer> mixer) : mixer(std::move(mixer)) {}

SoundManager* SoundManager::init(int rate, int channels, std::shared_ptr<AudioMixer> mixer) {
    releaseInstance();
    const bool started = mixer && mixer->start(rate, channels);
    instance = new SoundManager(std::move(mixer));
    instance->addRef();
    std::lock_guard<std::mutex> guard(deviceLock);
    device = started ? instance->mixer : nullptr;
    deviceOwner = instance;
    available = started;
    return instance;
}

SoundManager* SoundManager::getInstance() {
    return instance;
}

SoundManager* SoundManager::availableInstance() {
    return isSoundAvailable() ? instance : nullptr;
}

void SoundManager::releaseInstance() {
    if (SoundManager* old = std::exchange(instance, nullptr)) {
        old->release();
    }
}

bool SoundManager::isSoundAvailable() {
    return available;
}

std::shared_ptr<AudioMixer> SoundManager::getMixer() {
    if (!available) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(deviceLock);
    return available ? device : nullptr;
}

SoundManager::~SoundManager() {
    bool owner = false;
    {
        std::lock_guard<std::mutex> guard(deviceLock);
        if (deviceOwner == this) {
            // Cleared first: the streams released below and every later load or free on the
            // loader thread then leave the device alone.
            available = false;
            device.reset();
            deviceOwner = nullptr;
            owner = true;
        }
    }
    if (instance == this) {
        instance = nullptr;
    }
    current.reset();
    next.reset();
    if (owner && mixer) {
        mixer->close();
    }
}

AudioMixer* SoundManager::activeMixer() const {
    return available ? mixer.get() : nullptr;
}

void SoundManager::update(int32_t elapsedMs) {
    // Music started from silence has only its incoming piece: it fades in all the same.
    if (!activeMixer() || (!current && !(changePending && next))) {
        return;
    }
    elapsedMs = std::max(elapsedMs, 0);
    // Held for the frame: a stop below may swap the slots.
    const RefHolder<SoundStream> slots[2] = {current, next};
    for (int i = 0; i < 2; ++i) {
        SoundStream* stream = slots[i].get();
        if (!stream) {
            continue;
        }
        if (i == 1 && changePending && startDelay != 0) {
            startDelay -= elapsedMs;
            if (startDelay < 0) {
                // The delay is over: the incoming piece starts from its beginning.
                mixer->setStreamPosition(stream->handle, 0);
                startDelay = 0;
            }
            continue;
        }
        moveFade(stream, elapsedMs);
    }
    if (current && fadingOut && current->fadeLevel == current->fadeTarget) {
        fadingOut = false;
        fadeOutMusic(0);
    }
    if (next && changePending && next->fadeLevel == next->fadeTarget) {
        finishMusicChange();
    }
}

void SoundManager::finishMusicChange() {
    if (!activeMixer() || !changePending) {
        return;
    }
    stopCurrentMusic();
    changePending = false;
}

void SoundManager::moveFade(SoundStream* stream, int32_t elapsedMs) {
    const float delta = static_cast<float>(elapsedMs) * stream->fadeStep;
    if (stream->fadeLevel < stream->fadeTarget) {
        stream->fadeLevel = std::min(stream->fadeLevel + delta, stream->fadeTarget);
    } else if (stream->fadeLevel > stream->fadeTarget) {
        stream->fadeLevel = std::max(stream->fadeLevel - delta, stream->fadeTarget);
    }
    setStreamVolume(stream, stream->volume);
}

void SoundManager::playMusic(int32_t fadeMs, float level, int32_t fadeInMs, SoundStream* stream,
                             int32_t startDelayMs, uint32_t openMode) {
    if (!activeMixer() || !stream) {
        return;
    }
    if (!changePending && current && current->fileName == stream->fileName) {
        startFade(current.get(), current->fadeLevel, level, fadeMs);
        startStream(current.get(), nullptr, RESTART_STREAM_MODE);
        return;
    }
    if (changePending && next && next->fileName == stream->fileName) {
        // The piece is already fading in: swapping it into both slots would close it when
        // its fade ends, so only its target moves.
        startFade(next.get(), next->fadeLevel, level, fadeInMs);
        return;
    }
    if (changePending) {
        // The piece fading in becomes the current one; the one fading out ends now.
        stopCurrentMusic();
    }
    changePending = true;
    next = stream;
    startDelay = startDelayMs;
    if (current) {
        startFade(current.get(), current->fadeLevel, 0.0f, fadeMs);
    }
    startFade(stream, 0.0f, level, fadeInMs);
    startStream(stream, current.get(), openMode);
}

void SoundManager::playSceneMusic(const std::string& key) {
    SoundManager* sound = availableInstance();
    ResourceManager* resources = ResourceManager::getInstance();
    if (!sound || !resources) {
        return;
    }
    if (RefHolder<SoundStream> music = resources->findTyped<SoundStream>(key, "music", false)) {
        sound->playMusic(1000, 1.0f, 100, music.get(), 600, RESTART_STREAM_MODE);
    }
}

bool SoundManager::startStream(SoundStream* stream, SoundStream* previous, uint32_t openMode) {
    if (!activeMixer() || !stream) {
        return false;
    }
    if (stream == previous) {
        return true;
    }
    fadingOut = false;
    stopped = false;
    if (stream != current.get()) {
        if (changePending) {
            // It starts anew.
            stopStream(stream);
        } else {
            stopStream(current.get());
            current = stream;
        }
    }
    if (!stream->isOpen()) {
        const int32_t handle = mixer->openStream(stream->fileName, openMode);
        if (handle == 0) {
            return false;
        }
        stream->handle = handle;
        for (uint32_t offset : stream->syncPoints) {
            mixer->addSyncPoint(handle, offset);
        }
    }
    if (stream->resumePosition != 0) {
        mixer->setStreamPosition(stream->handle, stream->resumePosition);
        stream->resumePosition = 0;
    }
    // Started paused and let go once its level is set (silence while muted): music that fades in
    // from silence never sounds for a mix at full volume.
    stream->channel = mixer->playStream(stream->handle, true);
    if (stream->channel < 0) {
        return false;
    }
    mixer->setVolumeAbsolute(stream->channel, muted ? 0 : streamLevel(*stream));
    mixer->setPaused(stream->channel, false);
    return true;
}

void SoundManager::startFade(SoundStream* stream, float from, float to, int32_t durationMs) {
    if (!activeMixer() || !stream) {
        return;
    }
    stream->fadeLevel = from;
    stream->fadeTarget = to;
    stream->fadeStep = std::fabs(to - from) / static_cast<float>(std::max(durationMs, 1));
}

void SoundManager::setStreamVolume(SoundStream* stream, int32_t volume) {
    if (!activeMixer() || !stream) {
        return;
    }
    stream->volume = toByte(volume);
    if (muted || !stream->isOpen()) {
        return;
    }
    mixer->setVolumeAbsolute(stream->channel, streamLevel(*stream));
}

int32_t SoundManager::streamLevel(const SoundStream& stream) const {
    const double level = static_cast<double>(stream.volume) * stream.volumeMultiplier *
                         musicVolume / 255.0 * stream.fadeLevel;
    return toByte(roundToInt32(level));
}

void SoundManager::setMute(bool flag) {
    muteHeld = flag;
    applyMute();
}

void SoundManager::setFocusLost(bool lost) {
    focusLost = lost;
    applyMute();
}

void SoundManager::applyMute() {
    if (!activeMixer()) {
        return;
    }
    muted = muteHeld || focusLost;
    mixer->setEffectsMasterVolume(muted ? 0 : effectsVolume);
    for (SoundStream* stream : {current.get(), next.get()}) {
        if (!stream) {
            continue;
        }
        if (muted) {
            if (stream->isOpen()) {
                mixer->setVolumeAbsolute(stream->channel, 0);
            }
        } else {
            setStreamVolume(stream, stream->volume);
        }
    }
}

void SoundManager::setEffectsVolume(int32_t volume) {
    effectsVolume = toByte(volume);
    if (activeMixer() && !muted) {
        mixer->setEffectsMasterVolume(effectsVolume);
    }
}

void SoundManager::setMusicVolume(int32_t volume) {
    musicVolume = toByte(volume);
}

void SoundManager::stopCurrentMusic() {
    if (!activeMixer()) {
        return;
    }
    stopStream(current.get());
    std::swap(current, next);
}

bool SoundManager::stopStream(SoundStream* stream) {
    if (!activeMixer() || !stream) {
        return false;
    }
    const bool streamStopped = mixer->stopStream(stream->handle);
    const bool closed = mixer->closeStream(stream->handle);
    if (!streamStopped || !closed) {
        return false;
    }
    stream->channel = AudioMixer::NO_CHANNEL;
    stream->handle = 0;
    return true;
}

void SoundManager::stopMusic() {
    stopStream(current.get());
    stopStream(next.get());
}

bool SoundManager::fadeOutMusic(int32_t durationMs) {
    if (!activeMixer() || !current || stopped || fadingOut) {
        return false;
    }
    if (durationMs > 0) {
        fadingOut = true;
        startFade(current.get(), current->fadeLevel, 0.0f, durationMs);
        if (changePending) {
            startFade(next.get(), next ? next->fadeLevel : 0.0f, 0.0f, durationMs);
            startDelay = 0;
        }
        return false;
    }
    if (!current->isOpen()) {
        return false;
    }
    if (changePending) {
        mixer->stopStream(current->handle);
        stopCurrentMusic();
        changePending = false;
    }
    SoundStream* stream = current.get();
    if (!stream) {
        return false;
    }
    stream->resumePosition = mixer->streamPosition(stream->handle);
    const bool streamStopped = mixer->stopStream(stream->handle);
    fadingOut = false;
    stopped = streamStopped;
    return streamStopped;
}
