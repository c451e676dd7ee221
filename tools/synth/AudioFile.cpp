#include "tools/synth/AudioFile.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace synth {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putText(std::vector<uint8_t>& out, const char* text) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(text[i]));
    }
}

bool writeBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::ofstream out(fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return !bytes.empty() && static_cast<bool>(out);
}

int16_t toPcm(double value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

void appendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

double peakLevel(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double value : samples) {
        peak = std::max(peak, std::abs(value));
    }
    return peak;
}

double loudestWindowRms(const std::vector<double>& samples, int rate) {
    const size_t window = std::min(samples.size(), static_cast<size_t>(rate / 20));
    if (window == 0) {
        return 0.0;
    }
    double sum = 0.0;
    for (size_t i = 0; i < window; ++i) {
        sum += samples[i] * samples[i];
    }
    double loudest = sum;
    for (size_t i = window; i < samples.size(); ++i) {
        sum += samples[i] * samples[i] - samples[i - window] * samples[i - window];
        loudest = std::max(loudest, sum);
    }
    return std::sqrt(std::max(loudest, 0.0) / static_cast<double>(window));
}

double toDecibels(double level) {
    return 20.0 * std::log10(std::max(level, 1e-12));
}

std::vector<uint8_t> encodeWav(const std::vector<int16_t>& pcm, int channels, int rate) {
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    const auto frameBytes = static_cast<uint32_t>(channels * 2);
    std::vector<uint8_t> out;
    putText(out, "RIFF");
    put32(out, 36 + dataBytes);
    putText(out, "WAVE");
    putText(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, static_cast<uint32_t>(channels));
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate) * frameBytes);
    put16(out, frameBytes);
    put16(out, 16);
    putText(out, "data");
    put32(out, dataBytes);
    for (int16_t value : pcm) {
        put16(out, static_cast<uint16_t>(value));
    }
    return out;
}

bool writeWav(const std::string& fileName, const std::vector<double>& samples, int rate) {
    std::vector<int16_t> pcm;
    pcm.reserve(samples.size());
    for (double value : samples) {
        pcm.push_back(toPcm(value));
    }
    return writeBytes(fileName, encodeWav(pcm, 1, rate));
}

std::vector<uint8_t> encodeOgg(const std::vector<float>& interleaved, int channels, int rate,
                               float quality, int serial) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (channels < 1 || vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(out, page);
    }

    const size_t total = interleaved.size() / static_cast<size_t>(channels);
    constexpr size_t chunk = 4096;
    for (size_t done = 0;;) {
        const size_t frames = std::min(chunk, total - done);
        if (frames > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
            for (size_t i = 0; i < frames; ++i) {
                for (int c = 0; c < channels; ++c) {
                    buffer[c][i] = interleaved[(done + i) * static_cast<size_t>(channels) +
                                               static_cast<size_t>(c)];
                }
            }
        }
        // Zero frames written tells the encoder the input has ended.
        vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
        done += frames;
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                }
            }
        }
        if (frames == 0) {
            break;
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        appendPage(out, page);
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

bool writeOgg(const std::string& fileName, const std::vector<double>& left,
              const std::vector<double>& right, int rate, float quality, int serial) {
    if (left.size() != right.size()) {
        return false;
    }
    std::vector<float> interleaved;
    interleaved.reserve(left.size() * 2);
    for (size_t i = 0; i < left.size(); ++i) {
        interleaved.push_back(static_cast<float>(left[i]));
        interleaved.push_back(static_cast<float>(right[i]));
    }
    return writeBytes(fileName, encodeOgg(interleaved, 2, rate, quality, serial));
}

}  // namespace synth
