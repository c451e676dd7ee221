#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "testsupport/os/FakeAudioMixer.h"

namespace modifier_sound_test {

class ModifierSoundTest : public testing::Test {
protected:
    void TearDown() override { SoundManager::releaseInstance(); }

    // Sound through a recording mixer; every loaded sample lasts `lengthMs`.
    void startSound(uint32_t lengthMs) {
        mixer = std::make_shared<FakeAudioMixer>();
        mixer->loadedSampleLength = 441 * lengthMs / 10;
        SoundManager::init(44100, 32, mixer);
    }
    RefHolder<Sound> loadedSound() {
        RefHolder<Sound> sound(new Sound(1.0f));
        EXPECT_EQ(sound->load(1, 0, "media/sounds/click.wav"), 0);
        mixer->takeCalls();
        return sound;
    }
    int playCount() const {
        int plays = 0;
        for (const std::string& call : mixer->takeCalls()) {
            plays += call.rfind("playSample", 0) == 0;
        }
        return plays;
    }

    std::shared_ptr<FakeAudioMixer> mixer;
};

TEST_F(ModifierSoundTest, PlaysOnceAndLastsTheSoundsLength) {
    startSound(250);
    RefHolder<Sound> sound = loadedSound();
    ASSERT_EQ(sound->getLength(), 250u);
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierSound> modifier(new ModifierSound(sound.get()));
    modifier->setTarget(node.get());
    modifier->update(100);
    EXPECT_EQ(playCount(), 1);
    EXPECT_FALSE(modifier->isFinished());
    modifier->update(100);
    EXPECT_FALSE(modifier->isFinished());
    modifier->update(50);
    EXPECT_TRUE(modifier->isFinished());
    EXPECT_EQ(playCount(), 0);
    EXPECT_EQ(sound->getRefCount(), 2);

    RefHolder<ModifierSound> quick(new ModifierSound(sound.get(), true));
    quick->update(0);
    EXPECT_TRUE(quick->isFinished());
    EXPECT_EQ(playCount(), 1);
}

TEST_F(ModifierSoundTest, WithoutSoundItFinishesInTheFirstUpdate) {
    // The device never started: the length is 0.
    SoundManager::init(44100, 32, nullptr);
    RefHolder<Sound> silent(new Sound(1.0f));
    RefHolder<ModifierSound> modifier(new ModifierSound(silent.get()));
    modifier->update(0);
    EXPECT_TRUE(modifier->isFinished());

    // No sound of its own and a target that plays none: done at once.
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierSound> nothing(new ModifierSound(nullptr));
    nothing->setTarget(node.get());
    nothing->update(16);
    EXPECT_TRUE(nothing->isFinished());
    // A resource that has not loaded gives no sound.
    RefHolder<ModifierSound> byName(new ModifierSound("SOUND_NOT_LOADED", "game", false));
    EXPECT_EQ(byName->getSound(), nullptr);
    byName->update(16);
    EXPECT_TRUE(byName->isFinished());
}

}  // namespace modifier_sound_test
