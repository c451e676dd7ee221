#include "framework/os/MixerCore.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Sums to 16-bit samples: clamped, then cut toward zero; eight at a time with SSE2, whose
// conversion cuts the same way.
void toSamples(const float* sum, int16_t* out, uint32_t count) {
    uint32_t i = 0;
#if defined(__SSE2__)
    const __m128 lowest = _mm_set1_ps(-32768.0f);
    const __m128 highest = _mm_set1_ps(32767.0f);
    for (; i + 8 <= count; i += 8) {
        const __m128 a = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(sum + i), lowest), highest);
        const __m128 b = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(sum + i + 4), lowest), highest);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packs_epi32(_mm_cvttps_epi32(a), _mm_cvttps_epi32(b)));
    }
#endif
    for (; i < count; ++i) {
        out[i] = static_cast<int16_t>(std::clamp(sum[i], -32768.0f, 32767.0f));
    }
}

int clampByte(int value) {
    return std::clamp(value, 0, 255);
}

// Balance panning: the centre plays both sides at full level, so a sound started at volume
// 255 and pan 128 is as loud as a plain play; each side fades out towards the other end.
float leftPanGain(int pan) {
    return pan <= 128 ? 1.0f : static_cast<float>(255 - pan) / 127.0f;
}
float rightPanGain(int pan) {
    return pan >= 128 ? 1.0f : static_cast<float>(pan) / 128.0f;
}

}  // namespace

StreamRing::StreamRing(uint32_t capacityFrames) : frames(static_cast<size_t>(capacityFrames) * 2) {}

uint32_t StreamRing::write(const int16_t* stereo, uint32_t frameCount) {
    const uint32_t size = capacity();
    const uint32_t total = std::min(frameCount, space());
    uint32_t tail = size ? (head + count) % size : 0;
    uint32_t done = 0;
    while (done < total) {
        const uint32_t run = std::min(total - done, size - tail);
        std::memcpy(&frames[tail * 2], stereo + done * 2, run * 2 * sizeof(int16_t));
        done += run;
        tail = (tail + run) % size;
    }
    count += total;
    return total;
}

uint32_t StreamRing::read(int16_t* stereo, uint32_t frameCount) {
    const uint32_t size = capacity();
    const uint32_t total = std::min(frameCount, count);
    uint32_t done = 0;
    while (done < total) {
        const uint32_t run = std::min(total - done, size - head);
        std::memcpy(stereo + done * 2, &frames[head * 2], run * 2 * sizeof(int16_t));
        done += run;
        head = (head + run) % size;
    }
    count -= total;
    readTotal += total;
    return total;
}

void StreamRing::clear() {
    head = 0;
    count = 0;
    readTotal = 0;
    ended = false;
}

MixerCore::MixerCore(int rate, int sampleVoices)
    : rateHz(rate),
      sampleVoices(std::clamp(sampleVoices, 1, MAX_SAMPLE_VOICES)),
      voices(static_cast<size_t>(this->sampleVoices + MAX_STREAM_VOICES)),
      accumulator(CHUNK_FRAMES * 2),
      streamScratch(CHUNK_FRAMES * 2) {}

int32_t MixerCore::startVoice(int first, int last, const Voice& start) {
    for (int index = first; index < last; ++index) {
        Voice& voice = voices[static_cast<size_t>(index)];
        if (voice.kind == Kind::NONE) {
            const uint32_t generation = Channel::nextGeneration(voice.generation);
            voice = start;
            voice.generation = generation;
            return Channel::make(static_cast<uint32_t>(index), generation);
        }
    }
    return -1;
}

int32_t MixerCore::playSample(const SampleData* sample, bool paused) {
    if (!sample) {
        return -1;
    }
    Voice start;
    start.kind = Kind::SAMPLE;
    start.sample = sample;
    start.loop = sample->loop;
    start.paused = paused;
    return startVoice(0, sampleVoices, start);
}

int32_t MixerCore::playStream(StreamRing* ring, bool paused) {
    if (!ring) {
        return -1;
    }
    Voice start;
    start.kind = Kind::STREAM;
    start.ring = ring;
    start.absolute = true;
    start.paused = paused;
    return startVoice(sampleVoices, static_cast<int>(voices.size()), start);
}

MixerCore::Voice* MixerCore::find(int32_t channel) {
    return const_cast<Voice*>(static_cast<const MixerCore*>(this)->find(channel));
}

const MixerCore::Voice* MixerCore::find(int32_t channel) const {
    if (channel < 0) {
        return nullptr;
    }
    const uint32_t index = Channel::index(channel);
    if (index >= voices.size()) {
        return nullptr;
    }
    const Voice& voice = voices[index];
    if (voice.kind == Kind::NONE || voice.generation != Channel::generation(channel)) {
        return nullptr;
    }
    return &voice;
}

bool MixerCore::setVolume(int32_t channel, int volume) {
    Voice* voice = find(channel);
    if (!voice) {
        return false;
    }
    voice->volume = clampByte(volume);
    // Streams never follow the effects master volume.
    voice->absolute = voice->kind == Kind::STREAM;
    return true;
}

