#include "framework/os/SdlAudioMixer.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace {

// About three quarters of a second of music waits in each stream's ring. Topped up every
// 250 ms, it never holds less than half a second; fewer wake-ups keep a quiet game cheap. The
// device asks for 23 ms of sound at a time, which is also how late an effect may start. Closing
// the device waits while SDL plays out the buffer under way and two more: with 46 ms buffers
// that was three quarters of the time the game took to quit.
constexpr uint32_t RING_FRAMES = 32768;
constexpr uint32_t FEED_FRAMES = 2048;
constexpr uint32_t DEVICE_FRAMES = 1024;
constexpr auto FEED_PERIOD = std::chrono::milliseconds(250);
// While a playing track is not yet decoded whole, the feeder decodes this much of it ahead
// (about 0.7 s of music, a millisecond or two of work, under which starting or stopping a
// stream waits at most) every `AHEAD_PERIOD`: some seventy times faster than it plays, so that
// a minute's track is whole a second after it starts and a still screen costs no decoding.
constexpr uint32_t AHEAD_FRAMES = 32768;
constexpr auto AHEAD_PERIOD = std::chrono::milliseconds(10);

}  // namespace

SdlAudioMixer::~SdlAudioMixer() {
    close();
}

bool SdlAudioMixer::start(int outputRate, int channels) {
    close();
    if (outputRate < 8000 || outputRate > 192000 || channels < 1) {
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = outputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = DEVICE_FRAMES;
    wanted.callback = mixCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        core = std::make_unique<MixerCore>(outputRate, channels);
        rate = outputRate;
        started = true;
    }
    stopFeeder = false;
    feeder = std::thread(&SdlAudioMixer::feederLoop, this);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlAudioMixer::close() {
    {
        // Under the lock, so that a load finishing on another thread sees the mixer closed.
        std::lock_guard<std::mutex> guard(lock);
        if (!started) {
            return;
        }
        started = false;
    }
    {
        std::lock_guard<std::mutex> guard(feedLock);
        stopFeeder = true;
    }
    wake.notify_all();
    feeder.join();
    // Waits for a running callback to finish.
    SDL_CloseAudioDevice(device);
    device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);

    std::vector<std::unique_ptr<Stream>> closedStreams;
    {
        std::lock_guard<std::mutex> guard(feedLock);
        closedStreams = streams.clear();
    }
    std::vector<std::unique_ptr<SampleData>> freedSamples;
    std::unique_ptr<MixerCore> closedCore;
    {
        std::lock_guard<std::mutex> guard(lock);
        freedSamples = samples.clear();
        closedCore = std::move(core);
    }
}

void SdlAudioMixer::mixCallback(void* mixer, uint8_t* out, int bytes) {
    auto* self = static_cast<SdlAudioMixer*>(mixer);
    const auto frames = static_cast<uint32_t>(bytes / 4);
    std::lock_guard<std::mutex> guard(self->lock);
    if (self->core) {
        self->core->mix(reinterpret_cast<int16_t*>(out), frames);
    } else {
        std::fill(out, out + bytes, uint8_t{0});
    }
}

template <class R, class F>
R SdlAudioMixer::withCore(R neutral, F&& action) {
    std::lock_guard<std::mutex> guard(lock);
    return core ? action(*core) : neutral;
}

int32_t SdlAudioMixer::loadSample(const std::string& fileName, uint32_t mode) {
    std::vector<uint8_t> bytes;
    if (!started || !audio::readSoundFile(fileName, bytes)) {
        return 0;
    }
    return loadSample(bytes.data(), bytes.size(), mode);
}

int32_t SdlAudioMixer::loadSample(const void* data, size_t length, uint32_t mode) {
    const int outputRate = rate;
    SampleData sample;
    // Decoding and rate conversion run before the lock is taken: the callback never waits.
    if (!started || !data ||
        !audio::decodeSample(static_cast<const uint8_t*>(data), length, outputRate, sample)) {
        return 0;
    }
    return addSample(std::move(sample), mode);
}

