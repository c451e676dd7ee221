// Sprites and sound modifiers find their resources through the resource manager without
// loading them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/core/GameNode.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundNode.h"
#include "platform/ResourceFiles.h"
#include "testsupport/os/FakeAudioMixer.h"

namespace resource_lookup_test {

int countPlays(FakeAudioMixer& mixer) {
    int plays = 0;
    for (const std::string& call : mixer.takeCalls()) {
        plays += call.rfind("playSample", 0) == 0;
    }
    return plays;
}

class ResourceLookupTest : public ResourceFilesTest {
protected:
    void SetUp() override {
        ResourceFilesTest::SetUp();
        mixer = std::make_shared<FakeAudioMixer>();
        // Every loaded sample lasts 300 ms.
        mixer->loadedSampleLength = 44100 * 3 / 10;
        SoundManager::init(44100, 32, mixer);
        putBytes("media/images/strip.png", testPicturePng(6, 12));
        manager = idleManager(
            "<Section id=\"game\" name=\"game\">"
            "<Image id=\"STRIP\" file=\"media/images/strip.png\" nrofframes=\"3\"/>"
            "<Sound id=\"CLICK\" file=\"media/sounds/click.wav\" volumemultiplier=\"1.0\"/>"
            "</Section>");
    }
    void TearDown() override {
        ResourceFilesTest::TearDown();
        SoundManager::releaseInstance();
    }

    RefHolder<Sprite> spriteOf(const std::string& image, const std::string& section) {
        RefHolder<PropertyNode> definition(new PropertyNode("entry", "Sprite"));
        definition->addChild(new PropertyValue("image", image, true));
        if (!section.empty()) {
            definition->addChild(new PropertyValue("section", section, true));
        }
        return RefHolder<Sprite>(new Sprite(definition.get()));
    }

    std::shared_ptr<FakeAudioMixer> mixer;
    ResourceManager* manager = nullptr;
};

TEST_F(ResourceLookupTest, ASpriteGetsItsImageOnlyOnceItHasLoaded) {
    RefHolder<Sprite> early = spriteOf("STRIP", "game");
    EXPECT_EQ(early->getImage(), nullptr);
    EXPECT_EQ(early->getWidth(), 0);
    EXPECT_EQ(manager->getResourceHandle("STRIP", "game"), nullptr);

    BaseObject* loaded = manager->getLoadedResourceHandle("STRIP", "game");
    ASSERT_NE(loaded, nullptr);
    RefHolder<Sprite> late = spriteOf("STRIP", "game");
    EXPECT_EQ(late->getImage(), loaded);
    // Cut into the resource's three frames.
    EXPECT_EQ(late->getWidth(), 6);
    EXPECT_EQ(late->getHeight(), 4);
    EXPECT_EQ(late->getFrameCount(), 3);
    EXPECT_EQ(late->getFrameStepY(), 4);

    EXPECT_EQ(spriteOf("STRIP", "")->getImage(), nullptr);
    EXPECT_EQ(spriteOf("STRIP", "lobby")->getImage(), nullptr);
    EXPECT_EQ(spriteOf("CLICK", "game")->getImage(), nullptr);
}

TEST_F(ResourceLookupTest, ASoundModifierPlaysTheNamedSound) {
    RefHolder<ModifierSound> early(new ModifierSound("CLICK", "game", false));
    EXPECT_EQ(early->getSound(), nullptr);

    auto* sound = objectCast<Sound>(manager->getLoadedResourceHandle("CLICK", "game"));
    ASSERT_NE(sound, nullptr);
    const int32_t references = sound->getRefCount();
    RefHolder<ModifierSound> named(new ModifierSound("CLICK", "game", false));
    EXPECT_EQ(named->getSound(), sound);
    EXPECT_EQ(sound->getRefCount(), references + 1);
    mixer->takeCalls();
    named->update(200);
    EXPECT_EQ(countPlays(*mixer), 1);
    EXPECT_FALSE(named->isFinished());
    named->update(100);
    EXPECT_TRUE(named->isFinished());
}

TEST_F(ResourceLookupTest, WithoutASoundOfItsOwnItPlaysItsSoundNodeTarget) {
    auto* sound = objectCast<Sound>(manager->getLoadedResourceHandle("CLICK", "game"));
    ASSERT_NE(sound, nullptr);
    RefHolder<SoundNode> node(new SoundNode(sound));
    mixer->takeCalls();
    RefHolder<ModifierSound> modifier(new ModifierSound(nullptr));
    GameNode::addModifier(node.get(), modifier.get());
    GameNode::tick(node.get(), 100);
    EXPECT_EQ(countPlays(*mixer), 1);
    EXPECT_EQ(node->getUsers(), 1);
    EXPECT_FALSE(modifier->isFinished());
    GameNode::tick(node.get(), 200);
    EXPECT_TRUE(modifier->isFinished());
    EXPECT_TRUE(node->getRunningModifiers().empty());

    RefHolder<ModifierSound> quick(new ModifierSound(nullptr, true));
    quick->setTarget(node.get());
    quick->update(0);
    EXPECT_TRUE(quick->isFinished());
}

}  // namespace resource_lookup_test
