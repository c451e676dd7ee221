#include "framework/os/AudioDecoder.h"

#include <SDL2/SDL.h>
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "framework/os/PosixFiles.h"

namespace audio {

namespace {

// Sound effects are short and music is streamed: anything larger is a damaged or hostile file.
constexpr size_t MAX_FILE_BYTES = 64u << 20;
constexpr size_t MAX_DECODED_BYTES = 128u << 20;
// Rates outside this range are no real sound: at 1 Hz a few kilobytes would convert to
// gigabytes at the output rate.
constexpr long MIN_RATE = 8000;
constexpr long MAX_RATE = 192000;

bool isSoundRate(long rate) {
    return rate >= MIN_RATE && rate <= MAX_RATE;
}

// How interleaved PCM becomes 16-bit mono (from mono) or stereo (from anything else) at the
// output rate.
struct Conversion {
    SDL_AudioCVT cvt{};
    int targetChannels = 0;
    size_t frameBytes = 0;
    // The buffer the conversion works in, in place, is this many times the source's size.
    size_t multiplier = 1;

    // False for a layout or rate no real sound has.
    bool prepare(SDL_AudioFormat format, int channels, long rate, int outputRate) {
        if (channels < 1 || channels > 8 || !isSoundRate(rate) || outputRate < 1) {
            return false;
        }
        targetChannels = channels == 1 ? 1 : 2;
        if (SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(channels), static_cast<int>(rate),
                              AUDIO_S16SYS, static_cast<Uint8>(targetChannels), outputRate) < 0) {
            return false;
        }
        frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(format) / 8 * channels);
        multiplier = static_cast<size_t>(std::max(cvt.len_mult, 1));
        return true;
    }

    // The most source bytes taken: the working buffer is held to the same bound as the
    // decoded bytes.
    size_t maxSourceBytes() const { return MAX_DECODED_BYTES / multiplier; }

    // The 16-bit values of the working buffer for `length` source bytes.
    size_t workingValues(size_t length) const {
        return (length * multiplier + sizeof(int16_t) - 1) / sizeof(int16_t);
    }

    // Converts the first `length` bytes of `pcm` in place and hands the buffer to the sample,
    // so that the sound is never held twice. `pcm` grows to workingValues(length) values: in
    // place when it was reserved for them. A sample smaller than that buffer is then moved,
    // once, into one of its own size: it keeps no slack (up to several times its size).
    bool convertInto(std::vector<int16_t>& pcm, size_t length, SampleData& sample) {
        length -= length % frameBytes;
        if (length == 0 || length > maxSourceBytes()) {
            return false;
        }
        pcm.resize(workingValues(length));
        size_t converted = length;
        if (cvt.needed) {
            cvt.buf = reinterpret_cast<Uint8*>(pcm.data());
            cvt.len = static_cast<int>(length);
            if (SDL_ConvertAudio(&cvt) < 0) {
                return false;
            }
            converted = static_cast<size_t>(std::max(cvt.len_cvt, 0));
        }
        // A few frames at a rate far above the output rate convert to nothing.
        if (converted < sizeof(int16_t) * static_cast<size_t>(targetChannels)) {
            return false;
        }
        pcm.resize(converted / sizeof(int16_t));
        pcm.shrink_to_fit();
        sample.channels = targetChannels;
        sample.pcm = std::move(pcm);
        return true;
    }
};

uint32_t littleEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

// True when every chunk up to the "data" chunk lies within the file and the data chunk holds
// samples: the decoder would otherwise trust a declared size (and ask for up to 4 GB) or copy
// from an empty chunk.
bool wavChunksFit(const uint8_t* data, size_t length) {
    size_t at = 12;  // after "RIFF", its size and "WAVE"
    if (length < at) {
        return false;
    }
    while (length - at >= 8) {
        const uint32_t size = littleEndian32(data + at + 4);
        if (size > length - at - 8) {
            return false;
        }
        if (std::memcmp(data + at, "data", 4) == 0) {
            return size > 0;
        }
        at += 8 + size + (size & 1);
        if (at > length) {
            return false;
        }
    }
    return false;
}

