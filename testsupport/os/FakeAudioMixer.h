#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "framework/os/AudioMixer.h"

// A mixer for tests of the sound classes: it plays nothing, records every call in order as a
// line of text ("playSample 1 paused", "setVolume 2 127", ...) and keeps the state a test
// asks about. Failures are scripted; while not started it answers like a silent device.
// Like the real mixer it is called from the main thread and the resource loader at once: every
// call holds its lock (the public fields are for a test to read while the program is idle).
class FakeAudioMixer : public AudioMixer {
public:
    struct SampleState {
        std::string source;  // the file name, or "memory <length>"
        uint32_t mode = 0;
        bool loop = false;
    };
    struct ChannelState {
        int32_t sample = 0;
        int32_t stream = 0;
        int volume = MAX_VOLUME;
        int pan = CENTRE_PAN;
        bool paused = false;
        bool absolute = false;
        bool playing = true;
        // The highest volume the channel was ever heard at (unpaused).
        int loudestHeard = 0;
    };
    struct StreamState {
        std::string fileName;
        uint32_t mode = 0;
        std::vector<uint32_t> syncPoints;
        uint32_t position = 0;
        int32_t channel = NO_CHANNEL;
        bool open = true;
    };

    // Scripted failures.
    bool failStart = false;
    bool failLoads = false;
    bool failStreamOpen = false;
    bool failStreamStop = false;
    bool failStreamClose = false;
    // Length in frames given to every loaded sample.
    uint32_t loadedSampleLength = 44100;

    std::vector<std::string> calls;
    std::map<int32_t, SampleState> samples;
    std::map<int32_t, ChannelState> channels;
    std::map<int32_t, StreamState> streams;
    int effectsMasterVolume = MAX_VOLUME;

    bool start(int rate, int channels) override;
    void close() override;
    bool isStarted() const override;
    int outputRate() const override;

    int32_t loadSample(const std::string& fileName, uint32_t mode) override;
    int32_t loadSample(const void* data, size_t length, uint32_t mode) override;
    void freeSample(int32_t sample) override;
    uint32_t sampleLength(int32_t sample) override;
    bool setSampleMode(int32_t sample, uint32_t mode) override;
    int32_t playSample(int32_t sample, bool paused) override;

    bool setVolume(int32_t channel, int volume) override;
    bool setVolumeAbsolute(int32_t channel, int volume) override;
    bool setPan(int32_t channel, int pan) override;
    bool setPaused(int32_t channel, bool paused) override;
    bool stopChannel(int32_t channel) override;
    bool isPlaying(int32_t channel) override;
    void setEffectsMasterVolume(int volume) override;

    int32_t openStream(const std::string& fileName, uint32_t mode) override;
    bool addSyncPoint(int32_t stream, uint32_t offset) override;
    std::vector<uint32_t> syncPoints(int32_t stream) override;
    int32_t playStream(int32_t stream, bool paused) override;
    bool setStreamPosition(int32_t stream, uint32_t position) override;
    uint32_t streamPosition(int32_t stream) override;
    bool stopStream(int32_t stream) override;
    bool closeStream(int32_t stream) override;

    // The calls recorded since the last take, which empties the record.
    std::vector<std::string> takeCalls();

private:
    void record(const std::string& call) { calls.push_back(call); }
    int32_t addSample(const std::string& source, uint32_t mode);
    ChannelState* playingChannel(int32_t channel);
    static void noteHeard(ChannelState& state);
    // A stream's channel, or one set absolute, stays out of the effects' master volume.
    static bool setChannelVolume(ChannelState* state, int volume, bool absolute);
    StreamState* openStreamState(int32_t stream);

    mutable std::mutex lock;
    bool started = false;
    int rate = 0;
    int32_t nextHandle = 1;
};
