#include <gtest/gtest.h>

#include "framework/os/MixerCore.h"

namespace mixer_core_test {

// A mono sample holding one value throughout, so every mixed frame shows the gains directly.
SampleData constantSample(int16_t value, uint32_t frames, bool loop = false) {
    SampleData sample;
    sample.channels = 1;
    sample.loop = loop;
    sample.pcm.assign(frames, value);
    return sample;
}

std::vector<int16_t> mixFrames(MixerCore& core, uint32_t frames) {
    std::vector<int16_t> out(frames * 2, 12345);
    core.mix(out.data(), frames);
    return out;
}

TEST(MixerCore, VolumeAndPanScaleEachSide) {
    MixerCore core(44100, 32);
    const SampleData sample = constantSample(10000, 4096, true);
    const int32_t channel = core.playSample(&sample, false);
    ASSERT_GE(channel, 0);

    std::vector<int16_t> out = mixFrames(core, 8);
    EXPECT_EQ(out[0], 10000);
    EXPECT_EQ(out[1], 10000);

    EXPECT_TRUE(core.setVolume(channel, 127));
    out = mixFrames(core, 8);
    EXPECT_NEAR(out[0], 10000 * 127 / 255, 1);
    EXPECT_NEAR(out[1], 10000 * 127 / 255, 1);

    EXPECT_TRUE(core.setVolume(channel, 255));
    EXPECT_TRUE(core.setPan(channel, 0));
    out = mixFrames(core, 8);
    EXPECT_EQ(out[0], 10000);
    EXPECT_EQ(out[1], 0);

    EXPECT_TRUE(core.setPan(channel, 255));
    out = mixFrames(core, 8);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 10000);

    // Half way to the right: the left side is about half as loud.
    EXPECT_TRUE(core.setPan(channel, 192));
    out = mixFrames(core, 8);
    EXPECT_NEAR(out[0], 10000 * 63 / 127, 1);
    EXPECT_EQ(out[1], 10000);

    // Values outside 0..255 are clamped, not wrapped.
    EXPECT_TRUE(core.setPan(channel, 300));
    EXPECT_TRUE(core.setVolume(channel, -5));
    out = mixFrames(core, 8);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
}

TEST(MixerCore, StereoSamplesKeepTheirSidesAndLoudMixesClip) {
    MixerCore core(44100, 32);
    SampleData stereo;
    stereo.channels = 2;
    stereo.loop = true;
    for (int i = 0; i < 64; ++i) {
        stereo.pcm.push_back(-20000);
        stereo.pcm.push_back(30000);
    }
    core.playSample(&stereo, false);
    core.playSample(&stereo, false);
    const std::vector<int16_t> out = mixFrames(core, 16);
    EXPECT_EQ(out[0], -32768);
    EXPECT_EQ(out[1], 32767);
}

TEST(MixerCore, EffectsMasterVolumeLeavesStreamsAndAbsoluteChannelsAlone) {
    MixerCore core(44100, 32);
    const SampleData sample = constantSample(8000, 4096, true);
    StreamRing ring(1024);
    std::vector<int16_t> music(2 * 1024, 4000);
    ring.write(music.data(), 1024);

    const int32_t effect = core.playSample(&sample, false);
    // A paused stream voice neither sounds nor reads its ring.
    const int32_t stream = core.playStream(&ring, true);
    ASSERT_GE(stream, 0);
    EXPECT_EQ(mixFrames(core, 4)[0], 8000);
    EXPECT_EQ(ring.framesRead(), 0u);
    EXPECT_TRUE(core.setPaused(stream, false));
    EXPECT_EQ(mixFrames(core, 4)[0], 12000);

    core.setEffectsMasterVolume(0);
    EXPECT_EQ(mixFrames(core, 4)[0], 4000);

    // A plain volume on the stream still ignores the master volume.
    EXPECT_TRUE(core.setVolume(stream, 255));
    EXPECT_EQ(mixFrames(core, 4)[0], 4000);

    // An absolute volume takes a sample channel out of the master volume's reach.
    EXPECT_TRUE(core.setVolumeAbsolute(effect, 255));
    EXPECT_EQ(mixFrames(core, 4)[0], 12000);
    // A plain volume puts it back under the master.
    EXPECT_TRUE(core.setVolume(effect, 255));
    EXPECT_EQ(mixFrames(core, 4)[0], 4000);

    core.setEffectsMasterVolume(51);
    EXPECT_NEAR(mixFrames(core, 4)[0], 4000 + 8000 / 5, 1);
}

