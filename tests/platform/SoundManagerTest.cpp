#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundStream.h"
#include "framework/platform/TaskManager.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeAudioMixer.h"

namespace sound_manager_test {

using Calls = std::vector<std::string>;

constexpr uint32_t GAME_MODE = 306;

class SoundManagerTest : public testing::Test {
protected:
    void SetUp() override {
        manager = SoundManager::init(44100, 32, mixer);
        mixer->takeCalls();
    }
    void TearDown() override { SoundManager::releaseInstance(); }

    static RefHolder<SoundStream> stream(const std::string& fileName) {
        RefHolder<SoundStream> made(new SoundStream());
        made->setFileName(fileName);
        return made;
    }
    // Makes `piece` the current music at full fade level, as the loading screen starts it.
    void playNow(SoundStream* piece) {
        ASSERT_TRUE(manager->startStream(piece, nullptr, GAME_MODE));
        mixer->takeCalls();
    }
    // Plays the first piece as the current one and starts a cross-fade to the second.
    void startCrossFade(int32_t startDelayMs) {
        playNow(first.get());
        manager->playMusic(1000, 1.0f, 100, second.get(), startDelayMs, GAME_MODE);
    }
    int volumeOf(const SoundStream* piece) { return mixer->channels[piece->getChannel()].volume; }
    bool isOpen(int32_t handle) { return mixer->streams[handle].open; }

    std::shared_ptr<FakeAudioMixer> mixer = std::make_shared<FakeAudioMixer>();
    SoundManager* manager = nullptr;
    RefHolder<SoundStream> first = stream("a.ogg");
    RefHolder<SoundStream> second = stream("b.ogg");
};

TEST_F(SoundManagerTest, InitStartsTheDeviceAndTheLastReferenceClosesIt) {
    EXPECT_EQ(SoundManager::getInstance(), manager);
    EXPECT_TRUE(SoundManager::isSoundAvailable());
    EXPECT_EQ(SoundManager::getMixer(), mixer);
    EXPECT_EQ(manager->getEffectsVolume(), 255);

    // The frame task list holds the manager past its release.
    RefHolder<TaskManager> tasks(new TaskManager());
    tasks->addTask(manager);
    SoundManager::releaseInstance();
    EXPECT_EQ(SoundManager::getInstance(), nullptr);
    EXPECT_TRUE(SoundManager::isSoundAvailable());

    // A manager made while the old one lives owns the device; the old one's end leaves it be.
    SoundManager* second = SoundManager::init(22050, 8, mixer);
    tasks.reset();
    EXPECT_TRUE(SoundManager::isSoundAvailable());
    EXPECT_EQ(mixer->takeCalls(), (Calls{"start 22050 8"}));
    EXPECT_EQ(SoundManager::getInstance(), second);
    SoundManager::releaseInstance();
    EXPECT_FALSE(SoundManager::isSoundAvailable());
    EXPECT_EQ(SoundManager::getMixer(), nullptr);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"close"}));
}

TEST_F(SoundManagerTest, StartFadeOfZeroOrNegativeDurationLastsOneMillisecond) {
    manager->startFade(first.get(), 0.25f, 1.0f, 0);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.25f);
    EXPECT_FLOAT_EQ(first->getFadeTarget(), 1.0f);
    EXPECT_FLOAT_EQ(first->getFadeStep(), 0.75f);
    manager->startFade(first.get(), 1.0f, 0.0f, -40);
    EXPECT_FLOAT_EQ(first->getFadeStep(), 1.0f);
    manager->startFade(first.get(), 1.0f, 0.5f, 100);
    EXPECT_FLOAT_EQ(first->getFadeStep(), 0.005f);

    // One millisecond of update reaches the target of a zero-length fade.
    playNow(first.get());
    manager->startFade(first.get(), 1.0f, 0.0f, 0);
    manager->update(1);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.0f);
    EXPECT_EQ(volumeOf(first.get()), 0);
}

TEST_F(SoundManagerTest, StreamVolumeScalesByMultiplierMusicVolumeAndFade) {
    first->setVolumeMultiplier(0.5f);
    playNow(first.get());
    manager->setMusicVolume(128);
    manager->startFade(first.get(), 0.75f, 0.75f, 1);
    manager->setStreamVolume(first.get(), 200);
    // 200 * 0.5 * 128 / 255 * 0.75 = 37.6
    const std::string channel = std::to_string(first->getChannel());
    EXPECT_EQ(mixer->takeCalls(), (Calls{"setVolumeAbsolute " + channel + " 38"}));
    EXPECT_EQ(first->getVolume(), 200);

    manager->setStreamVolume(first.get(), 999);
    EXPECT_EQ(first->getVolume(), 255);
    // A stream that is not open only stores its volume.
    manager->setStreamVolume(second.get(), 10);
    EXPECT_EQ(second->getVolume(), 10);
    EXPECT_EQ(mixer->takeCalls().size(), 1u);
}

