#include "tests/os/TestSounds.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

namespace testsounds {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
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

void writePage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<int16_t> tone(int rate, int channels, uint32_t frames, double frequency,
                          double amplitude) {
    std::vector<int16_t> pcm;
    pcm.reserve(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    for (uint32_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * M_PI * frequency * i / rate);
        for (int c = 0; c < channels; ++c) {
            pcm.push_back(static_cast<int16_t>(std::lround(value)));
        }
    }
    return pcm;
}

std::vector<uint8_t> wavFile(int rate, int channels, const std::vector<int16_t>& pcm) {
    const auto dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::vector<uint8_t> out;
    putText(out, "RIFF");
    put32(out, 36 + dataBytes);
    putText(out, "WAVE");
    putText(out, "fmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(channels));
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate * channels * 2));
    put16(out, static_cast<uint32_t>(channels * 2));
    put16(out, 16);
    putText(out, "data");
    put32(out, dataBytes);
    for (int16_t value : pcm) {
        put16(out, static_cast<uint16_t>(value));
    }
    return out;
}

std::vector<uint8_t> oggFile(int rate, int channels, const std::vector<int16_t>& pcm) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) {
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
    ogg_stream_init(&stream, 1);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        writePage(out, page);
    }

    const auto frames = static_cast<int>(pcm.size() / static_cast<size_t>(channels));
    float** buffer = vorbis_analysis_buffer(&dsp, frames);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            buffer[c][i] = pcm[static_cast<size_t>(i * channels + c)] / 32768.0f;
        }
    }
    vorbis_analysis_wrote(&dsp, frames);
    vorbis_analysis_wrote(&dsp, 0);

    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page) != 0) {
                writePage(out, page);
            }
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        writePage(out, page);
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

bool writeFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
    std::ofstream file(fileName, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<uint8_t> readFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TempFolder::TempFolder() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    do {
        path = (base / ("quovel-audio-" + std::to_string(seed()))).string();
    } while (!std::filesystem::create_directory(path));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace testsounds