TEST(MixerCore, SamplesEndOrLoopAtTheirEnd) {
    MixerCore core(44100, 32);
    const SampleData once = constantSample(1000, 100);
    const int32_t channel = core.playSample(&once, false);
    std::vector<int16_t> out = mixFrames(core, 256);
    EXPECT_EQ(out[99 * 2], 1000);
    EXPECT_EQ(out[100 * 2], 0);
    EXPECT_EQ(out[255 * 2 + 1], 0);
    EXPECT_FALSE(core.isPlaying(channel));

    SampleData looped = constantSample(1000, 100, true);
    looped.pcm[0] = 7;  // marks each pass's first frame
    const int32_t loopChannel = core.playSample(&looped, false);
    out = mixFrames(core, 1000);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[100 * 2], 7);
    EXPECT_EQ(out[900 * 2], 7);
    EXPECT_EQ(out[999 * 2], 1000);
    EXPECT_TRUE(core.isPlaying(loopChannel));

    // A sample ending exactly at the end of a mix frees its voice at once.
    const SampleData exact = constantSample(1000, 64);
    const int32_t exactChannel = core.playSample(&exact, false);
    core.stop(loopChannel);
    mixFrames(core, 64);
    EXPECT_FALSE(core.isPlaying(exactChannel));

    // A looping sample without frames ends instead of spinning.
    const SampleData empty = constantSample(0, 0, true);
    const int32_t emptyChannel = core.playSample(&empty, false);
    mixFrames(core, 16);
    EXPECT_FALSE(core.isPlaying(emptyChannel));
}

TEST(MixerCore, PausedChannelsHoldTheirPlace) {
    MixerCore core(44100, 32);
    SampleData ramp = constantSample(0, 50);
    for (int i = 0; i < 50; ++i) {
        ramp.pcm[static_cast<size_t>(i)] = static_cast<int16_t>(i * 100);
    }
    const int32_t channel = core.playSample(&ramp, true);
    EXPECT_EQ(mixFrames(core, 20)[10], 0);
    EXPECT_TRUE(core.isPlaying(channel));
    core.setPaused(channel, false);
    std::vector<int16_t> out = mixFrames(core, 10);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[9 * 2], 900);
    core.setPaused(channel, true);
    mixFrames(core, 10);
    core.setPaused(channel, false);
    EXPECT_EQ(mixFrames(core, 1)[0], 1000);
}

TEST(MixerCore, StaleChannelsNeverReachTheNextSound) {
    MixerCore core(44100, 1);
    const SampleData first = constantSample(1000, 10);
    const SampleData second = constantSample(2000, 4096, true);
    const int32_t old = core.playSample(&first, false);
    mixFrames(core, 32);  // the first sound ends
    const int32_t fresh = core.playSample(&second, false);
    ASSERT_GE(fresh, 0);
    EXPECT_NE(old, fresh);

    EXPECT_FALSE(core.isPlaying(old));
    EXPECT_FALSE(core.setVolume(old, 0));
    EXPECT_FALSE(core.setPan(old, 0));
    EXPECT_FALSE(core.setPaused(old, true));
    EXPECT_FALSE(core.stop(old));
    const std::vector<int16_t> out = mixFrames(core, 4);
    EXPECT_EQ(out[0], 2000);
    EXPECT_EQ(out[1], 2000);
    EXPECT_TRUE(core.isPlaying(fresh));

    // Handles that were never given out, or that are -1, touch nothing either.
    EXPECT_FALSE(core.stop(-1));
    EXPECT_FALSE(core.stop(0));
    EXPECT_FALSE(core.stop(255));
    EXPECT_TRUE(core.isPlaying(fresh));
}