TEST_F(SoundManagerTest, WhileMutedVolumesAreStoredAndUnmutingAppliesThem) {
    playNow(first.get());
    const std::string channel = std::to_string(first->getChannel());
    manager->setMute(true);
    EXPECT_TRUE(manager->isMuted());
    EXPECT_EQ(mixer->takeCalls(),
              (Calls{"setEffectsMasterVolume 0", "setVolumeAbsolute " + channel + " 0"}));

    manager->setStreamVolume(first.get(), 255);
    manager->setEffectsVolume(90);
    manager->startFade(first.get(), 1.0f, 0.0f, 100);
    manager->update(50);
    EXPECT_TRUE(mixer->takeCalls().empty());
    EXPECT_EQ(first->getVolume(), 255);
    EXPECT_EQ(manager->getEffectsVolume(), 90);

    manager->setMute(false);
    EXPECT_EQ(mixer->takeCalls(),
              (Calls{"setEffectsMasterVolume 90", "setVolumeAbsolute " + channel + " 128"}));
    manager->setEffectsVolume(40);
    EXPECT_EQ(mixer->effectsMasterVolume, 40);

    // A piece started while muted stays silent until the mute ends.
    manager->setMute(true);
    ASSERT_TRUE(manager->startStream(second.get(), nullptr, GAME_MODE));
    const FakeAudioMixer::ChannelState& heard = mixer->channels[second->getChannel()];
    EXPECT_EQ(heard.loudestHeard, 0);
    manager->setMute(false);
    EXPECT_EQ(heard.loudestHeard, 128);
}

TEST_F(SoundManagerTest, StartStreamOpensAddsSyncPointsResumesAndPlays) {
    RefHolder<SoundStream> piece = stream("music/a.ogg");
    RefHolder<PropertyNode> points(new PropertyNode("root"));
    auto* list = static_cast<PropertyVector*>(points->addChild(new PropertyVector("SyncPoints")));
    for (int32_t offset : {1000, 52000}) {
        auto* point = static_cast<PropertyNode*>(list->addChild(new PropertyNode("")));
        point->addChild(new PropertyValue("value", offset));
    }
    EXPECT_TRUE(piece->loadSyncPoints(points.get()));

    EXPECT_TRUE(manager->startStream(piece.get(), nullptr, GAME_MODE));
    const std::string handle = std::to_string(piece->getHandle());
    const std::string channel = std::to_string(piece->getChannel());
    EXPECT_EQ(mixer->takeCalls(),
              (Calls{"openStream music/a.ogg 306", "addSyncPoint " + handle + " 1000",
                     "addSyncPoint " + handle + " 52000", "playStream " + handle + " paused",
                     "setVolumeAbsolute " + channel + " 128", "setPaused " + channel + " 0"}));
    EXPECT_EQ(manager->getCurrentStream(), piece.get());
    EXPECT_TRUE(manager->startStream(piece.get(), piece.get(), GAME_MODE));
    EXPECT_TRUE(mixer->takeCalls().empty());

    // Another piece replaces the current one when no cross-fade runs.
    RefHolder<SoundStream> other = stream("music/b.ogg");
    mixer->failStreamOpen = true;
    EXPECT_FALSE(manager->startStream(other.get(), nullptr, GAME_MODE));
    EXPECT_FALSE(piece->isOpen());
    EXPECT_EQ(piece->getChannel(), -1);
    EXPECT_EQ(manager->getCurrentStream(), other.get());
    EXPECT_EQ(other->getChannel(), -1);
}

