// Sound nodes against the recording mixer: shared users, the restart interval, forced stops,
// the end of a sound, and panning by the node's place in the game window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundNode.h"
#include "platform/FakeWindow.h"
#include "testsupport/os/FakeAudioMixer.h"
#include "testsupport/os/FakeFileSystem.h"

namespace sound_node_test {

using Calls = std::vector<std::string>;

int countCalls(const Calls& calls, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

// A definition node of a sound node with the given untyped values.
RefHolder<PropertyNode> definition(
    std::initializer_list<std::pair<const char*, const char*>> values) {
    RefHolder<PropertyNode> node = new PropertyNode("node", "SoundNode");
    for (const auto& [key, value] : values) {
        node->addChild(new PropertyValue(key, std::string(value), true));
    }
    return node;
}

// The recording mixer, a one-second sound, and a resource manager (on files in memory) whose
// section "s" holds that sound as "CLICK"; the pan tests open the game window.
class SoundNodeTest : public FakeWindowTest {
protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        FileSystem::setCurrent(&files);
        FileArchive::close();
        mixer = std::make_shared<FakeAudioMixer>();
        SoundManager::init(44100, 32, mixer);
        sound = new Sound(1.0f);
        EXPECT_EQ(sound->load(1, 304, "click.wav"), 0);
        const std::string list =
            "<root><Node id=\"Sections\"><Section id=\"s\" name=\"s\"><Sound id=\"CLICK\" "
            "file=\"click.wav\" volumemultiplier=\"1.0\"/></Section></Node></root>";
        files.files["resources.xml"].assign(list.begin(), list.end());
        ResourceManager::createInstance()->loadSectionList("resources.xml");
        mixer->takeCalls();
    }
    void TearDown() override {
        sound = nullptr;
        ResourceManager::stopLoader();
        SoundManager::releaseInstance();
        FileSystem::setCurrent(nullptr);
        FakeWindowTest::TearDown();
    }
    // A node made from a definition whose sound is "CLICK" of "s", with more keys.
    RefHolder<SoundNode> definedNode(
        std::initializer_list<std::pair<const char*, const char*>> values) {
        RefHolder<PropertyNode> node = definition(values);
        node->addChild(new PropertyValue("sound", std::string("CLICK"), true));
        node->addChild(new PropertyValue("section", std::string("s"), true));
        RefHolder<SoundNode> made = new SoundNode(node.get());
        EXPECT_NE(made->getSound(), nullptr);
        mixer->takeCalls();
        return made;
    }

    FakeFileSystem files;
    std::shared_ptr<FakeAudioMixer> mixer;
    RefHolder<Sound> sound;
};

TEST_F(SoundNodeTest, KeysAndTheSoundFromTheResourceManager) {
    ResourceManager* manager = ResourceManager::getInstance();
    RefHolder<SoundNode> full = new SoundNode(definition({{"sound", "CLICK"},
                                                          {"section", "s"},
                                                          {"looped", "true"},
                                                          {"volume", "90"},
                                                          {"panning", "30"},
                                                          {"screenpospanning", "true"},
                                                          {"panminx", "5"},
                                                          {"panmaxx", "6"},
                                                          {"panminvalue", "20"},
                                                          {"panmaxvalue", "200"},
                                                          {"forcedrestart", "true"},
                                                          {"forcedstop", "true"},
                                                          {"maxusers", "3"},
                                                          {"minstartinterval", "50"},
                                                          {"x", "12"}})
                                                  .get());
    EXPECT_EQ(full->getSound(), manager->getResourceHandle("CLICK", "s"));
    ASSERT_NE(full->getSound(), nullptr);
    EXPECT_TRUE(full->isLooped());
    EXPECT_EQ(full->getVolume(), 90);
    EXPECT_EQ(full->getPan(), 30);
    EXPECT_TRUE(full->getScreenPositionPanning());
    EXPECT_EQ(full->getPanMinX(), 5);
    EXPECT_EQ(full->getPanMaxX(), 6);
    EXPECT_EQ(full->getLowestPan(), 20);
    EXPECT_EQ(full->getHighestPan(), 200);
    EXPECT_TRUE(full->getForcedRestart());
    EXPECT_TRUE(full->getForcedStop());
    EXPECT_EQ(full->getMaxUsers(), 3);
    EXPECT_EQ(full->getMinStartInterval(), 50);
    EXPECT_EQ(full->getX(), 12);  // the node's own keys too

    RefHolder<SoundNode> bare = new SoundNode(definition({{"sound", "CLICK"}}).get());
    EXPECT_EQ(bare->getSound(), nullptr);  // a key without its section finds nothing
    EXPECT_FALSE(bare->isLooped());
    EXPECT_EQ(bare->getVolume(), 255);
    EXPECT_EQ(bare->getPan(), 128);
    EXPECT_EQ(bare->getPanMinX(), -1);
    EXPECT_EQ(bare->getLowestPan(), 0);
    EXPECT_EQ(bare->getHighestPan(), 255);
    EXPECT_EQ(bare->getMaxUsers(), 1);
    EXPECT_EQ(bare->getMinStartInterval(), 200);
    EXPECT_EQ(bare->getChannel(), -1);
    RefHolder<SoundNode> unknown =
        new SoundNode(definition({{"sound", "NONE"}, {"section", "s"}}).get());
    EXPECT_EQ(unknown->getSound(), nullptr);
}

TEST_F(SoundNodeTest, WithoutASoundNothingPlays) {
    RefHolder<SoundNode> silent = new SoundNode(static_cast<Sound*>(nullptr));
    EXPECT_EQ(silent->play(true, 255, 128, false), -1);
    EXPECT_FALSE(silent->stop(true));
    EXPECT_EQ(silent->getLength(), 0u);
    silent->update(1000);
    EXPECT_EQ(silent->getUsers(), 0);
    EXPECT_TRUE(mixer->takeCalls().empty());
}

TEST_F(SoundNodeTest, TheVolumeOfASoundNodeFollowsTheMultiplier) {
    sound->setVolumeMultiplier(0.5f);
    EXPECT_EQ(SoundNode(sound.get()).getVolume(), 128);  // 127.5 to the nearest even
    sound->setVolumeMultiplier(0.2f);
    EXPECT_EQ(SoundNode(sound.get()).getVolume(), 51);
}

TEST_F(SoundNodeTest, ALoopingNodeIsSharedByItsUsers) {
    RefHolder<SoundNode> loop = new SoundNode(sound.get());
    const int32_t channel = loop->play(false, 255, 128, true);
    EXPECT_GE(channel, 0);
    EXPECT_EQ(loop->play(false, 255, 128, true), channel);
    EXPECT_EQ(loop->getUsers(), 2);
    EXPECT_EQ(countCalls(mixer->takeCalls(), "playSample"), 1);

    EXPECT_FALSE(loop->stop(false));
    EXPECT_TRUE(mixer->takeCalls().empty());
    EXPECT_TRUE(loop->stop(false));
    EXPECT_EQ(mixer->takeCalls(), (Calls{"stopChannel " + std::to_string(channel)}));
    EXPECT_EQ(loop->getChannel(), -1);
    EXPECT_FALSE(loop->stop(false));  // no user left
    // A looping sound never ends by itself.
    loop->play(false, 255, 128, true);
    loop->update(5000);
    EXPECT_EQ(loop->getUsers(), 1);
}

TEST_F(SoundNodeTest, ANonLoopingNodeRestartsOnlyAfterTheMinimumInterval) {
    RefHolder<SoundNode> click = new SoundNode(sound.get());
    click->play(false, 255, 128, false);
    click->update(150);
    click->play(false, 255, 128, false);
    EXPECT_EQ(countCalls(mixer->takeCalls(), "playSample"), 1);
    EXPECT_EQ(click->getUsers(), 2);
    click->update(50);
    click->play(false, 255, 128, false);
    EXPECT_EQ(countCalls(mixer->takeCalls(), "playSample"), 1);
    EXPECT_EQ(click->getRemainingTime(), 1000);
    // Forced restarts ignore the interval.
    click->play(true, 255, 128, false);
    EXPECT_EQ(countCalls(mixer->takeCalls(), "playSample"), 1);
}

TEST_F(SoundNodeTest, AForcedStopEndsTheSoundWhateverTheUsers) {
    RefHolder<SoundNode> loop = new SoundNode(sound.get());
    const int32_t channel = loop->play(false, 255, 128, true);
    loop->play(false, 255, 128, true);
    loop->play(false, 255, 128, true);
    mixer->takeCalls();
    EXPECT_TRUE(loop->stop(true));
    EXPECT_EQ(loop->getUsers(), 0);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"stopChannel " + std::to_string(channel)}));

    // The forced-stop key forces every stop; the forced-restart key every start.
    RefHolder<SoundNode> forced =
        definedNode({{"forcedstop", "true"}, {"forcedrestart", "true"}, {"looped", "true"}});
    forced->play(false, 255, 128, false);
    const int32_t latest = forced->play(false, 255, 128, false);
    EXPECT_EQ(countCalls(mixer->takeCalls(), "playSample"), 2);
    EXPECT_EQ(forced->getUsers(), 2);
    EXPECT_TRUE(forced->stop(false));
    EXPECT_EQ(forced->getUsers(), 0);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"stopChannel " + std::to_string(latest)}));
    // With no user left only a forced stop goes on (and finds no channel to stop).
    RefHolder<SoundNode> idle = new SoundNode(sound.get());
    EXPECT_FALSE(idle->stop(false));
    EXPECT_FALSE(idle->stop(true));
    EXPECT_TRUE(mixer->takeCalls().empty());
}