TEST(MixerCore, ChannelHandlesStayNonNegativeThroughTheGenerationWrap) {
    using Channel = MixerCore::Channel;
    const int32_t last = Channel::make(Channel::INDEX_MASK, Channel::MAX_GENERATION);
    EXPECT_GT(last, 0);
    EXPECT_EQ(Channel::index(last), Channel::INDEX_MASK);
    EXPECT_EQ(Channel::generation(last), Channel::MAX_GENERATION);
    EXPECT_EQ(Channel::nextGeneration(Channel::MAX_GENERATION), 1u);

    SlotTable<int, 16> table;
    const int32_t handle = table.add(5);
    EXPECT_GT(handle, 0);
    ASSERT_TRUE(table.remove(handle));
    const int32_t reused = table.add(6);
    EXPECT_NE(reused, handle);
    EXPECT_EQ(table.find(handle), nullptr);
    ASSERT_NE(table.find(reused), nullptr);
    EXPECT_EQ(*table.find(reused), 6);
}

TEST(MixerCore, SampleVoicesAndStreamVoicesAreSeparatePools) {
    MixerCore core(44100, 32);
    const SampleData sample = constantSample(1, 4096, true);
    for (int i = 0; i < 32; ++i) {
        ASSERT_GE(core.playSample(&sample, false), 0);
    }
    EXPECT_EQ(core.playSample(&sample, false), -1);
    StreamRing ring(64);
    EXPECT_GE(core.playStream(&ring, false), 0);
    EXPECT_EQ(core.playSample(nullptr, false), -1);
}

TEST(MixerCore, StreamVoicesWaitForLateDataAndEndWithTheirSource) {
    MixerCore core(44100, 32);
    StreamRing ring(256);
    const int32_t channel = core.playStream(&ring, false);
    EXPECT_EQ(core.channelOf(&ring), channel);

    // Nothing decoded yet: silence, but the voice waits.
    EXPECT_EQ(mixFrames(core, 32)[0], 0);
    EXPECT_TRUE(core.isPlaying(channel));

    std::vector<int16_t> music(2 * 100, 3000);
    ring.write(music.data(), 100);
    std::vector<int16_t> out = mixFrames(core, 150);
    EXPECT_EQ(out[99 * 2], 3000);
    EXPECT_EQ(out[100 * 2], 0);
    EXPECT_EQ(ring.framesRead(), 100u);
    EXPECT_TRUE(core.isPlaying(channel));

    ring.write(music.data(), 10);
    ring.ended = true;
    mixFrames(core, 32);
    EXPECT_FALSE(core.isPlaying(channel));
    EXPECT_EQ(core.channelOf(&ring), -1);
}

TEST(StreamRing, KeepsFrameOrderAcrossTheWrap) {
    StreamRing ring(8);
    std::vector<int16_t> in;
    for (int16_t i = 0; i < 24; ++i) {
        in.push_back(i);
    }
    std::vector<int16_t> out(24);
    EXPECT_EQ(ring.write(in.data(), 6), 6u);
    EXPECT_EQ(ring.read(out.data(), 4), 4u);
    EXPECT_EQ(ring.write(in.data() + 12, 12), 6u);  // only 6 frames fit
    EXPECT_EQ(ring.space(), 0u);
    EXPECT_EQ(ring.read(out.data() + 8, 12), 8u);
    // Frames 2 and 3 of the first write, then the six frames that fitted of the second.
    const std::vector<int16_t> expected = {8,  9,  10, 11, 12, 13, 14, 15,
                                           16, 17, 18, 19, 20, 21, 22, 23};
    EXPECT_EQ(std::vector<int16_t>(out.begin() + 8, out.begin() + 24), expected);
    EXPECT_EQ(ring.framesRead(), 12u);
    ring.clear();
    EXPECT_EQ(ring.available(), 0u);
    EXPECT_EQ(ring.framesRead(), 0u);
}

}  // namespace mixer_core_test