TEST_F(SoundManagerTest, CrossFadeMovesBothLevelsAndClosesTheOutgoingPiece) {
    startCrossFade(0);
    const int32_t firstHandle = first->getHandle();
    EXPECT_TRUE(manager->isChangePending());
    EXPECT_EQ(manager->getCurrentStream(), first.get());
    EXPECT_EQ(manager->getNextStream(), second.get());
    ASSERT_TRUE(second->isOpen());
    EXPECT_EQ(volumeOf(second.get()), 0);

    manager->update(50);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.95f);
    EXPECT_FLOAT_EQ(second->getFadeLevel(), 0.5f);
    EXPECT_EQ(volumeOf(first.get()), 122);
    EXPECT_EQ(volumeOf(second.get()), 64);

    // The incoming level never passes its target; reaching it ends the change.
    manager->update(80);
    EXPECT_FLOAT_EQ(second->getFadeLevel(), 1.0f);
    EXPECT_FALSE(manager->isChangePending());
    EXPECT_EQ(manager->getCurrentStream(), second.get());
    EXPECT_FALSE(isOpen(firstHandle));
    EXPECT_FALSE(first->isOpen());
    EXPECT_TRUE(second->isOpen());
}

TEST_F(SoundManagerTest, StartDelayHoldsTheIncomingPieceThenRestartsItFromTheBeginning) {
    startCrossFade(600);
    mixer->streams[second->getHandle()].position = 9000;
    mixer->takeCalls();

    manager->update(300);
    EXPECT_EQ(manager->getStartDelay(), 300);
    EXPECT_FLOAT_EQ(second->getFadeLevel(), 0.0f);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.7f);
    manager->update(301);
    EXPECT_EQ(manager->getStartDelay(), 0);
    EXPECT_FLOAT_EQ(second->getFadeLevel(), 0.0f);
    EXPECT_NE(std::ranges::count(mixer->takeCalls(),
                                 "setStreamPosition " + std::to_string(second->getHandle()) + " 0"),
              0);
    manager->update(50);
    EXPECT_FLOAT_EQ(second->getFadeLevel(), 0.5f);
}

TEST_F(SoundManagerTest, PlayingTheCurrentPieceOnlyRetargetsItsFade) {
    playNow(first.get());
    const int32_t channel = first->getChannel();
    RefHolder<SoundStream> sameFile = stream("a.ogg");
    manager->playMusic(1000, 0.5f, 100, sameFile.get(), 600, GAME_MODE);

    const Calls calls = mixer->takeCalls();
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], "playStream " + std::to_string(first->getHandle()) + " paused");
    EXPECT_TRUE(mixer->isPlaying(channel));
    EXPECT_EQ(first->getChannel(), channel);
    EXPECT_FALSE(manager->isChangePending());
    EXPECT_EQ(manager->getCurrentStream(), first.get());
    EXPECT_FLOAT_EQ(first->getFadeTarget(), 0.5f);
    EXPECT_FLOAT_EQ(first->getFadeStep(), 0.0005f);
    EXPECT_FALSE(sameFile->isOpen());
}

TEST_F(SoundManagerTest, SecondPlayDuringCrossFadeClosesTheOutgoingPieceAtOnce) {
    RefHolder<SoundStream> third = stream("c.ogg");
    startCrossFade(0);
    const int32_t firstHandle = first->getHandle();
    manager->update(40);
    manager->playMusic(1000, 1.0f, 100, third.get(), 0, GAME_MODE);

    EXPECT_FALSE(isOpen(firstHandle));
    EXPECT_EQ(manager->getCurrentStream(), second.get());
    EXPECT_EQ(manager->getNextStream(), third.get());
    EXPECT_TRUE(manager->isChangePending());
    // The piece that was fading in now fades out from where it got to.
    EXPECT_FLOAT_EQ(second->getFadeLevel(), 0.4f);
    EXPECT_FLOAT_EQ(second->getFadeTarget(), 0.0f);
    EXPECT_TRUE(second->isOpen());
    EXPECT_TRUE(third->isOpen());
    manager->update(100);
    EXPECT_EQ(manager->getCurrentStream(), third.get());
    EXPECT_FALSE(second->isOpen());
}

TEST_F(SoundManagerTest, RequestingThePieceThatIsFadingInKeepsItPlaying) {
    startCrossFade(0);
    manager->update(40);
    const int32_t channel = second->getChannel();
    manager->playMusic(1000, 0.8f, 200, second.get(), 0, GAME_MODE);
    EXPECT_EQ(second->getChannel(), channel);
    EXPECT_FLOAT_EQ(second->getFadeTarget(), 0.8f);

    manager->update(400);
    EXPECT_FALSE(manager->isChangePending());
    EXPECT_EQ(manager->getCurrentStream(), second.get());
    EXPECT_TRUE(second->isOpen());
    EXPECT_TRUE(mixer->isPlaying(second->getChannel()));
    EXPECT_FALSE(first->isOpen());
}

