#include "tools/synth/AudioFile.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace synth {

namespace {

void put16(std::ofstream& out, uint32_t value) {
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
    out.write(bytes, 2);
}

void put32(std::ofstream& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

int16_t toPcm(double value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

bool writePage(std::ofstream& out, const ogg_page& page) {
    out.write(reinterpret_cast<const char*>(page.header), page.header_len);
    out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    return static_cast<bool>(out);
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

bool writeWav(const std::string& fileName, const std::vector<double>& samples, int rate) {
    std::ofstream out(fileName, std::ios::binary);
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate * 2));
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (double value : samples) {
        put16(out, static_cast<uint16_t>(toPcm(value)));
    }
    return static_cast<bool>(out);
}

bool writeOgg(const std::string& fileName, const std::vector<double>& left,
              const std::vector<double>& right, int rate, float quality, int serial) {
    std::ofstream out(fileName, std::ios::binary);
    vorbis_info info;
    vorbis_info_init(&info);
    if (!out || left.size() != right.size() ||
        vorbis_encode_init_vbr(&info, 2, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
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
    bool good = true;
    while (ogg_stream_flush(&stream, &page) != 0) {
        good = writePage(out, page) && good;
    }

    constexpr size_t chunk = 4096;
    size_t done = 0;
    for (;;) {
        const size_t frames = std::min(chunk, left.size() - done);
        if (frames > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
            for (size_t i = 0; i < frames; ++i) {
                buffer[0][i] = static_cast<float>(left[done + i]);
                buffer[1][i] = static_cast<float>(right[done + i]);
            }
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
        done += frames;
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    good = writePage(out, page) && good;
                }
            }
        }
        if (frames == 0) {
            break;
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        good = writePage(out, page) && good;
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return good;
}

}  // namespace synth