bool MixerCore::setVolumeAbsolute(int32_t channel, int volume) {
    Voice* voice = find(channel);
    if (!voice) {
        return false;
    }
    voice->volume = clampByte(volume);
    voice->absolute = true;
    return true;
}

bool MixerCore::setPan(int32_t channel, int pan) {
    Voice* voice = find(channel);
    if (!voice) {
        return false;
    }
    voice->pan = clampByte(pan);
    return true;
}

bool MixerCore::setPaused(int32_t channel, bool paused) {
    Voice* voice = find(channel);
    if (!voice) {
        return false;
    }
    voice->paused = paused;
    return true;
}

bool MixerCore::stop(int32_t channel) {
    Voice* voice = find(channel);
    if (!voice) {
        return false;
    }
    voice->kind = Kind::NONE;
    return true;
}

bool MixerCore::isPlaying(int32_t channel) const {
    return find(channel) != nullptr;
}

int32_t MixerCore::channelOf(const StreamRing* ring) const {
    for (size_t index = static_cast<size_t>(sampleVoices); index < voices.size(); ++index) {
        const Voice& voice = voices[index];
        if (voice.kind == Kind::STREAM && voice.ring == ring) {
            return Channel::make(static_cast<uint32_t>(index), voice.generation);
        }
    }
    return -1;
}

void MixerCore::setEffectsMasterVolume(int volume) {
    masterVolume = clampByte(volume);
}

void MixerCore::stopSample(const SampleData* sample) {
    for (Voice& voice : voices) {
        if (voice.kind == Kind::SAMPLE && voice.sample == sample) {
            voice.kind = Kind::NONE;
        }
    }
}

void MixerCore::stopStream(const StreamRing* ring) {
    for (Voice& voice : voices) {
        if (voice.kind == Kind::STREAM && voice.ring == ring) {
            voice.kind = Kind::NONE;
        }
    }
}

void MixerCore::mix(int16_t* out, uint32_t frameCount) {
    while (frameCount > 0) {
        const uint32_t chunk = std::min(frameCount, CHUNK_FRAMES);
        mixChunk(accumulator.data(), chunk);
        toSamples(accumulator.data(), out, chunk * 2);
        out += chunk * 2;
        frameCount -= chunk;
    }
}

void MixerCore::mixChunk(float* sum, uint32_t frameCount) {
    std::fill(sum, sum + frameCount * 2, 0.0f);
    for (Voice& voice : voices) {
        if (voice.kind == Kind::NONE || voice.paused) {
            continue;
        }
        float level = static_cast<float>(voice.volume) / 255.0f;
        if (!voice.absolute) {
            level *= static_cast<float>(masterVolume) / 255.0f;
        }
        const float left = level * leftPanGain(voice.pan);
        const float right = level * rightPanGain(voice.pan);
        if (voice.kind == Kind::SAMPLE) {
            mixSample(voice, sum, frameCount, left, right);
        } else {
            mixStream(voice, sum, frameCount, left, right);
        }
    }
}

void MixerCore::mixSample(Voice& voice, float* sum, uint32_t frameCount, float left, float right) {
    const SampleData& sample = *voice.sample;
    const uint32_t length = sample.frames();
    uint32_t done = 0;
    while (done < frameCount) {
        if (voice.position >= length) {
            // A looping sample of no frames would spin here for ever: it ends like any other.
            if (!voice.loop || length == 0) {
                voice.kind = Kind::NONE;
                return;
            }
            voice.position = 0;
        }
        const uint32_t run = std::min(frameCount - done, length - voice.position);
        float* target = sum + done * 2;
        if (sample.channels == 2) {
            const int16_t* source = sample.pcm.data() + voice.position * 2;
            for (uint32_t i = 0; i < run; ++i) {
                target[i * 2] += source[i * 2] * left;
                target[i * 2 + 1] += source[i * 2 + 1] * right;
            }
        } else {
            const int16_t* source = sample.pcm.data() + voice.position;
            for (uint32_t i = 0; i < run; ++i) {
                target[i * 2] += source[i] * left;
                target[i * 2 + 1] += source[i] * right;
            }
        }
        voice.position += run;
        done += run;
    }
    // A sample that ends exactly at the chunk's end frees its voice now, not one chunk later.
    if (voice.position >= length && (!voice.loop || length == 0)) {
        voice.kind = Kind::NONE;
    }
}

void MixerCore::mixStream(Voice& voice, float* sum, uint32_t frameCount, float left, float right) {
    const uint32_t got = voice.ring->read(streamScratch.data(), frameCount);
    const int16_t* source = streamScratch.data();
    for (uint32_t i = 0; i < got; ++i) {
        sum[i * 2] += source[i * 2] * left;
        sum[i * 2 + 1] += source[i * 2 + 1] * right;
    }
    // An empty ring that is not at its end is a late decoder: silence, and the voice waits.
    if (voice.ring->ended && voice.ring->available() == 0) {
        voice.kind = Kind::NONE;
    }
}
