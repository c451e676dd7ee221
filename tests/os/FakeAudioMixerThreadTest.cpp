// The fake mixer is called as the real one is in the end-to-end roads: the resource loader loads
// samples while the frame loop plays music and fades it. This test also runs under
// ThreadSanitizer (CTest label "tsan").
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "testsupport/os/FakeAudioMixer.h"

namespace fake_audio_mixer_thread_test {

TEST(FakeAudioMixerThreadTest, LoadsFromTheLoaderMeetFramesOfMusicWithoutLosingACall) {
    FakeAudioMixer mixer;
    ASSERT_TRUE(mixer.start(44100, 32));
    const int32_t stream = mixer.openStream("media/music/lobby.ogg", 0);
    const int32_t channel = mixer.playStream(stream, false);
    ASSERT_NE(channel, AudioMixer::NO_CHANNEL);
    mixer.takeCalls();

    constexpr int loads = 2000;
    constexpr int frames = 2000;
    int loaded = 0;
    std::thread loader([&] {
        for (int i = 0; i < loads; ++i) {
            loaded += mixer.loadSample("media/sounds/s" + std::to_string(i) + ".wav", 0) != 0;
        }
    });
    int faded = 0;
    for (int i = 0; i < frames; ++i) {
        mixer.streamPosition(stream);
        faded += mixer.setVolumeAbsolute(channel, i % 128) ? 1 : 0;
    }
    loader.join();

    EXPECT_EQ(loaded, loads);
    EXPECT_EQ(faded, frames);
    EXPECT_EQ(mixer.samples.size(), static_cast<size_t>(loads));
    EXPECT_EQ(mixer.takeCalls().size(), static_cast<size_t>(loads + 2 * frames));
}

}  // namespace fake_audio_mixer_thread_test
