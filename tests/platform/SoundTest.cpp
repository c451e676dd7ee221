#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "framework/core/RefHolder.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeAudioMixer.h"
#include "testsupport/platform/ZipBuilder.h"

namespace sound_test {

using Calls = std::vector<std::string>;

// A recording mixer whose plays answer with a scripted channel handle.
class ScriptedChannelMixer : public FakeAudioMixer {
public:
    int32_t channelAnswer = 0;
    int32_t playSample(int32_t sample, bool paused) override {
        FakeAudioMixer::playSample(sample, paused);
        return channelAnswer;
    }
};

class SoundTest : public testing::Test {
protected:
    void SetUp() override { start(std::make_shared<FakeAudioMixer>()); }
    void TearDown() override { SoundManager::releaseInstance(); }

    void start(std::shared_ptr<FakeAudioMixer> fake) {
        mixer = std::move(fake);
        SoundManager::init(44100, 32, mixer);
        mixer->takeCalls();
    }
    // A sound with a sample loaded by name; the record starts empty.
    RefHolder<Sound> loadedSound(float multiplier = 1.0f) {
        RefHolder<Sound> sound(new Sound(multiplier));
        EXPECT_EQ(sound->load(1, 304, "media/sounds/click.wav"), 0);
        mixer->takeCalls();
        return sound;
    }

    std::shared_ptr<FakeAudioMixer> mixer;
};

TEST_F(SoundTest, FullVolumeAtCentreUsesThePlainPlayAndAnythingElseThePausedStart) {
    RefHolder<Sound> sound = loadedSound();
    const int32_t sample = sound->getSample();
    const std::string s = std::to_string(sample);

    const int32_t plain = sound->play(255, 128, false);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"setSampleMode " + s + " 1", "playSample " + s}));
    EXPECT_TRUE(mixer->isPlaying(plain));

    const int32_t quieter = sound->play(200, 128, true);
    const std::string c = std::to_string(quieter);
    EXPECT_EQ(mixer->takeCalls(),
              (Calls{"setSampleMode " + s + " 2", "playSample " + s + " paused",
                     "setVolume " + c + " 200", "setPan " + c + " 128", "setPaused " + c + " 0"}));
    EXPECT_FALSE(mixer->channels[quieter].paused);
    EXPECT_TRUE(mixer->samples[sample].loop);

    const int32_t left = sound->play(255, 0, false);
    EXPECT_EQ(mixer->takeCalls()[1], "playSample " + s + " paused");
    EXPECT_EQ(mixer->channels[left].pan, 0);
    EXPECT_EQ(mixer->channels[left].volume, 255);
}

TEST_F(SoundTest, VolumeIsScaledTruncatedAndClampedAndPanClamped) {
    RefHolder<Sound> half = loadedSound(0.5f);
    int32_t channel = half->play(255, 128, false);
    EXPECT_EQ(mixer->channels[channel].volume, 127);

    RefHolder<Sound> loud = loadedSound(2.0f);
    channel = loud->play(200, 400, false);
    EXPECT_EQ(mixer->channels[channel].volume, 255);
    EXPECT_EQ(mixer->channels[channel].pan, 255);
    const Calls calls = mixer->takeCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "setPan " + std::to_string(channel) + " 255"),
              calls.end());

    // Over-loud volumes at centre pan are full volume: the plain play.
    loud->play(300, 128, false);
    EXPECT_EQ(mixer->takeCalls()[1], "playSample " + std::to_string(loud->getSample()));

    RefHolder<Sound> broken = loadedSound(std::numeric_limits<float>::quiet_NaN());
    channel = broken->play(255, -20, false);
    EXPECT_EQ(mixer->channels[channel].volume, 0);
    EXPECT_EQ(mixer->channels[channel].pan, 0);
}

TEST_F(SoundTest, AnyNonNegativeChannelIsValidAndMinusOneIsNone) {
    auto scripted = std::make_shared<ScriptedChannelMixer>();
    SoundManager::releaseInstance();
    start(scripted);
    RefHolder<Sound> sound = loadedSound();

    scripted->channelAnswer = 0x7FFFFFFF;  // the highest generation in the top bits
    EXPECT_EQ(sound->play(100, 128, false), 0x7FFFFFFF);
    EXPECT_EQ(scripted->takeCalls()[2], "setVolume 2147483647 100");

    scripted->channelAnswer = 0;
    EXPECT_EQ(sound->play(100, 128, false), 0);
    EXPECT_EQ(scripted->takeCalls().size(), 5u);

    scripted->channelAnswer = AudioMixer::NO_CHANNEL;
    EXPECT_EQ(sound->play(100, 128, false), -1);
    EXPECT_EQ(scripted->takeCalls().size(), 2u);  // mode and the failed play only
}

TEST_F(SoundTest, WithoutASamplePlayAndLengthAreNeutral) {
    RefHolder<Sound> empty(new Sound());
    EXPECT_EQ(empty->play(255, 128, false), -1);
    EXPECT_EQ(empty->getLength(), 0u);
    mixer->failLoads = true;
    EXPECT_EQ(empty->load(1, 0, "missing.wav"), -1);
    EXPECT_EQ(empty->getSample(), 0);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"loadSample missing.wav 0"}));
}