int32_t SdlAudioMixer::addSample(SampleData sample, uint32_t mode) {
    sample.loop = (mode & MODE_LOOP_NORMAL) != 0;
    auto owned = std::make_unique<SampleData>(std::move(sample));
    std::lock_guard<std::mutex> guard(lock);
    // The device may have closed while this thread decoded.
    if (!started) {
        return 0;
    }
    return samples.add(std::move(owned));
}

void SdlAudioMixer::freeSample(int32_t sample) {
    std::optional<std::unique_ptr<SampleData>> freed;
    {
        std::lock_guard<std::mutex> guard(lock);
        std::unique_ptr<SampleData>* found = samples.find(sample);
        if (!found || !core) {
            return;
        }
        core->stopSample(found->get());
        freed = samples.remove(sample);
    }
    // The memory goes back after the lock is released.
}

uint32_t SdlAudioMixer::sampleLength(int32_t sample) {
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<SampleData>* found = samples.find(sample);
    return found ? (*found)->frames() : 0;
}

bool SdlAudioMixer::setSampleMode(int32_t sample, uint32_t mode) {
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<SampleData>* found = samples.find(sample);
    if (!found) {
        return false;
    }
    (*found)->loop = (mode & MODE_LOOP_NORMAL) != 0;
    return true;
}

int32_t SdlAudioMixer::playSample(int32_t sample, bool paused) {
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<SampleData>* found = samples.find(sample);
    return found && core ? core->playSample(found->get(), paused) : NO_CHANNEL;
}

bool SdlAudioMixer::setVolume(int32_t channel, int volume) {
    return withCore(false, [&](MixerCore& mixer) { return mixer.setVolume(channel, volume); });
}

bool SdlAudioMixer::setVolumeAbsolute(int32_t channel, int volume) {
    return withCore(false,
                    [&](MixerCore& mixer) { return mixer.setVolumeAbsolute(channel, volume); });
}

bool SdlAudioMixer::setPan(int32_t channel, int pan) {
    return withCore(false, [&](MixerCore& mixer) { return mixer.setPan(channel, pan); });
}

bool SdlAudioMixer::setPaused(int32_t channel, bool paused) {
    return withCore(false, [&](MixerCore& mixer) { return mixer.setPaused(channel, paused); });
}

bool SdlAudioMixer::stopChannel(int32_t channel) {
    return withCore(false, [&](MixerCore& mixer) { return mixer.stop(channel); });
}

bool SdlAudioMixer::isPlaying(int32_t channel) {
    return withCore(false, [&](MixerCore& mixer) { return mixer.isPlaying(channel); });
}

void SdlAudioMixer::setEffectsMasterVolume(int volume) {
    withCore(false, [&](MixerCore& mixer) {
        mixer.setEffectsMasterVolume(volume);
        return true;
    });
}

int32_t SdlAudioMixer::openStream(const std::string& fileName, uint32_t mode) {
    if (!started) {
        return 0;
    }
    auto stream = std::make_unique<Stream>();
    stream->decoder = audio::openStreamDecoder(fileName, rate);
    if (!stream->decoder) {
        return 0;
    }
    stream->ring = std::make_unique<StreamRing>(RING_FRAMES);
    stream->loop = (mode & MODE_LOOP_NORMAL) != 0;
    std::lock_guard<std::mutex> guard(feedLock);
    return started ? streams.add(std::move(stream)) : 0;
}

bool SdlAudioMixer::addSyncPoint(int32_t stream, uint32_t offset) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::unique_ptr<Stream>* found = streams.find(stream);
    if (!found) {
        return false;
    }
    (*found)->syncPoints.push_back(offset);
    return true;
}

std::vector<uint32_t> SdlAudioMixer::syncPoints(int32_t stream) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::unique_ptr<Stream>* found = streams.find(stream);
    return found ? (*found)->syncPoints : std::vector<uint32_t>{};
}

