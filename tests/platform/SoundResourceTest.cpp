// Sound and music resources: their keys, how their files are read, what they yield, sharing,
// and their diagnostic texts, against the recording mixer.
#include <gtest/gtest.h>

#include <memory>

#include "framework/core/DataScrambler.h"
#include "framework/platform/ResourceSection.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundResource.h"
#include "framework/platform/SoundStream.h"
#include "framework/platform/StreamResource.h"
#include "platform/ResourceFiles.h"
#include "testsupport/os/FakeAudioMixer.h"

namespace sound_resource_test {

using Calls = std::vector<std::string>;

class SoundResourceTest : public ResourceFilesTest {
protected:
    void SetUp() override {
        ResourceFilesTest::SetUp();
        mixer = std::make_shared<FakeAudioMixer>();
        SoundManager::init(44100, 32, mixer);
        mixer->takeCalls();
    }
    void TearDown() override {
        ResourceFilesTest::TearDown();
        SoundManager::releaseInstance();
    }

    std::shared_ptr<FakeAudioMixer> mixer;
};

TEST_F(SoundResourceTest, KeysAndTheirDefaults) {
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\">"
        "<Sound id=\"PLAIN\" file=\"a.wav\"/>"
        "<Sound id=\"HALF\" file=\"b.wav\" volumemultiplier=\"0.5\"/>"
        "<Stream id=\"MUSIC\" file=\"m.ogg\"/>"
        "<Stream id=\"SET\" file=\"n.ogg\" syncpointsfile=\"n.xml\" volumemultiplier=\"0.25\" "
        "panning=\"40\"/>"
        "</Section>");
    ResourceSection* section = manager->getSection("s");
    auto* plain = objectCast<SoundResource>(section->findResource("PLAIN"));
    auto* half = objectCast<SoundResource>(section->findResource("HALF"));
    auto* music = objectCast<StreamResource>(section->findResource("MUSIC"));
    auto* set = objectCast<StreamResource>(section->findResource("SET"));
    ASSERT_TRUE(plain && half && music && set);
    EXPECT_EQ(plain->getVolumeMultiplier(), 255.0f);
    EXPECT_EQ(half->getVolumeMultiplier(), 0.5f);
    EXPECT_EQ(music->getVolumeMultiplier(), 1.0f);
    EXPECT_EQ(music->getPanning(), 128);
    EXPECT_EQ(music->getSyncPointsFileName(), "");
    EXPECT_EQ(set->getVolumeMultiplier(), 0.25f);
    EXPECT_EQ(set->getPanning(), 40);
    EXPECT_EQ(set->getSyncPointsFileName(), "n.xml");
}

TEST_F(SoundResourceTest, ASoundResourceLoadsItsSampleWithItsMultiplier) {
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\"><Sound id=\"CLICK\" file=\"media/click.wav\" "
        "volumemultiplier=\"0.5\"/></Section>");
    auto* sound = objectCast<Sound>(manager->getLoadedResourceHandle("CLICK", "s"));
    ASSERT_NE(sound, nullptr);
    EXPECT_NE(sound->getSample(), 0);
    EXPECT_EQ(sound->getVolumeMultiplier(), 0.5f);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"loadSample media/click.wav 304"}));
    EXPECT_FALSE(manager->getSection("s")->findResource("CLICK")->getHasError());

    // Unloading frees the sample with the last reference to the sound.
    const int32_t sample = sound->getSample();
    manager->unloadSection("s");
    EXPECT_EQ(mixer->takeCalls(), (Calls{"freeSample " + std::to_string(sample)}));
}

TEST_F(SoundResourceTest, TheArchiveWordChoosesHowTheSampleIsRead) {
    std::vector<uint8_t> bytes(100, 7);
    DataScrambler::apply(bytes.data(), bytes.size());
    putBytes("media/s.wav.!", bytes);
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\"><Sound id=\"S\" file=\"media/s.wav\" "
        "archive=\"encryptfile\"/><Sound id=\"GONE\" file=\"media/gone.wav\" "
        "archive=\"zip\"/></Section>");
    ASSERT_NE(manager->getLoadedResourceHandle("S", "s"), nullptr);
    EXPECT_EQ(mixer->takeCalls(), (Calls{"loadSample memory 100 33072"}));  // 304 | memory
    EXPECT_EQ(manager->getLoadedResourceHandle("GONE", "s"), nullptr);
    ResourceObject* gone = manager->getSection("s")->findResource("GONE");
    EXPECT_TRUE(gone->isLoaded());
    EXPECT_TRUE(gone->getHasError());
}

