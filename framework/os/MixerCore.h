#pragma once

#include <cstdint>
#include <vector>

#include "framework/os/SlotHandle.h"

// A decoded sound ready to mix: signed 16-bit frames at the output rate, mono or stereo.
struct SampleData {
    std::vector<int16_t> pcm;
    int channels = 1;
    bool loop = false;

    uint32_t frames() const {
        return channels > 0 ? static_cast<uint32_t>(pcm.size() / channels) : 0;
    }
};

// The buffer between a music stream's decoder and its voice: stereo 16-bit frames in a ring.
// The decoder writes, the voice reads; the owner serialises both.
class StreamRing {
public:
    explicit StreamRing(uint32_t capacityFrames);

    uint32_t capacity() const { return static_cast<uint32_t>(frames.size() / 2); }
    uint32_t available() const { return count; }
    uint32_t space() const { return capacity() - count; }
    // Frames read since the last clear: the voice's progress through the source.
    uint64_t framesRead() const { return readTotal; }

    // Both return the number of frames moved, at most what fits or what is there.
    uint32_t write(const int16_t* stereo, uint32_t frameCount);
    uint32_t read(int16_t* stereo, uint32_t frameCount);
    // Drops the buffered frames and starts a new count, as after a seek.
    void clear();

    // Set when the source has nothing more to give; the voice ends once the ring is empty.
    bool ended = false;

private:
    std::vector<int16_t> frames;
    uint32_t head = 0;  // next frame to read
    uint32_t count = 0;
    uint64_t readTotal = 0;
};

// The mixing core: a fixed table of voices (sample voices, then stream voices) mixed into
// interleaved signed 16-bit stereo. It makes no system call and takes no lock: the backend
// calls it under its own lock, and tests and benchmarks call it directly.
class MixerCore {
public:
    using Channel = SlotHandle<8>;
    static constexpr int MAX_STREAM_VOICES = 8;
    static constexpr int MAX_SAMPLE_VOICES =
        static_cast<int>(Channel::MAX_SLOTS) - MAX_STREAM_VOICES;

    MixerCore(int rate, int sampleVoices);

    int rate() const { return rateHz; }

    // Starts the sample on a free sample voice at full volume and centre pan, looping when the
    // sample says so. The channel, or -1 when every sample voice is busy.
    int32_t playSample(const SampleData* sample, bool paused);
    // Starts a stream voice reading the ring, at full volume and centre pan; a paused voice
    // reads nothing. The channel, or -1 when none is free.
    int32_t playStream(StreamRing* ring, bool paused);

    bool setVolume(int32_t channel, int volume);
    bool setVolumeAbsolute(int32_t channel, int volume);
    bool setPan(int32_t channel, int pan);
    bool setPaused(int32_t channel, bool paused);
    bool stop(int32_t channel);
    bool isPlaying(int32_t channel) const;
    // The channel of the voice reading the ring, or -1.
    int32_t channelOf(const StreamRing* ring) const;

    void setEffectsMasterVolume(int volume);
    int effectsMasterVolume() const { return masterVolume; }

    // Stops every voice that plays the sample or reads the ring (before either is freed).
    void stopSample(const SampleData* sample);
    void stopStream(const StreamRing* ring);

    // Mixes `frameCount` frames of every playing voice into `out` (2 values per frame).
    void mix(int16_t* out, uint32_t frameCount);

private:
    enum class Kind : uint8_t { NONE, SAMPLE, STREAM };
    struct Voice {
        Kind kind = Kind::NONE;
        uint32_t generation = 0;
        const SampleData* sample = nullptr;
        StreamRing* ring = nullptr;
        uint32_t position = 0;
        bool loop = false;
        bool paused = false;
        bool absolute = false;
        int volume = 255;
        int pan = 128;
    };

    static constexpr uint32_t CHUNK_FRAMES = 512;

    int32_t startVoice(int first, int last, const Voice& start);
    Voice* find(int32_t channel);
    const Voice* find(int32_t channel) const;
    void mixChunk(float* sum, uint32_t frameCount);
    void mixSample(Voice& voice, float* sum, uint32_t frameCount, float left, float right);
    void mixStream(Voice& voice, float* sum, uint32_t frameCount, float left, float right);

    int rateHz;
    int sampleVoices;
    int masterVolume = 255;
    std::vector<Voice> voices;
    std::vector<float> accumulator;
    std::vector<int16_t> streamScratch;
};