bool decodeWav(const uint8_t* data, size_t length, int outputRate, SampleData& sample) {
    if (length > static_cast<size_t>(INT_MAX) || !wavChunksFit(data, length)) {
        return false;
    }
    SDL_RWops* source = SDL_RWFromConstMem(data, static_cast<int>(length));
    if (!source) {
        return false;
    }
    SDL_AudioSpec spec;
    Uint8* pcm = nullptr;
    Uint32 pcmLength = 0;
    if (!SDL_LoadWAV_RW(source, 1, &spec, &pcm, &pcmLength)) {
        return false;
    }
    Conversion conversion;
    const size_t whole = conversion.prepare(spec.format, spec.channels, spec.freq, outputRate)
                             ? pcmLength - pcmLength % conversion.frameBytes
                             : 0;
    std::vector<int16_t> working;
    if (whole > 0 && whole <= conversion.maxSourceBytes()) {
        working.reserve(conversion.workingValues(whole));
        working.resize((whole + 1) / 2);
        std::memcpy(working.data(), pcm, whole);
    }
    SDL_FreeWAV(pcm);
    return !working.empty() && conversion.convertInto(working, whole, sample);
}

// libvorbisfile reads Ogg data held in memory through these.
struct MemorySource {
    const uint8_t* data;
    size_t length;
    size_t position;
};

size_t readMemory(void* target, size_t size, size_t count, void* source) {
    auto* memory = static_cast<MemorySource*>(source);
    if (size == 0) {
        return 0;
    }
    const size_t items = std::min(count, (memory->length - memory->position) / size);
    std::memcpy(target, memory->data + memory->position, items * size);
    memory->position += items * size;
    return items;
}

int seekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* memory = static_cast<MemorySource*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<ogg_int64_t>(memory->position);
    } else if (whence == SEEK_END) {
        base = static_cast<ogg_int64_t>(memory->length);
    }
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(memory->length)) {
        return -1;
    }
    memory->position = static_cast<size_t>(target);
    return 0;
}

long tellMemory(void* source) {
    return static_cast<long>(static_cast<MemorySource*>(source)->position);
}

bool decodeOgg(const uint8_t* data, size_t length, int outputRate, SampleData& sample) {
    MemorySource memory{data, length, 0};
    const ov_callbacks callbacks{readMemory, seekMemory, nullptr, tellMemory};
    OggVorbis_File file;
    if (ov_open_callbacks(&memory, &file, nullptr, 0, callbacks) != 0) {
        return false;
    }
    const vorbis_info* info = ov_info(&file, -1);
    const int channels = info ? info->channels : 0;
    const long rate = info ? info->rate : 0;
    // Refused before decoding: a sound at another rate would only be decoded to be thrown away.
    Conversion conversion;
    bool valid = conversion.prepare(AUDIO_S16LSB, channels, rate, outputRate);
    // The sound is decoded into the buffer it is converted in and kept in, made as large as
    // the stream's end says the sound is: a buffer grown piece by piece would hold up to twice
    // the sound. The length is only a claim: held to the limit, and the buffer made to fit a
    // shorter sound.
    std::vector<int16_t> pcm;
    const ogg_int64_t claimed = ov_pcm_total(&file, -1);
    if (valid && claimed > 0 &&
        static_cast<uint64_t>(claimed) <= conversion.maxSourceBytes() / conversion.frameBytes) {
        pcm.reserve(conversion.workingValues(static_cast<size_t>(claimed) * conversion.frameBytes));
    }
    size_t decoded = 0;
    char buffer[8192];
    while (valid) {
        int section = 0;
        const long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got == 0) {
            break;
        }
        const vorbis_info* part = ov_info(&file, section);
        // A damaged packet or a chained part in another layout spoils the sample.
        if (got < 0 || !part || part->channels != channels || part->rate != rate ||
            decoded + static_cast<size_t>(got) > conversion.maxSourceBytes()) {
            valid = false;
            break;
        }
        pcm.resize((decoded + static_cast<size_t>(got) + 1) / 2);
        std::memcpy(reinterpret_cast<char*>(pcm.data()) + decoded, buffer,
                    static_cast<size_t>(got));
        decoded += static_cast<size_t>(got);
    }
    ov_clear(&file);
    if (valid && pcm.capacity() > 2 * conversion.workingValues(decoded)) {
        pcm.shrink_to_fit();
    }
    return valid && conversion.convertInto(pcm, decoded, sample);
}

