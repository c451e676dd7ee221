#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/os/MixerCore.h"

// Sound file decoding for the mixer: WAV through SDL, Ogg Vorbis through libvorbisfile, the
// format told by the file's header. Everything comes out as 16-bit frames at the output rate.
namespace audio {

enum class FileFormat { UNKNOWN, WAV, OGG };

FileFormat detectFormat(const uint8_t* data, size_t length);

// Reads a whole file; false when it cannot be read or is larger than the sound size limit.
bool readSoundFile(const std::string& fileName, std::vector<uint8_t>& bytes);

// Decodes a whole WAV or Ogg file held in memory into a mono or stereo sample at
// `outputRate`. False for an unknown format, a damaged file or an oversized sound.
bool decodeSample(const uint8_t* data, size_t length, int outputRate, SampleData& sample);

// A source of stereo frames at the output rate, read piece by piece by the stream feeder.
class StreamDecoder {
public:
    virtual ~StreamDecoder() = default;
    // Up to `frameCount` frames; fewer only at the end of the source.
    virtual uint32_t read(int16_t* stereo, uint32_t frameCount) = 0;
    virtual bool seek(uint32_t frame) = 0;
    // Length in frames at the output rate.
    virtual uint32_t length() const = 0;
    // Decodes up to `frameCount` frames ahead of need where the decoder keeps what it decodes;
    // true while some of the source is still to decode.
    virtual bool decodeAhead(uint32_t) { return false; }
};

// Keeps every frame its source decodes, so that a looping track's later rounds and seeks back
// into what is kept are copies: music costs no decoding once it is whole. The feeder decodes
// it ahead of the voice through `decodeAhead`. What is kept stays until the decoder goes.
class CachedStreamDecoder : public StreamDecoder {
public:
    explicit CachedStreamDecoder(std::unique_ptr<StreamDecoder> source);
    uint32_t read(int16_t* stereo, uint32_t frameCount) override;
    // Within what is kept, a move; elsewhere the source's own seek, and what is kept starts
    // again from there.
    bool seek(uint32_t frame) override;
    uint32_t length() const override { return source->length(); }
    bool decodeAhead(uint32_t frameCount) override;

private:
    uint32_t cachedEnd() const { return first + static_cast<uint32_t>(cache.size() / 2); }
    // Decodes up to `frameCount` more frames onto the cache; marks the end when fewer come.
    void extend(uint32_t frameCount);

    std::unique_ptr<StreamDecoder> source;
    std::vector<int16_t> cache;  // stereo frames of the source from frame `first` on
    uint32_t first = 0;
    uint32_t position = 0;
    bool complete = false;
};

// The longest music kept whole in memory, in frames (about three minutes at 44,100 Hz, 31 MiB);
// a longer track is decoded as it plays.
inline constexpr uint32_t MAX_CACHED_STREAM_FRAMES = 8'000'000;

// Plays a decoded sample as a stream (WAV music is decoded whole).
class SampleStreamDecoder : public StreamDecoder {
public:
    explicit SampleStreamDecoder(SampleData sample);
    uint32_t read(int16_t* stereo, uint32_t frameCount) override;
    bool seek(uint32_t frame) override;
    uint32_t length() const override { return sample.frames(); }

private:
    SampleData sample;
    uint32_t position = 0;
};

// Opens a WAV or Ogg Vorbis file for streaming; null when it cannot be opened or decoded. Ogg
// music up to `MAX_CACHED_STREAM_FRAMES` long is kept as it is decoded.
std::unique_ptr<StreamDecoder> openStreamDecoder(const std::string& fileName, int outputRate);

}  // namespace audio