TEST_F(SoundNodeTest, ANonLoopingSoundStopsWhenItsTimeIsUp) {
    RefHolder<SoundNode> click = new SoundNode(sound.get());
    const int32_t channel = click->play(false, 200, 60, false);
    const std::string on = " " + std::to_string(channel);
    EXPECT_EQ(mixer->takeCalls(),
              (Calls{"setSampleMode 1 1", "playSample 1 paused", "setVolume" + on + " 200",
                     "setPan" + on + " 60", "setPaused" + on + " 0", "sampleLength 1"}));
    click->update(999);
    EXPECT_EQ(click->getUsers(), 1);
    click->update(1);
    EXPECT_EQ(click->getUsers(), 0);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"stopChannel " + std::to_string(channel)}));
    EXPECT_FALSE(click->isPlaying());
}

TEST_F(SoundNodeTest, DestructionStopsTheChannel) {
    int32_t channel = -1;
    {
        RefHolder<SoundNode> loop = new SoundNode(sound.get());
        channel = loop->play(false, 255, 128, true);
        mixer->takeCalls();
    }
    EXPECT_EQ(mixer->takeCalls(), (Calls{"stopChannel " + std::to_string(channel)}));
}

TEST_F(SoundNodeTest, ThePanFollowsThePlaceAcrossTheWindow) {
    open(false);
    ASSERT_EQ(GameWindow::getInstance()->getWidth(), 800);
    RefHolder<GameNode> parent = new GameNode();
    parent->setX(300);
    RefHolder<SoundNode> node =
        new SoundNode(definition({{"screenpospanning", "true"}, {"x", "100"}}).get());
    GameNode::appendChild(node.get(), parent.get());
    EXPECT_EQ(node->computePan(), 128);  // 400 of 800: 127.5 to the nearest even
    node->setX(-300);
    EXPECT_EQ(node->computePan(), 0);
    node->setX(500);
    EXPECT_EQ(node->computePan(), 255);
    // Beyond the edges the pan stays at that side.
    node->setX(600);
    EXPECT_EQ(node->computePan(), 255);
    node->setX(-310);
    EXPECT_EQ(node->computePan(), 0);
}

TEST_F(SoundNodeTest, AScreenPannedNodePansItsChannelEachFrameWithinItsLimits) {
    open(false);
    RefHolder<SoundNode> node = definedNode({{"screenpospanning", "true"}, {"looped", "true"}});
    const std::string setPan = "setPan " + std::to_string(node->play(false, 255, 128, true));
    mixer->takeCalls();
    node->setX(0);
    node->update(16);
    node->setX(800);
    node->update(16);
    EXPECT_EQ(mixer->takeCalls(), (Calls{setPan + " 0", setPan + " 255"}));

    RefHolder<SoundNode> limited =
        definedNode({{"screenpospanning", "true"}, {"panminvalue", "20"}, {"panmaxvalue", "200"}});
    limited->setX(0);
    limited->update(16);
    EXPECT_EQ(limited->getPan(), 20);
    limited->setX(800);
    limited->update(16);
    EXPECT_EQ(limited->getPan(), 200);
    // Without screen panning the pan stays as defined.
    RefHolder<SoundNode> fixed = definedNode({{"panning", "60"}});
    fixed->setX(800);
    fixed->update(16);
    EXPECT_EQ(fixed->getPan(), 60);
}

}  // namespace sound_node_test
