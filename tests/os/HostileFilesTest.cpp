// Files that are not what they claim: named pipes where data files belong, WAV files whose
// chunk sizes do not match the file, sounds at rates no real sound has, and a small file that
// decodes to a long sound.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "framework/os/AudioDecoder.h"
#include "framework/os/LinuxFileSystem.h"
#include "testsupport/PeakMemory.h"
#include "testsupport/os/TestSounds.h"

namespace hostile_files_test {

TEST(HostileFiles, NamedPipesAreRefusedWithoutWaitingForAWriter) {
    testsounds::TempFolder temp;
    const std::string pipe = temp.file("scores.xml");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);

    // No one writes to the pipe: a read that waited for a writer would hang until the entry's
    // time limit.
    LinuxFileSystem files;
    std::vector<uint8_t> bytes;
    EXPECT_NE(files.readFile(pipe, 1000, bytes), FileReadResult::OK);
    EXPECT_FALSE(audio::readSoundFile(pipe, bytes));
    EXPECT_EQ(audio::openStreamDecoder(pipe, 44100), nullptr);
}

TEST(HostileFiles, WavChunkSizesMustFitTheFile) {
    const std::vector<uint8_t> good =
        testsounds::wavFile(22050, 1, testsounds::tone(22050, 1, 100, 440.0, 0.5));
    SampleData sample;
    ASSERT_TRUE(audio::decodeSample(good.data(), good.size(), 44100, sample));
    EXPECT_GT(sample.frames(), 0u);

    const size_t dataSize = 40;  // the data chunk's size field
    auto withSize = [&](size_t at, uint32_t size, size_t keep) {
        std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<long>(keep));
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<uint8_t>(size >> (8 * i));
        }
        return bytes;
    };
    std::vector<std::pair<const char*, std::vector<uint8_t>>> damaged = {
        {"empty data chunk", withSize(dataSize, 0, dataSize + 4)},
        {"data chunk of 4 GB", withSize(dataSize, 0xFFFFFFFFu, good.size())},
        {"data chunk one byte longer than the file", withSize(dataSize, 201, good.size())},
        {"format chunk beyond the file", withSize(16, 0x7FFFFFF0u, good.size())},
        {"no data chunk", withSize(4, 28, dataSize - 4)},
    };
    // 44 frames at 2.84 MHz make no frame at 44.1 kHz.
    std::vector<uint8_t> noFrameLeft = withSize(24, 2840107, dataSize + 4 + 88);
    for (int i = 0; i < 4; ++i) {
        noFrameLeft[dataSize + i] = static_cast<uint8_t>(88 >> (8 * i));
    }
    damaged.emplace_back("a rate that leaves no frame", noFrameLeft);
    for (const auto& [name, bytes] : damaged) {
        SampleData refused;
        EXPECT_FALSE(audio::decodeSample(bytes.data(), bytes.size(), 44100, refused)) << name;
    }
}

TEST(HostileFiles, SoundsAtRatesOutsideTheRealRangeAreRefused) {
    testsounds::TempFolder temp;
    auto decodes = [&](int rate, bool ogg) {
        const std::vector<int16_t> pcm = testsounds::tone(8000, 1, 2000, 440.0, 0.5);
        const std::vector<uint8_t> bytes =
            ogg ? testsounds::oggFile(rate, 1, pcm) : testsounds::wavFile(rate, 1, pcm);
        EXPECT_FALSE(bytes.empty()) << rate;
        const std::string file = temp.file("sound");
        SampleData sample;
        const bool whole = audio::decodeSample(bytes.data(), bytes.size(), 44100, sample);
        const bool streamed =
            testsounds::writeFile(file, bytes) && audio::openStreamDecoder(file, 44100) != nullptr;
        EXPECT_EQ(whole, streamed) << rate;
        // A converted sample keeps no slack of the buffer it was converted in.
        EXPECT_LE(sample.pcm.capacity(), sample.pcm.size() + 1) << rate;
        return whole;
    };
    for (const bool ogg : {false, true}) {
        EXPECT_TRUE(decodes(8000, ogg)) << ogg;
        EXPECT_TRUE(decodes(192000, ogg)) << ogg;
        EXPECT_FALSE(decodes(7999, ogg)) << ogg;
        EXPECT_FALSE(decodes(192001, ogg)) << ogg;
    }
    EXPECT_FALSE(decodes(1, false));

    // 16 MB at 8 kHz would convert to 176 MB at the output rate.
    const std::vector<uint8_t> wav = testsounds::wavFile(8000, 1, std::vector<int16_t>(8 << 20));
    SampleData sample;
    EXPECT_FALSE(audio::decodeSample(wav.data(), wav.size(), 44100, sample));
}

TEST(HostileFiles, ALongSoundIsHeldOnceWhileItDecodes) {
    // 30 s of silence packs into a few kilobytes and decodes to 5 MB: the decoded bytes, the
    // buffer they are converted in and the sample are one buffer, not three.
    const std::vector<uint8_t> ogg =
        testsounds::oggFile(44100, 2, std::vector<int16_t>(44100 * 2 * 30));
    SampleData sample;
    const double peak = peakmemory::peakMegabytes(
        [&] { EXPECT_TRUE(audio::decodeSample(ogg.data(), ogg.size(), 44100, sample)); });
    EXPECT_EQ(sample.frames(), 44100u * 30);
    const double sound = static_cast<double>(sample.pcm.size() * sizeof(int16_t)) / (1 << 20);
    EXPECT_LT(peak, 1.5 * sound) << peak << " MB at the peak for a sound of " << sound << " MB";
}

}  // namespace hostile_files_test
