#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/os/AudioDecoder.h"
#include "framework/os/AudioMixer.h"
#include "framework/os/MixerCore.h"
#include "framework/os/SlotHandle.h"

// The audio mixer on an SDL audio device: 16-bit stereo at the asked rate, our own voices mixed
// by MixerCore in SDL's callback. Three threads meet here: the callback, the stream feeder that
// decodes music ahead into each stream's ring, and the callers (main thread and resource
// loader). `lock` guards the core and the sample table and is held only briefly, so the
// callback never waits long; decoding always runs outside it. `feedLock` guards the streams
// and their decoders and is always taken before `lock`.
class SdlAudioMixer : public AudioMixer {
public:
    SdlAudioMixer() = default;
    ~SdlAudioMixer() override;
    SdlAudioMixer(const SdlAudioMixer&) = delete;
    SdlAudioMixer& operator=(const SdlAudioMixer&) = delete;

    bool start(int rate, int channels) override;
    void close() override;
    bool isStarted() const override { return started; }
    int outputRate() const override { return started ? rate.load() : 0; }

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

private:
    struct Stream {
        std::unique_ptr<audio::StreamDecoder> decoder;
        std::unique_ptr<StreamRing> ring;
        std::vector<uint32_t> syncPoints;
        bool loop = false;
        // Source position of the ring's first frame since the last seek.
        uint32_t base = 0;
    };

    static void mixCallback(void* mixer, uint8_t* out, int bytes);
    int32_t addSample(SampleData sample, uint32_t mode);
    // Runs `action` on the core under the lock; `neutral` when the mixer is closed.
    template <class R, class F>
    R withCore(R neutral, F&& action);
    // Tops up the stream's ring from its decoder. Needs feedLock.
    void fill(Stream& stream);
    // Moves the stream to `position` and empties its ring. Needs feedLock.
    bool seek(Stream& stream, uint32_t position);
    void feederLoop();

    std::atomic<bool> started{false};
    std::atomic<int> rate{0};
    uint32_t device = 0;

    std::mutex lock;
    std::unique_ptr<MixerCore> core;
    SlotTable<std::unique_ptr<SampleData>> samples;

    std::mutex feedLock;
    std::condition_variable wake;
    bool stopFeeder = false;
    SlotTable<std::unique_ptr<Stream>> streams;
    std::thread feeder;
};