TEST_F(SoundTest, LengthIsInMillisecondsAtTheOutputRate) {
    mixer->loadedSampleLength = 22050;
    RefHolder<Sound> sound = loadedSound();
    EXPECT_EQ(sound->getLength(), 500u);
    // Long samples do not overflow on their way to milliseconds.
    mixer->loadedSampleLength = 44100 * 200;
    EXPECT_EQ(sound->getLength(), 200000u);
}

TEST_F(SoundTest, LoadsLooseFilesDirectlyAndOtherModesThroughTheWholeFileRead) {
    TempFolder temp;
    CurrentFolderScope inside(temp.path);
    writeTestFile("media/sounds/a.wav", "0123456789");
    writeTestFile("media/sounds/empty.wav", "");

    RefHolder<Sound> sound(new Sound());
    EXPECT_EQ(sound->load(1, 304, "media/sounds/a.wav"), 0);
    EXPECT_EQ(sound->load(2, 304, "media/sounds/a.wav"), 0);
    // A missing or empty file is no data read: nothing reaches the mixer.
    EXPECT_EQ(sound->load(2, 304, "media/sounds/missing.wav"), -1);
    EXPECT_EQ(sound->load(3, 304, "media/sounds/a.wav"), -1);  // not stored scrambled
    EXPECT_EQ(sound->load(2, 304, "media/sounds/empty.wav"), -1);
    // Mode 0 without an archive loads directly.
    EXPECT_EQ(sound->load(0, 2, "media/sounds/a.wav"), 0);
    const Calls loads = mixer->takeCalls();
    EXPECT_EQ(loads[0], "loadSample media/sounds/a.wav 304");
    EXPECT_EQ(loads[1], "loadSample memory 10 33072");  // 304 + the memory bit 0x8000
    // Each reload frees the sample it replaces.
    EXPECT_EQ(loads[2].rfind("freeSample ", 0), 0u);
    EXPECT_EQ(loads[3], "loadSample media/sounds/a.wav 2");
    EXPECT_EQ(loads.size(), 5u);
    EXPECT_EQ(mixer->samples.size(), 1u);
}

TEST_F(SoundTest, ModeZeroFollowsTheOpenArchive) {
    TempFolder temp;
    CurrentFolderScope inside(temp.path);
    ASSERT_TRUE(writeZip("media.dat", {{"media/sounds/b.wav", "from the archive"}}));
    FileArchive::open(1, "");
    RefHolder<Sound> sound(new Sound());
    EXPECT_EQ(sound->load(0, 0, "media/sounds/b.wav"), 0);
    FileArchive::close();
    EXPECT_EQ(mixer->takeCalls(), (Calls{"loadSample memory 16 32768"}));
}

TEST_F(SoundTest, DestructionFreesTheSampleOnlyWhileSoundIsAvailable) {
    {
        RefHolder<Sound> sound = loadedSound();
        const int32_t sample = sound->getSample();
        sound.reset();
        EXPECT_EQ(mixer->takeCalls(), (Calls{"freeSample " + std::to_string(sample)}));
    }
    RefHolder<Sound> kept = loadedSound();
    RefHolder<Sound> late(new Sound());
    // Shut-down releases the sound manager before the loader stops: loads and frees that come
    // after it never reach the closed device.
    SoundManager::releaseInstance();
    EXPECT_FALSE(SoundManager::isSoundAvailable());
    EXPECT_EQ(mixer->takeCalls(), (Calls{"close"}));
    EXPECT_EQ(late->load(1, 0, "media/sounds/click.wav"), 0);
    EXPECT_EQ(late->play(255, 128, false), -1);
    EXPECT_EQ(kept->play(255, 128, false), -1);
    EXPECT_EQ(kept->getLength(), 0u);
    kept.reset();
    late.reset();
    EXPECT_TRUE(mixer->takeCalls().empty());
}

TEST(SoundSilent, EveryOperationIsNeutralWhenTheDeviceCannotStart) {
    auto mixer = std::make_shared<FakeAudioMixer>();
    mixer->failStart = true;
    SoundManager::init(44100, 32, mixer);
    EXPECT_FALSE(SoundManager::isSoundAvailable());
    EXPECT_EQ(SoundManager::getMixer(), nullptr);
    mixer->takeCalls();

    RefHolder<Sound> sound(new Sound());
    EXPECT_EQ(sound->load(1, 0, "a.wav"), 0);
    EXPECT_EQ(sound->load(2, 0, "a.wav"), 0);
    EXPECT_EQ(sound->play(255, 128, false), -1);
    EXPECT_EQ(sound->getLength(), 0u);
    sound.reset();
    EXPECT_TRUE(mixer->takeCalls().empty());
    SoundManager::releaseInstance();

    // Without any mixer the manager runs silent too.
    SoundManager::init(44100, 32, nullptr);
    EXPECT_FALSE(SoundManager::isSoundAvailable());
    EXPECT_NE(SoundManager::getInstance(), nullptr);
    SoundManager::releaseInstance();
    EXPECT_EQ(SoundManager::getInstance(), nullptr);
}

TEST(SoundClassTree, ASoundIsAGameNode) {
    RefHolder<Sound> sound(new Sound(0.25f));
    EXPECT_TRUE(sound->isA(&GameNode::typeRecord));
    EXPECT_EQ(objectCast<GameNode>(sound.get()), sound.get());
    EXPECT_FLOAT_EQ(sound->getVolumeMultiplier(), 0.25f);
}

}  // namespace sound_test