TEST_F(SoundResourceTest, AFailedSampleLoadGivesNoSound) {
    mixer->failLoads = true;
    ResourceManager* manager =
        idleManager("<Section id=\"s\" name=\"s\"><Sound id=\"S\" file=\"a.wav\"/></Section>");
    EXPECT_EQ(manager->getLoadedResourceHandle("S", "s"), nullptr);
    EXPECT_TRUE(manager->getSection("s")->findResource("S")->getHasError());
}

TEST_F(SoundResourceTest, SamplesOutlivingTheSoundDeviceAreHarmless) {
    ResourceManager* manager =
        idleManager("<Section id=\"s\" name=\"s\"><Sound id=\"S\" file=\"a.wav\"/></Section>");
    ASSERT_NE(manager->getLoadedResourceHandle("S", "s"), nullptr);
    // Shut-down order: the sound manager goes before the resource manager.
    SoundManager::releaseInstance();
    mixer->takeCalls();
    manager->unloadSection("s");
    EXPECT_TRUE(mixer->takeCalls().empty());
    // A load without sound makes a silent sound and no error.
    EXPECT_NE(manager->getLoadedResourceHandle("S", "s"), nullptr);
    EXPECT_FALSE(manager->getSection("s")->findResource("S")->getHasError());
}

TEST_F(SoundResourceTest, AStreamResourcePreparesItsStream) {
    put("media/music/n.xml",
        "<root><Vector id=\"SyncPoints\"><Node value=\"100\"/><Node other=\"5\"/>"
        "<Node value=\"4410\"/></Vector></root>");
    put("media/music/none.xml", "<root><Node id=\"Other\"/></root>");
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\">"
        "<Stream id=\"SET\" file=\"media/music/n.ogg\" syncpointsfile=\"media/music/n.xml\" "
        "volumemultiplier=\"0.25\" panning=\"40\"/>"
        "<Stream id=\"BARE\" file=\"media/music/m.ogg\" syncpointsfile=\"media/music/none.xml\"/>"
        "</Section>");
    auto* stream = objectCast<SoundStream>(manager->getLoadedResourceHandle("SET", "s"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->getFileName(), "media/music/n.ogg");
    EXPECT_EQ(stream->getSyncPointsFileName(), "media/music/n.xml");
    EXPECT_EQ(stream->getVolumeMultiplier(), 0.25f);
    EXPECT_EQ(stream->getPan(), 40);
    EXPECT_EQ(stream->getSyncPoints(), (std::vector<uint32_t>{100, 4410}));
    EXPECT_FALSE(stream->isOpen());  // the sound manager opens it when it plays
    auto* bare = objectCast<SoundStream>(manager->getLoadedResourceHandle("BARE", "s"));
    ASSERT_NE(bare, nullptr);
    EXPECT_TRUE(bare->getSyncPoints().empty());
    EXPECT_TRUE(mixer->takeCalls().empty());
}

TEST_F(SoundResourceTest, OnlyResourcesOfOneKindAreShared) {
    ResourceManager* manager = idleManager(
        "<Section id=\"a\" name=\"a\"><Sound id=\"S\" file=\"x.ogg\"/></Section>"
        "<Section id=\"b\" name=\"b\"><Sound id=\"SAME\" file=\"x.ogg\"/>"
        "<Stream id=\"MUSIC\" file=\"x.ogg\"/></Section>");
    ResourceObject* sound = manager->getSection("a")->findResource("S");
    EXPECT_EQ(manager->getSection("b")->findResource("SAME"), sound);
    EXPECT_NE(manager->getSection("b")->findResource("MUSIC"), sound);
    EXPECT_NE(objectCast<SoundStream>(manager->getLoadedResourceHandle("MUSIC", "b")), nullptr);
}

TEST_F(SoundResourceTest, DiagnosticTexts) {
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\"><Sound id=\"S\" file=\"a.wav\" volumemultiplier=\"0.9\"/>"
        "<Stream id=\"T\" file=\"m.ogg\" syncpointsfile=\"m.xml\"/></Section>");
    ResourceSection* section = manager->getSection("s");
    EXPECT_EQ(section->findResource("S")->toString(),
              "Has Error: false; Is Loaded: false; File Name: a.wav;\n\t\t\t"
              "Object: NULL; Volume: 0; ");
    manager->getLoadedResourceHandle("T", "s");
    EXPECT_EQ(section->findResource("T")->toString(),
              "Has Error: false; Is Loaded: true; File Name: m.ogg;\n\t\t\t"
              "Object: not 0; FileName: m.ogg; SyncPointsFileName: m.xml");
}

}  // namespace sound_resource_test