TEST_F(SoundManagerTest, MusicStartedFromSilenceFadesInAndBecomesCurrent) {
    manager->playMusic(1000, 1.0f, 100, first.get(), 0, GAME_MODE);
    EXPECT_EQ(manager->getCurrentStream(), nullptr);
    // Not one mix at full volume before the fade begins.
    EXPECT_EQ(mixer->channels[first->getChannel()].loudestHeard, 0);
    manager->update(50);
    EXPECT_EQ(volumeOf(first.get()), 64);
    manager->update(50);
    EXPECT_EQ(volumeOf(first.get()), 128);
    EXPECT_EQ(manager->getCurrentStream(), first.get());
    EXPECT_FALSE(manager->isChangePending());
    EXPECT_TRUE(mixer->isPlaying(first->getChannel()));
}

TEST_F(SoundManagerTest, FadeOutStopsWhenSilentAndTheNextStartResumes) {
    EXPECT_FALSE(manager->fadeOutMusic(800));  // nothing plays
    playNow(first.get());
    const int32_t handle = first->getHandle();

    EXPECT_FALSE(manager->fadeOutMusic(800));
    EXPECT_TRUE(manager->isFadingOut());
    EXPECT_FALSE(manager->fadeOutMusic(800));
    manager->update(400);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.5f);
    mixer->streams[handle].position = 70000;
    manager->update(400);
    EXPECT_FALSE(manager->isFadingOut());
    EXPECT_TRUE(manager->isStopped());
    EXPECT_EQ(first->getResumePosition(), 70000u);
    EXPECT_TRUE(first->isOpen());
    EXPECT_FALSE(mixer->isPlaying(first->getChannel()));
    EXPECT_FALSE(manager->fadeOutMusic(0));
    mixer->takeCalls();

    // Playing the same piece again fades it back in from where it stopped.
    manager->playMusic(200, 1.0f, 100, first.get(), 600, GAME_MODE);
    const std::string h = std::to_string(handle);
    EXPECT_EQ(mixer->takeCalls()[0], "setStreamPosition " + h + " 70000");
    EXPECT_FALSE(manager->isStopped());
    EXPECT_EQ(first->getResumePosition(), 0u);
    EXPECT_TRUE(mixer->isPlaying(first->getChannel()));
    manager->update(100);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.5f);
}

TEST_F(SoundManagerTest, FadeOutDuringCrossFadeSilencesBothPieces) {
    startCrossFade(600);
    EXPECT_FALSE(manager->fadeOutMusic(200));
    EXPECT_EQ(manager->getStartDelay(), 0);
    EXPECT_FLOAT_EQ(second->getFadeTarget(), 0.0f);

    manager->update(200);
    // The outgoing piece closed; the incoming one stopped and keeps its place.
    EXPECT_FALSE(first->isOpen());
    EXPECT_EQ(manager->getCurrentStream(), second.get());
    EXPECT_FALSE(manager->isChangePending());
    EXPECT_TRUE(manager->isStopped());
    EXPECT_TRUE(second->isOpen());
    EXPECT_FALSE(mixer->isPlaying(second->getChannel()));
}

TEST_F(SoundManagerTest, StopsCloseStreamsAndFailedStopsKeepHandleAndChannel) {
    startCrossFade(0);

    mixer->failStreamClose = true;
    const int32_t handle = first->getHandle();
    const int32_t channel = first->getChannel();
    EXPECT_FALSE(manager->stopStream(first.get()));
    EXPECT_EQ(first->getHandle(), handle);
    EXPECT_EQ(first->getChannel(), channel);
    mixer->failStreamClose = false;

    manager->stopMusic();
    EXPECT_FALSE(first->isOpen());
    EXPECT_FALSE(second->isOpen());
    EXPECT_EQ(second->getChannel(), -1);
    EXPECT_EQ(manager->getCurrentStream(), first.get());
    EXPECT_EQ(manager->getNextStream(), second.get());
}

TEST_F(SoundManagerTest, TheTaskListDrivesTheFades) {
    playNow(first.get());
    manager->startFade(first.get(), 1.0f, 0.0f, 100);
    RefHolder<TaskManager> tasks(new TaskManager());
    tasks->addTask(manager);
    tasks->update(25);
    EXPECT_FLOAT_EQ(first->getFadeLevel(), 0.75f);
    tasks.reset();
}