int32_t SdlAudioMixer::playStream(int32_t stream, bool paused) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::unique_ptr<Stream>* found = streams.find(stream);
    if (!found) {
        return NO_CHANNEL;
    }
    Stream& playing = **found;
    StreamRing* ring = playing.ring.get();
    bool drained = false;
    const int32_t current = withCore(NO_CHANNEL, [&](MixerCore& mixer) {
        drained = ring->ended && ring->available() == 0;
        return mixer.channelOf(ring);
    });
    if (current >= 0) {
        return current;
    }
    // A stream that played to its end starts again from its beginning.
    if (drained && !seek(playing, 0)) {
        return NO_CHANNEL;
    }
    fill(playing);
    const int32_t channel =
        withCore(NO_CHANNEL, [&](MixerCore& mixer) { return mixer.playStream(ring, paused); });
    wake.notify_all();
    return channel;
}

bool SdlAudioMixer::seek(Stream& stream, uint32_t position) {
    if (!stream.decoder->seek(position)) {
        return false;
    }
    withCore(false, [&](MixerCore&) {
        stream.ring->clear();
        return true;
    });
    stream.base = position;
    return true;
}

bool SdlAudioMixer::setStreamPosition(int32_t stream, uint32_t position) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::unique_ptr<Stream>* found = streams.find(stream);
    if (!found || !seek(**found, position)) {
        return false;
    }
    fill(**found);
    return true;
}

uint32_t SdlAudioMixer::streamPosition(int32_t stream) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::unique_ptr<Stream>* found = streams.find(stream);
    if (!found) {
        return 0;
    }
    const Stream& playing = **found;
    const uint64_t played =
        withCore(uint64_t{0}, [&](MixerCore&) { return playing.ring->framesRead(); });
    const uint64_t length = playing.decoder->length();
    const uint64_t position = playing.base + played;
    if (length == 0) {
        return static_cast<uint32_t>(std::min<uint64_t>(position, UINT32_MAX));
    }
    return static_cast<uint32_t>(playing.loop ? position % length : std::min(position, length));
}

bool SdlAudioMixer::stopStream(int32_t stream) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::unique_ptr<Stream>* found = streams.find(stream);
    if (!found) {
        return false;
    }
    withCore(false, [&](MixerCore& mixer) {
        mixer.stopStream((*found)->ring.get());
        return true;
    });
    return seek(**found, 0);
}

bool SdlAudioMixer::closeStream(int32_t stream) {
    std::lock_guard<std::mutex> guard(feedLock);
    std::optional<std::unique_ptr<Stream>> closed = streams.remove(stream);
    if (!closed) {
        return false;
    }
    withCore(false, [&](MixerCore& mixer) {
        mixer.stopStream((*closed)->ring.get());
        return true;
    });
    return true;
}

void SdlAudioMixer::fill(Stream& stream) {
    int16_t buffer[FEED_FRAMES * 2];
    for (;;) {
        uint32_t space = 0;
        withCore(false, [&](MixerCore&) {
            space = stream.ring->ended ? 0 : stream.ring->space();
            return true;
        });
        const uint32_t wanted = std::min(space, FEED_FRAMES);
        if (wanted == 0) {
            return;
        }
        uint32_t got = 0;
        bool rewound = false;
        while (got < wanted) {
            const uint32_t read = stream.decoder->read(buffer + got * 2, wanted - got);
            got += read;
            if (read > 0) {
                rewound = false;
            } else if (!stream.loop || rewound || !stream.decoder->seek(0)) {
                break;
            } else {
                rewound = true;
            }
        }
        withCore(false, [&](MixerCore&) {
            stream.ring->write(buffer, got);
            stream.ring->ended = got < wanted;
            return true;
        });
        if (got < wanted) {
            return;
        }
    }
}

void SdlAudioMixer::feederLoop() {
    std::unique_lock<std::mutex> guard(feedLock);
    while (!stopFeeder) {
        bool behind = false;
        streams.forEach([&](std::unique_ptr<Stream>& stream) {
            const bool playing = withCore(
                false, [&](MixerCore& mixer) { return mixer.channelOf(stream->ring.get()) >= 0; });
            if (playing) {
                fill(*stream);
                behind = stream->decoder->decodeAhead(AHEAD_FRAMES) || behind;
            }
        });
        wake.wait_for(guard, behind ? AHEAD_PERIOD : FEED_PERIOD, [&] { return stopFeeder; });
    }
}
