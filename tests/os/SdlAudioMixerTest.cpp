#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "framework/os/SdlAudioMixer.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/WaitFor.h"
#include "testsupport/os/TestSounds.h"

namespace sdl_audio_mixer_test {

using namespace std::chrono_literals;
using testsounds::TempFolder;
using testsounds::toneWav;

// The tests run on SDL's dummy driver, which consumes sound in real time and plays nothing.
class SdlAudioMixerTest : public testing::Test {
protected:
    ScopedEnvironment driver{"SDL_AUDIODRIVER", "dummy"};
    TempFolder folder;
    SdlAudioMixer mixer;
};

TEST(SdlAudioMixerSilent, UnknownDriverLeavesEverythingSilentAndHarmless) {
    ScopedEnvironment driver("SDL_AUDIODRIVER", "no-such-driver");
    TempFolder folder;
    const std::string wav = folder.file("tone.wav");
    const std::vector<uint8_t> bytes = toneWav(44100, 1, 4410);
    ASSERT_TRUE(testsounds::writeFile(wav, bytes));

    SdlAudioMixer mixer;
    EXPECT_FALSE(mixer.start(44100, 32));
    EXPECT_FALSE(mixer.isStarted());
    EXPECT_EQ(mixer.outputRate(), 0);
    EXPECT_EQ(mixer.loadSample(wav, 0), 0);
    EXPECT_EQ(mixer.loadSample(bytes.data(), bytes.size(), AudioMixer::MODE_LOAD_MEMORY), 0);
    EXPECT_EQ(mixer.sampleLength(1), 0u);
    EXPECT_FALSE(mixer.setSampleMode(1, AudioMixer::MODE_LOOP_NORMAL));
    EXPECT_EQ(mixer.playSample(1, false), -1);
    EXPECT_FALSE(mixer.setVolume(0, 100));
    EXPECT_FALSE(mixer.setVolumeAbsolute(0, 100));
    EXPECT_FALSE(mixer.setPan(0, 0));
    EXPECT_FALSE(mixer.setPaused(0, true));
    EXPECT_FALSE(mixer.stopChannel(0));
    EXPECT_FALSE(mixer.isPlaying(0));
    mixer.setEffectsMasterVolume(0);
    mixer.freeSample(1);
    EXPECT_EQ(mixer.openStream(wav, 0), 0);
    EXPECT_FALSE(mixer.addSyncPoint(1, 10));
    EXPECT_TRUE(mixer.syncPoints(1).empty());
    EXPECT_EQ(mixer.playStream(1, false), -1);
    EXPECT_FALSE(mixer.setStreamPosition(1, 0));
    EXPECT_EQ(mixer.streamPosition(1), 0u);
    EXPECT_FALSE(mixer.stopStream(1));
    EXPECT_FALSE(mixer.closeStream(1));
    mixer.close();
    mixer.close();
}

TEST(SdlAudioMixerDisk, CapturedOutputHoldsThePlayedTone) {
    TempFolder folder;
    const std::string output = folder.file("output.raw");
    ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
    ScopedEnvironment file("SDL_DISKAUDIOFILE", output);

    SdlAudioMixer mixer;
    ASSERT_TRUE(mixer.start(44100, 32));
    // A quarter second at half the output rate: converted at load, it lasts 11025 frames.
    const std::vector<uint8_t> wav = toneWav(22050, 1, 5512);
    const int32_t sample = mixer.loadSample(wav.data(), wav.size(), 0);
    ASSERT_NE(sample, 0);
    const int32_t channel = mixer.playSample(sample, true);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(mixer.setPan(channel, 0));
    EXPECT_TRUE(mixer.setPaused(channel, false));
    waitFor([&] { return !mixer.isPlaying(channel); });
    // The device thread writes the buffer it mixed before closing lets it end.
    mixer.close();

    const std::vector<uint8_t> bytes = testsounds::readFile(output);
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    size_t first = frames.size(), last = 0;
    int loudestLeft = 0, loudestRight = 0;
    for (size_t i = 0; i + 1 < frames.size(); i += 2) {
        loudestLeft = std::max(loudestLeft, std::abs(static_cast<int>(frames[i])));
        loudestRight = std::max(loudestRight, std::abs(static_cast<int>(frames[i + 1])));
        if (frames[i] != 0) {
            first = std::min(first, i / 2);
            last = i / 2;
        }
    }
    EXPECT_GT(loudestLeft, 11000);
    EXPECT_LE(loudestLeft, 12500);
    EXPECT_EQ(loudestRight, 0);  // panned fully left
    ASSERT_LT(first, last);
    EXPECT_NEAR(static_cast<double>(last - first), 11025.0, 100.0);
}

TEST_F(SdlAudioMixerTest, SamplesAreConvertedToTheOutputRateAtLoad) {
    ASSERT_TRUE(mixer.start(44100, 32));
    EXPECT_EQ(mixer.outputRate(), 44100);

    const std::string wav = folder.file("tone.wav");
    ASSERT_TRUE(testsounds::writeFile(wav, toneWav(22050, 1, 2205)));
    const int32_t fromFile = mixer.loadSample(wav, AudioMixer::MODE_LOOP_NORMAL);
    ASSERT_NE(fromFile, 0);
    EXPECT_NEAR(mixer.sampleLength(fromFile), 4410, 8);

    const std::vector<uint8_t> ogg =
        testsounds::oggFile(48000, 2, testsounds::tone(48000, 2, 4800, 440, 10000));
    ASSERT_FALSE(ogg.empty());
    const int32_t fromMemory = mixer.loadSample(ogg.data(), ogg.size(), 0);
    ASSERT_NE(fromMemory, 0);
    EXPECT_NE(fromMemory, fromFile);
    EXPECT_NEAR(mixer.sampleLength(fromMemory), 4410, 8);
    const std::string oggName = folder.file("tone.ogg");
    ASSERT_TRUE(testsounds::writeFile(oggName, ogg));
    EXPECT_NE(mixer.loadSample(oggName, 0), 0);

    // Unknown formats, damaged headers, missing files and truncated Ogg data all fail.
    const std::string text = "plain text, not a sound";
    EXPECT_EQ(mixer.loadSample(text.data(), text.size(), 0), 0);
    std::vector<uint8_t> damaged = toneWav(22050, 1, 100);
    damaged.resize(20);
    EXPECT_EQ(mixer.loadSample(damaged.data(), damaged.size(), 0), 0);
    std::vector<uint8_t> cutOgg(ogg.begin(), ogg.begin() + 60);
    EXPECT_EQ(mixer.loadSample(cutOgg.data(), cutOgg.size(), 0), 0);
    EXPECT_EQ(mixer.loadSample(folder.file("missing.wav"), 0), 0);
    EXPECT_EQ(mixer.loadSample(nullptr, 10, 0), 0);
}

TEST_F(SdlAudioMixerTest, LoopModeDecidesWhetherAPlayEnds) {
    ASSERT_TRUE(mixer.start(44100, 32));
    const std::vector<uint8_t> wav = toneWav(44100, 1, 441);  // 10 ms
    const int32_t sample = mixer.loadSample(wav.data(), wav.size(), AudioMixer::MODE_LOOP_NORMAL);
    const int32_t looping = mixer.playSample(sample, false);
    EXPECT_TRUE(mixer.setSampleMode(sample, AudioMixer::MODE_LOOP_OFF));
    const int32_t once = mixer.playSample(sample, false);
    waitFor([&] { return !mixer.isPlaying(once); });
    EXPECT_TRUE(mixer.isPlaying(looping));

    // Freeing the sample stops its channels; its handle is stale afterwards.
    mixer.freeSample(sample);
    EXPECT_FALSE(mixer.isPlaying(looping));
    EXPECT_EQ(mixer.sampleLength(sample), 0u);
    EXPECT_EQ(mixer.playSample(sample, false), -1);
    mixer.freeSample(sample);
}

TEST_F(SdlAudioMixerTest, StreamsKeepTheirChannelPositionAndSyncPoints) {
    ASSERT_TRUE(mixer.start(44100, 32));
    const std::string name = folder.file("music.ogg");
    ASSERT_TRUE(testsounds::writeFile(
        name, testsounds::oggFile(44100, 1, testsounds::tone(44100, 1, 88200, 220, 8000))));
    const int32_t stream = mixer.openStream(name, 0);
    ASSERT_NE(stream, 0);
    EXPECT_TRUE(mixer.addSyncPoint(stream, 1000));
    EXPECT_TRUE(mixer.addSyncPoint(stream, 50000));
    EXPECT_EQ(mixer.syncPoints(stream), (std::vector<uint32_t>{1000, 50000}));

    EXPECT_TRUE(mixer.setStreamPosition(stream, 30000));
    EXPECT_EQ(mixer.streamPosition(stream), 30000u);
    // Held where it stands while paused; played again, it keeps its channel as it was.
    const int32_t channel = mixer.playStream(stream, true);
    ASSERT_GE(channel, 0);
    EXPECT_EQ(mixer.playStream(stream, false), channel);
    EXPECT_EQ(mixer.streamPosition(stream), 30000u);
    EXPECT_TRUE(mixer.setPaused(channel, false));
    uint32_t moved = 0;
    waitFor([&] { return (moved = mixer.streamPosition(stream)) > 30000; });
    EXPECT_LT(moved, 30000u + 44100u);
    EXPECT_TRUE(mixer.setVolumeAbsolute(channel, 40));

    EXPECT_TRUE(mixer.stopStream(stream));
    EXPECT_FALSE(mixer.isPlaying(channel));
    EXPECT_EQ(mixer.streamPosition(stream), 0u);
    const int32_t again = mixer.playStream(stream, false);
    ASSERT_GE(again, 0);
    EXPECT_NE(again, channel);
    EXPECT_FALSE(mixer.setVolumeAbsolute(channel, 255));

    EXPECT_TRUE(mixer.closeStream(stream));
    EXPECT_FALSE(mixer.isPlaying(again));
    EXPECT_EQ(mixer.playStream(stream, false), -1);
    EXPECT_FALSE(mixer.closeStream(stream));
    EXPECT_TRUE(mixer.syncPoints(stream).empty());
    EXPECT_EQ(mixer.openStream(folder.file("missing.ogg"), 0), 0);
}

TEST_F(SdlAudioMixerTest, StreamsEndOrLoopAtTheEndOfTheirFile) {
    ASSERT_TRUE(mixer.start(44100, 32));
    const std::string name = folder.file("short.wav");
    ASSERT_TRUE(testsounds::writeFile(name, toneWav(44100, 2, 2205)));  // 50 ms
    const int32_t once = mixer.openStream(name, 0);
    const int32_t looped = mixer.openStream(name, AudioMixer::MODE_LOOP_NORMAL);
    const int32_t onceChannel = mixer.playStream(once, false);
    const int32_t loopChannel = mixer.playStream(looped, false);
    ASSERT_GE(onceChannel, 0);
    ASSERT_GE(loopChannel, 0);
    waitFor([&] { return !mixer.isPlaying(onceChannel); });
    EXPECT_EQ(mixer.streamPosition(once), 2205u);
    // The looped one comes round to its beginning and plays on.
    uint32_t last = 0;
    waitFor([&] {
        const uint32_t now = mixer.streamPosition(looped);
        return std::exchange(last, now) > now;
    });
    EXPECT_TRUE(mixer.isPlaying(loopChannel));

    // A stream that played to its end starts again from its beginning (held there while paused)
    // and plays to its end once more.
    const int32_t replay = mixer.playStream(once, true);
    ASSERT_GE(replay, 0);
    EXPECT_EQ(mixer.streamPosition(once), 0u);
    EXPECT_TRUE(mixer.setPaused(replay, false));
    waitFor([&] { return !mixer.isPlaying(replay); });
    EXPECT_EQ(mixer.streamPosition(once), 2205u);
}

// Music is kept as it is decoded: reads in any pieces, a second round, seeks back and ahead of
// what is decoded, and decoding ahead all give the frames of the file decoded whole.
TEST_F(SdlAudioMixerTest, KeptMusicPlaysTheFramesOfTheWholeFile) {
    const uint32_t frames = 30000;
    const std::string name = folder.file("kept.ogg");
    ASSERT_TRUE(testsounds::writeFile(
        name, testsounds::oggFile(44100, 2, testsounds::tone(44100, 2, frames, 330, 9000))));
    std::vector<uint8_t> bytes;
    SampleData whole;
    ASSERT_TRUE(audio::readSoundFile(name, bytes));
    ASSERT_TRUE(audio::decodeSample(bytes.data(), bytes.size(), 44100, whole));
    ASSERT_EQ(whole.channels, 2);
    const auto readFrom = [](audio::StreamDecoder& decoder, uint32_t piece) {
        std::vector<int16_t> out;
        std::vector<int16_t> buffer(static_cast<size_t>(piece) * 2);
        while (const uint32_t got = decoder.read(buffer.data(), piece)) {
            out.insert(out.end(), buffer.begin(), buffer.begin() + got * 2);
        }
        return out;
    };
    const auto tail = [&](uint32_t from) {
        return std::vector<int16_t>(whole.pcm.begin() + from * 2, whole.pcm.end());
    };

    std::unique_ptr<audio::StreamDecoder> played = audio::openStreamDecoder(name, 44100);
    ASSERT_TRUE(played);
    EXPECT_EQ(readFrom(*played, 997), whole.pcm);
    ASSERT_TRUE(played->seek(0));
    EXPECT_EQ(readFrom(*played, 4096), whole.pcm);
    ASSERT_TRUE(played->seek(12345));
    EXPECT_EQ(readFrom(*played, 500), tail(12345));
    EXPECT_FALSE(played->decodeAhead(1000));

    std::unique_ptr<audio::StreamDecoder> sought = audio::openStreamDecoder(name, 44100);
    ASSERT_TRUE(sought->seek(20000));
    EXPECT_EQ(readFrom(*sought, 3000), tail(20000));
    EXPECT_FALSE(sought->seek(whole.frames() + 1));
    ASSERT_TRUE(sought->seek(100));
    EXPECT_EQ(readFrom(*sought, 3000), tail(100));

    std::unique_ptr<audio::StreamDecoder> ahead = audio::openStreamDecoder(name, 44100);
    int rounds = 0;
    while (ahead->decodeAhead(8192)) {
        ++rounds;
    }
    EXPECT_EQ(rounds, static_cast<int>(whole.frames() / 8192));
    EXPECT_EQ(readFrom(*ahead, 8192), whole.pcm);
}

TEST_F(SdlAudioMixerTest, LoadsAndFreesAfterCloseAreHarmless) {
    ASSERT_TRUE(mixer.start(44100, 32));
    const std::vector<uint8_t> wav = toneWav(44100, 1, 441);
    const int32_t sample = mixer.loadSample(wav.data(), wav.size(), 0);
    ASSERT_NE(sample, 0);
    mixer.close();
    mixer.freeSample(sample);
    EXPECT_EQ(mixer.loadSample(wav.data(), wav.size(), 0), 0);
    EXPECT_EQ(mixer.playSample(sample, false), -1);

    // The device can be opened again afterwards.
    ASSERT_TRUE(mixer.start(22050, 8));
    EXPECT_EQ(mixer.outputRate(), 22050);
    EXPECT_NE(mixer.loadSample(wav.data(), wav.size(), 0), 0);
}

}  // namespace sdl_audio_mixer_test
