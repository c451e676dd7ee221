#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The sound device as the sound classes use it: samples played on channels, music played as
// streams. A mixer that could not start is silent: every operation then does nothing and
// returns its neutral result (0, -1 for a channel, false, an empty list).
//
// Handles are non-negative int32 values. Samples and streams are 0 when none; channels are -1
// when none. Every handle carries a generation count, so a handle kept after its sample,
// stream or sound has gone never reaches whatever takes the slot next.
class AudioMixer {
public:
    // Mode bits of loads, streams and samples; the sound files' own headers give the format.
    static constexpr uint32_t MODE_LOOP_OFF = 1;
    static constexpr uint32_t MODE_LOOP_NORMAL = 2;
    static constexpr uint32_t MODE_LOAD_MEMORY = 0x8000;

    static constexpr int32_t NO_CHANNEL = -1;
    static constexpr int MAX_VOLUME = 255;
    static constexpr int CENTRE_PAN = 128;

    virtual ~AudioMixer() = default;

    // Opens the device at `rate` Hz with `channels` sample channels. False leaves the mixer
    // silent.
    virtual bool start(int rate, int channels) = 0;
    // Stops every sound, frees every sample and stream and closes the device; the mixer is
    // silent afterwards, and later loads and frees are harmless.
    virtual void close() = 0;
    virtual bool isStarted() const = 0;
    // The device's rate in Hz; 0 when silent.
    virtual int outputRate() const = 0;

    // Loads a WAV or Ogg Vorbis sample, converted to the output rate. Mode bit 2 makes it loop
    // by default. Result 0 on failure.
    virtual int32_t loadSample(const std::string& fileName, uint32_t mode) = 0;
    virtual int32_t loadSample(const void* data, size_t length, uint32_t mode) = 0;
    // Stops the channels that play the sample and frees it.
    virtual void freeSample(int32_t sample) = 0;
    // Length in sample frames at the output rate.
    virtual uint32_t sampleLength(int32_t sample) = 0;
    // Loop (2) or not (anything else) for the plays that follow.
    virtual bool setSampleMode(int32_t sample, uint32_t mode) = 0;
    // Plays on a free channel at full volume, centre pan; the channel or -1.
    virtual int32_t playSample(int32_t sample, bool paused) = 0;

    // Channel volume 0..255, scaled by the effects master volume on sample channels.
    virtual bool setVolume(int32_t channel, int volume) = 0;
    // Channel volume 0..255 that the effects master volume leaves alone.
    virtual bool setVolumeAbsolute(int32_t channel, int volume) = 0;
    // 0 left, 128 centre, 255 right.
    virtual bool setPan(int32_t channel, int pan) = 0;
    virtual bool setPaused(int32_t channel, bool paused) = 0;
    virtual bool stopChannel(int32_t channel) = 0;
    virtual bool isPlaying(int32_t channel) = 0;
    // 0..255; applies to sample channels only, never to streams.
    virtual void setEffectsMasterVolume(int volume) = 0;

    // Opens a WAV or Ogg Vorbis file for streaming; mode bit 2 loops it. Result 0 on failure.
    virtual int32_t openStream(const std::string& fileName, uint32_t mode) = 0;
    // Stores a sync point at `offset` sample frames.
    virtual bool addSyncPoint(int32_t stream, uint32_t offset) = 0;
    virtual std::vector<uint32_t> syncPoints(int32_t stream) = 0;
    // Plays the stream on a channel of its own at full volume and centre pan. A paused start
    // sounds nothing until unpaused, so that its volume and pan are set before its first mix. A
    // stream that is already playing keeps its channel, which is returned, and goes on as it
    // was. -1 on failure.
    virtual int32_t playStream(int32_t stream, bool paused) = 0;
    // Positions are sample frames at the output rate.
    virtual bool setStreamPosition(int32_t stream, uint32_t position) = 0;
    virtual uint32_t streamPosition(int32_t stream) = 0;
    // Stops the stream and rewinds it to its beginning.
    virtual bool stopStream(int32_t stream) = 0;
    virtual bool closeStream(int32_t stream) = 0;
};