// Streams an Ogg Vorbis file, converting to stereo at the output rate as it goes.
class OggStreamDecoder : public StreamDecoder {
public:
    ~OggStreamDecoder() override {
        if (converter) {
            SDL_FreeAudioStream(converter);
        }
        if (opened) {
            ov_clear(&file);
        }
    }

    bool open(const std::string& fileName, int rate) {
        outputRate = rate;
        uint64_t size = 0;
        FileDescriptor descriptor = openRegularFile(fileName, size);
        std::FILE* stream = descriptor.get() >= 0 ? fdopen(descriptor.get(), "rb") : nullptr;
        if (!stream) {
            return false;
        }
        descriptor.release();
        // On success the file is closed by ov_clear; on failure it is still ours.
        if (ov_open(stream, &file, nullptr, 0) != 0) {
            std::fclose(stream);
            return false;
        }
        opened = true;
        const vorbis_info* info = ov_info(&file, -1);
        if (!info || info->channels < 1 || info->channels > 8 || !isSoundRate(info->rate)) {
            return false;
        }
        channels = info->channels;
        sourceRate = info->rate;
        converter = SDL_NewAudioStream(AUDIO_S16LSB, static_cast<Uint8>(channels),
                                       static_cast<int>(sourceRate), AUDIO_S16SYS, 2, rate);
        return converter != nullptr;
    }

    uint32_t read(int16_t* stereo, uint32_t frameCount) override {
        uint32_t got = 0;
        // Each pass either moves converted frames out or feeds one packet in; both end.
        while (got < frameCount) {
            const int ready = SDL_AudioStreamAvailable(converter) / 4 * 4;
            if (ready > 0) {
                const int wanted = static_cast<int>(
                    std::min<uint32_t>((frameCount - got) * 4u, static_cast<uint32_t>(ready)));
                const int moved = SDL_AudioStreamGet(converter, stereo + got * 2, wanted);
                if (moved <= 0) {
                    break;
                }
                got += static_cast<uint32_t>(moved) / 4;
            } else if (atEnd || !feed()) {
                break;
            }
        }
        return got;
    }

    bool seek(uint32_t frame) override {
        const auto sourceFrame = static_cast<ogg_int64_t>(static_cast<uint64_t>(frame) *
                                                          static_cast<uint64_t>(sourceRate) /
                                                          static_cast<uint64_t>(outputRate));
        if (ov_pcm_seek(&file, sourceFrame) != 0) {
            return false;
        }
        SDL_AudioStreamClear(converter);
        atEnd = false;
        return true;
    }

    uint32_t length() const override {
        const ogg_int64_t total = ov_pcm_total(const_cast<OggVorbis_File*>(&file), -1);
        if (total <= 0) {
            return 0;
        }
        const uint64_t frames = static_cast<uint64_t>(total) * static_cast<uint64_t>(outputRate) /
                                static_cast<uint64_t>(sourceRate);
        return static_cast<uint32_t>(std::min<uint64_t>(frames, UINT32_MAX));
    }

private:
    // Decodes one packet into the converter; false (and the end marked) when none is left.
    bool feed() {
        char buffer[8192];
        int section = 0;
        long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        // A hole in the data is skipped; a second one in a row ends the stream.
        if (got == OV_HOLE) {
            got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        }
        const vorbis_info* part = got > 0 ? ov_info(&file, section) : nullptr;
        if (got <= 0 || !part || part->channels != channels || part->rate != sourceRate ||
            SDL_AudioStreamPut(converter, buffer, static_cast<int>(got)) < 0) {
            atEnd = true;
            SDL_AudioStreamFlush(converter);
            return SDL_AudioStreamAvailable(converter) > 0;
        }
        return true;
    }

    OggVorbis_File file{};
    bool opened = false;
    bool atEnd = false;
    int channels = 0;
    long sourceRate = 1;
    int outputRate = 1;
    SDL_AudioStream* converter = nullptr;
};

}  // namespace

FileFormat detectFormat(const uint8_t* data, size_t length) {
    if (length >= 12 && std::memcmp(data, "RIFF", 4) == 0 &&
        std::memcmp(data + 8, "WAVE", 4) == 0) {
        return FileFormat::WAV;
    }
    if (length >= 4 && std::memcmp(data, "OggS", 4) == 0) {
        return FileFormat::OGG;
    }
    return FileFormat::UNKNOWN;
}

