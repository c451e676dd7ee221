#include <gtest/gtest.h>

#include "testsupport/os/FakeAudioMixer.h"

namespace fake_audio_mixer_test {

using Calls = std::vector<std::string>;

TEST(FakeAudioMixer, RecordsCallsAndKeepsChannelState) {
    FakeAudioMixer mixer;
    ASSERT_TRUE(mixer.start(44100, 32));
    const int32_t sample = mixer.loadSample("media/sounds/click.wav", 0);
    ASSERT_NE(sample, 0);
    EXPECT_TRUE(mixer.setSampleMode(sample, AudioMixer::MODE_LOOP_NORMAL));
    const int32_t channel = mixer.playSample(sample, true);
    EXPECT_TRUE(mixer.setVolume(channel, 127));
    EXPECT_TRUE(mixer.setPan(channel, 300));
    EXPECT_TRUE(mixer.setPaused(channel, false));
    EXPECT_EQ(mixer.takeCalls(),
              (Calls{"start 44100 32", "loadSample media/sounds/click.wav 0", "setSampleMode 1 2",
                     "playSample 1 paused", "setVolume 2 127", "setPan 2 300", "setPaused 2 0"}));
    EXPECT_EQ(mixer.channels[channel].volume, 127);
    EXPECT_EQ(mixer.channels[channel].pan, 255);
    EXPECT_FALSE(mixer.channels[channel].paused);
    EXPECT_TRUE(mixer.samples[sample].loop);

    mixer.freeSample(sample);
    EXPECT_FALSE(mixer.isPlaying(channel));
    EXPECT_FALSE(mixer.setVolume(channel, 1));
}

TEST(FakeAudioMixer, StreamsReplayOnTheirChannelAndScriptedFailuresKeepThemOpen) {
    FakeAudioMixer mixer;
    mixer.start(44100, 32);
    const int32_t stream = mixer.openStream("media/music/lobby.ogg", 0x132);
    ASSERT_NE(stream, 0);
    const int32_t channel = mixer.playStream(stream, true);
    EXPECT_EQ(mixer.playStream(stream, false), channel);
    EXPECT_TRUE(mixer.channels[channel].absolute);
    EXPECT_TRUE(mixer.channels[channel].paused);

    mixer.failStreamStop = true;
    EXPECT_FALSE(mixer.stopStream(stream));
    EXPECT_TRUE(mixer.isPlaying(channel));
    mixer.failStreamStop = false;
    EXPECT_TRUE(mixer.stopStream(stream));
    const int32_t again = mixer.playStream(stream, false);
    EXPECT_NE(again, channel);

    mixer.failStreamClose = true;
    EXPECT_FALSE(mixer.closeStream(stream));
    mixer.failStreamClose = false;
    EXPECT_TRUE(mixer.closeStream(stream));
    EXPECT_FALSE(mixer.isPlaying(again));
    EXPECT_EQ(mixer.playStream(stream, false), -1);
}

TEST(FakeAudioMixer, FailedStartAnswersLikeASilentDevice) {
    FakeAudioMixer mixer;
    mixer.failStart = true;
    EXPECT_FALSE(mixer.start(44100, 32));
    EXPECT_EQ(mixer.outputRate(), 0);
    EXPECT_EQ(mixer.loadSample("a.wav", 0), 0);
    EXPECT_EQ(mixer.playSample(1, false), -1);
    EXPECT_EQ(mixer.openStream("a.ogg", 0), 0);
    EXPECT_EQ(mixer.playStream(1, false), -1);
    mixer.setEffectsMasterVolume(0);
    EXPECT_EQ(mixer.effectsMasterVolume, AudioMixer::MAX_VOLUME);
    EXPECT_EQ(mixer.calls.size(), 6u);
}

}  // namespace fake_audio_mixer_test