TEST_F(SoundManagerTest, StreamsCloseThemselvesOnlyWhileSoundIsAvailable) {
    startCrossFade(0);
    // During a change a started stream takes no slot: the last reference closes it.
    RefHolder<SoundStream> loose = stream("c.ogg");
    ASSERT_TRUE(manager->startStream(loose.get(), nullptr, GAME_MODE));
    const int32_t handle = loose->getHandle();
    mixer->takeCalls();
    loose.reset();
    EXPECT_EQ(mixer->takeCalls(), (Calls{"closeStream " + std::to_string(handle)}));

    // After shut-down the streams that resources still hold leave the closed device alone.
    SoundManager::releaseInstance();
    EXPECT_EQ(mixer->takeCalls(), (Calls{"close"}));
    first.reset();
    second.reset();
    EXPECT_TRUE(mixer->takeCalls().empty());
}

TEST(SoundManagerSilent, MusicOperationsDoNothingWhenTheDeviceCannotStart) {
    auto mixer = std::make_shared<FakeAudioMixer>();
    mixer->failStart = true;
    SoundManager* manager = SoundManager::init(44100, 32, mixer);
    mixer->takeCalls();
    RefHolder<SoundStream> piece(new SoundStream());
    piece->setFileName("a.ogg");

    EXPECT_FALSE(manager->startStream(piece.get(), nullptr, GAME_MODE));
    manager->playMusic(1000, 1.0f, 100, piece.get(), 600, GAME_MODE);
    manager->update(50);
    manager->setMute(true);
    manager->setStreamVolume(piece.get(), 10);
    manager->startFade(piece.get(), 0.0f, 0.5f, 10);
    EXPECT_FALSE(manager->fadeOutMusic(0));
    EXPECT_FALSE(manager->stopStream(piece.get()));
    manager->stopMusic();
    manager->stopCurrentMusic();
    manager->setEffectsVolume(20);

    EXPECT_TRUE(mixer->takeCalls().empty());
    EXPECT_EQ(manager->getCurrentStream(), nullptr);
    EXPECT_EQ(manager->getNextStream(), nullptr);
    EXPECT_FALSE(manager->isMuted());
    EXPECT_EQ(piece->getVolume(), 128);
    EXPECT_FLOAT_EQ(piece->getFadeLevel(), 1.0f);
    SoundManager::releaseInstance();
    piece.reset();
    EXPECT_EQ(mixer->takeCalls(), (Calls{"close"}));
}

TEST(SoundStreamSyncPoints, OnlyNodesWithAValueCountAndAMissingListGivesNone) {
    RefHolder<PropertyNode> tree(new PropertyNode("root"));
    RefHolder<SoundStream> empty(new SoundStream());
    EXPECT_TRUE(empty->loadSyncPoints(tree.get()));
    EXPECT_TRUE(empty->loadSyncPoints(nullptr));
    EXPECT_TRUE(empty->getSyncPoints().empty());

    auto* list = static_cast<PropertyVector*>(tree->addChild(new PropertyVector("SyncPoints")));
    auto* first = static_cast<PropertyNode*>(list->addChild(new PropertyNode("")));
    first->addChild(new PropertyValue("value", int32_t{4410}));
    list->addChild(new PropertyNode(""));                    // no value: skipped
    list->addChild(new PropertyValue("value", int32_t{5}));  // not a node: skipped
    auto* last = static_cast<PropertyNode*>(list->addChild(new PropertyNode("")));
    last->addChild(new PropertyValue("value", "88200"));
    RefHolder<SoundStream> stream(new SoundStream());
    EXPECT_TRUE(stream->loadSyncPoints(tree.get()));
    EXPECT_EQ(stream->getSyncPoints(), (std::vector<uint32_t>{4410, 88200}));
    EXPECT_EQ(stream->getChannel(), -1);
    EXPECT_EQ(stream->getVolume(), 128);
    EXPECT_EQ(stream->getPan(), 128);
}

TEST(SoundStreamSyncPoints, LoadsTheSyncPointsFile) {
    TempFolder folder;
    const std::string file = folder / "sync-points.xml";
    writeTestFile(file,
                  "<root><Vector id=\"SyncPoints\"><Node value=\"100\"/>"
                  "<Node other=\"1\"/><Node value=\"#10\"/></Vector></root>");
    RefHolder<SoundStream> stream(new SoundStream());
    EXPECT_TRUE(stream->load(file));
    EXPECT_EQ(stream->getSyncPoints(), (std::vector<uint32_t>{100, 16}));

    RefHolder<SoundStream> missing(new SoundStream());
    EXPECT_TRUE(missing->load(folder / "no-such-file.xml"));
    EXPECT_TRUE(missing->getSyncPoints().empty());
}

}  // namespace sound_manager_test