bool readSoundFile(const std::string& fileName, std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint64_t size = 0;
    const FileDescriptor file = openRegularFile(fileName, size);
    if (file.get() < 0 || size > MAX_FILE_BYTES) {
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

bool decodeSample(const uint8_t* data, size_t length, int outputRate, SampleData& sample) {
    switch (detectFormat(data, length)) {
        case FileFormat::WAV:
            return decodeWav(data, length, outputRate, sample);
        case FileFormat::OGG:
            return decodeOgg(data, length, outputRate, sample);
        case FileFormat::UNKNOWN:
            break;
    }
    return false;
}

SampleStreamDecoder::SampleStreamDecoder(SampleData sample) : sample(std::move(sample)) {}

uint32_t SampleStreamDecoder::read(int16_t* stereo, uint32_t frameCount) {
    const uint32_t run = std::min(frameCount, sample.frames() - position);
    for (uint32_t i = 0; i < run; ++i) {
        const size_t at = static_cast<size_t>(position + i) * static_cast<size_t>(sample.channels);
        stereo[i * 2] = sample.pcm[at];
        stereo[i * 2 + 1] = sample.pcm[sample.channels == 2 ? at + 1 : at];
    }
    position += run;
    return run;
}

bool SampleStreamDecoder::seek(uint32_t frame) {
    if (frame > sample.frames()) {
        return false;
    }
    position = frame;
    return true;
}

CachedStreamDecoder::CachedStreamDecoder(std::unique_ptr<StreamDecoder> source)
    : source(std::move(source)) {}

void CachedStreamDecoder::extend(uint32_t frameCount) {
    if (complete || frameCount == 0) {
        return;
    }
    if (cache.empty()) {
        // The converter may give a few frames more than the length promises.
        cache.reserve((static_cast<size_t>(length() - std::min(first, length())) + 4096) * 2);
    }
    const size_t before = cache.size();
    cache.resize(before + static_cast<size_t>(frameCount) * 2);
    const uint32_t got = source->read(cache.data() + before, frameCount);
    cache.resize(before + static_cast<size_t>(got) * 2);
    complete = got < frameCount;
}

uint32_t CachedStreamDecoder::read(int16_t* stereo, uint32_t frameCount) {
    if (position + frameCount > cachedEnd()) {
        extend(position + frameCount - cachedEnd());
    }
    const uint32_t run = std::min(frameCount, cachedEnd() - position);
    std::copy_n(cache.data() + static_cast<size_t>(position - first) * 2,
                static_cast<size_t>(run) * 2, stereo);
    position += run;
    return run;
}

bool CachedStreamDecoder::seek(uint32_t frame) {
    if (frame >= first && frame <= cachedEnd()) {
        position = frame;
        return true;
    }
    // Decoding up to a far frame would stall the caller: the source seeks instead.
    if ((complete && frame > cachedEnd()) || !source->seek(frame)) {
        return false;
    }
    cache.clear();
    first = frame;
    position = frame;
    complete = false;
    return true;
}

bool CachedStreamDecoder::decodeAhead(uint32_t frameCount) {
    extend(frameCount);
    return !complete;
}

std::unique_ptr<StreamDecoder> openStreamDecoder(const std::string& fileName, int outputRate) {
    uint8_t header[12] = {};
    {
        uint64_t size = 0;
        const FileDescriptor file = openRegularFile(fileName, size);
        if (file.get() < 0 || ::read(file.get(), header, sizeof header) != sizeof header) {
            return nullptr;
        }
    }
    if (detectFormat(header, sizeof header) == FileFormat::OGG) {
        auto decoder = std::make_unique<OggStreamDecoder>();
        if (!decoder->open(fileName, outputRate)) {
            return nullptr;
        }
        if (decoder->length() > 0 && decoder->length() <= MAX_CACHED_STREAM_FRAMES) {
            return std::make_unique<CachedStreamDecoder>(std::move(decoder));
        }
        return decoder;
    }
    std::vector<uint8_t> bytes;
    SampleData sample;
    if (!readSoundFile(fileName, bytes) ||
        !decodeSample(bytes.data(), bytes.size(), outputRate, sample)) {
        return nullptr;
    }
    return std::make_unique<SampleStreamDecoder>(std::move(sample));
}

}  // namespace audio
