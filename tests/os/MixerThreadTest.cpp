// The mixer's threads together: the device callback mixing, the feeder decoding a looping
// stream ahead, a second thread loading samples, and the caller playing, changing and freeing
// them and moving the stream. These tests also run under ThreadSanitizer (CTest label "tsan").
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/os/SdlAudioMixer.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/WaitFor.h"
#include "testsupport/os/TestSounds.h"

namespace mixer_thread_test {

using namespace std::chrono_literals;

TEST(MixerThreads, SamplesLoadAndPlayWhileAStreamIsFedAndMixed) {
    ScopedEnvironment driver{"SDL_AUDIODRIVER", "dummy"};
    testsounds::TempFolder folder;
    SdlAudioMixer mixer;
    ASSERT_TRUE(mixer.start(44100, 32));
    const std::string music = folder.file("music.wav");
    ASSERT_TRUE(testsounds::writeFile(music, testsounds::toneWav(22050, 2, 22050, 9000)));
    const int32_t stream = mixer.openStream(music, AudioMixer::MODE_LOOP_NORMAL);
    ASSERT_NE(stream, 0);
    const int32_t musicChannel = mixer.playStream(stream, false);
    ASSERT_GE(musicChannel, 0);

    constexpr int count = 40;
    std::mutex handlesLock;
    std::vector<int32_t> handles;
    std::thread loader([&] {
        for (int i = 0; i < count; ++i) {
            const std::vector<uint8_t> wav =
                testsounds::toneWav(11025 * (1 + i % 4), 1 + i % 2, 2000, 9000);
            const int32_t sample = mixer.loadSample(wav.data(), wav.size(), 0);
            std::lock_guard<std::mutex> guard(handlesLock);
            handles.push_back(sample);
        }
    });
    int played = 0;
    int freed = 0;
    while (freed < count) {
        int32_t sample = 0;
        {
            std::lock_guard<std::mutex> guard(handlesLock);
            if (static_cast<size_t>(freed) < handles.size()) {
                sample = handles[static_cast<size_t>(freed)];
            }
        }
        if (sample == 0) {
            std::this_thread::yield();
            continue;
        }
        const int32_t channel = mixer.playSample(sample, false);
        played += channel >= 0 ? 1 : 0;
        mixer.setPan(channel, freed * 6);
        mixer.setVolume(channel, 200);
        if (freed % 10 == 0) {
            mixer.setStreamPosition(stream, static_cast<uint32_t>(freed) * 1000);
            mixer.setEffectsMasterVolume(128 + freed);
        }
        mixer.freeSample(sample);
        ++freed;
    }
    loader.join();
    EXPECT_EQ(played, count);
    // The stream went on playing through all of it, fed and mixed by the other threads.
    const uint32_t before = mixer.streamPosition(stream);
    waitFor([&] { return mixer.streamPosition(stream) != before; });
    EXPECT_TRUE(mixer.isPlaying(musicChannel));
    EXPECT_TRUE(mixer.closeStream(stream));
    mixer.close();
}

}  // namespace mixer_thread_test
