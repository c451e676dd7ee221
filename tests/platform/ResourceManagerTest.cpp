// Sections, queues, counters and lookups of the resource manager, with the loader kept waiting
// (the section list is never marked read), so every load here runs on the test's thread.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/platform/FontResource.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceSection.h"
#include "platform/ResourceFiles.h"

namespace resource_manager_test {

class ResourceManagerTest : public ResourceFilesTest {
protected:
    void SetUp() override {
        ResourceFilesTest::SetUp();
        putBytes("media/images/a.png", testPicturePng(2, 2));
        putBytes("media/images/b.png", testPicturePng(3, 2));
        putBytes("media/images/c.png", testPicturePng(1, 1));
    }
};

const char* const THREE_IMAGES =
    "<Section id=\"game\" name=\"game\">"
    "<Image id=\"A\" file=\"media/images/a.png\"/>"
    "<Image id=\"B\" file=\"media/images/b.png\"/>"
    "<Image id=\"C\" file=\"media/images/c.png\"/>"
    "</Section>";

TEST_F(ResourceManagerTest, SectionsAreReadFromTheList) {
    ResourceManager* manager = idleManager(
        "<Section id=\"first\" name=\"lobby\" auto=\"true\">"
        "<Image id=\"PIC\" file=\"media/images/a.png\" archive=\"encryptzip\" color=\"7\" "
        "usealphachannel=\"false\" alpha=\"true\" nrofframes=\"4\"/>"
        "<Font id=\"FONT\" file=\"media/fonts/f.xml\" archive=\"file\"/>"
        "<Bogus id=\"UNKNOWN\" file=\"x\"/>"
        "<GameNode id=\"NOT_A_RESOURCE\"/>"
        "</Section>"
        "<Section id=\"second\" name=\"game\">"
        "<Image id=\"MASK\" mask=\"media/images/c.png\" archive=\"elsewhere\"/>"
        "</Section>");

    ResourceSection* lobby = manager->getSection("lobby");
    ASSERT_NE(lobby, nullptr);
    EXPECT_TRUE(lobby->isAutoLoad());
    EXPECT_EQ(lobby->getResources().size(), 2u);  // the two children that make no resource skipped
    auto* picture = objectCast<ImageResource>(lobby->findResource("PIC"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->getFileName(), "media/images/a.png");
    EXPECT_EQ(picture->getFileMode(), 4);
    EXPECT_EQ(picture->getColor(), 7);
    EXPECT_FALSE(picture->usesAlphaChannel());
    EXPECT_TRUE(picture->getGreyIsAlpha());
    EXPECT_EQ(picture->getFrameCount(), 4);
    EXPECT_FALSE(picture->isLoaded());
    EXPECT_EQ(picture->getWeight(), 1);
    ASSERT_NE(objectCast<FontResource>(lobby->findResource("FONT")), nullptr);
    EXPECT_EQ(lobby->findResource("FONT")->getFileMode(), 1);

    ResourceSection* game = manager->getSection("game");
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(game->isAutoLoad());
    auto* mask = objectCast<ImageResource>(game->findResource("MASK"));
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->getFileName(), "");
    EXPECT_EQ(mask->getMaskFileName(), "media/images/c.png");
    EXPECT_EQ(mask->getFileMode(), 0);
    EXPECT_EQ(mask->getColor(), 0);
    EXPECT_TRUE(mask->usesAlphaChannel());
    EXPECT_FALSE(mask->getGreyIsAlpha());
    EXPECT_EQ(mask->getFrameCount(), 1);

    EXPECT_EQ(manager->getSection("first"), nullptr);  // found by "name", not by element id
    EXPECT_FALSE(manager->loadSectionList("media/properties/missing.xml"));
}

TEST_F(ResourceManagerTest, ArchiveWordsChooseTheFileMode) {
    EXPECT_EQ(ResourceObject::fileModeOfWord("file"), 1);
    EXPECT_EQ(ResourceObject::fileModeOfWord("zip"), 2);
    EXPECT_EQ(ResourceObject::fileModeOfWord("encryptfile"), 3);
    EXPECT_EQ(ResourceObject::fileModeOfWord("encryptzip"), 4);
    EXPECT_EQ(ResourceObject::fileModeOfWord(""), 0);
    EXPECT_EQ(ResourceObject::fileModeOfWord("ZIP"), 0);
}

TEST_F(ResourceManagerTest, EqualResourcesAreSharedBetweenSections) {
    ResourceManager* manager = idleManager(
        "<Section id=\"one\" name=\"one\">"
        "<Image id=\"PIC\" file=\"media/images/a.png\" mask=\"media/images/c.png\" color=\"3\"/>"
        "<Font id=\"FONT\" file=\"media/fonts/f.xml\"/>"
        "</Section>"
        "<Section id=\"two\" name=\"two\">"
        "<Image id=\"SAME\" file=\"media/images/a.png\" mask=\"media/images/c.png\" color=\"3\" "
        "nrofframes=\"9\"/>"
        "<Image id=\"OTHER_COLOR\" file=\"media/images/a.png\" mask=\"media/images/c.png\"/>"
        "<Image id=\"NO_MASK\" file=\"media/images/a.png\" color=\"3\"/>"
        "<Font id=\"FONT\" file=\"media/fonts/f.xml\"/>"
        "<Image id=\"FONT_FILE\" file=\"media/fonts/f.xml\"/>"
        "</Section>");
    ResourceSection* one = manager->getSection("one");
    ResourceSection* two = manager->getSection("two");
    EXPECT_EQ(two->findResource("SAME"), one->findResource("PIC"));
    EXPECT_NE(two->findResource("OTHER_COLOR"), one->findResource("PIC"));
    EXPECT_NE(two->findResource("NO_MASK"), one->findResource("PIC"));
    EXPECT_EQ(two->findResource("FONT"), one->findResource("FONT"));
    EXPECT_NE(two->findResource("FONT_FILE"), one->findResource("FONT"));

    // Loaded once, seen from both sections.
    BaseObject* image = manager->getLoadedResourceHandle("PIC", "one");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(manager->getResourceHandle("SAME", "two"), image);
}

TEST_F(ResourceManagerTest, ARequestCountsItsWeightsOnceAndProgressFollowsLoads) {
    ResourceManager* manager = idleManager(THREE_IMAGES);
    // Nothing requested: complete, not a division by zero.
    EXPECT_EQ(manager->getLoadProgress(), 1.0);

    EXPECT_TRUE(manager->requestSectionLoad("game"));
    EXPECT_TRUE(manager->requestSectionLoad("game"));
    EXPECT_EQ(manager->getTotalUnits(), 3);
    EXPECT_EQ(manager->getQueue(ResourceManager::Queue::URGENT), std::vector<std::string>{"game"});
    EXPECT_TRUE(manager->getSection("game")->isStarted());
    EXPECT_EQ(manager->getLoadProgress(), 0.0);

    ASSERT_NE(manager->getLoadedResourceHandle("B", "game"), nullptr);
    EXPECT_DOUBLE_EQ(manager->getLoadProgress(), 1.0 / 3.0);
    EXPECT_EQ(manager->nextPendingSection(ResourceManager::Queue::URGENT, true),
              manager->getSection("game"));
    EXPECT_EQ(manager->getFinishedUnits(), 0);

    manager->getLoadedResourceHandle("A", "game");
    manager->getLoadedResourceHandle("C", "game");
    EXPECT_DOUBLE_EQ(manager->getLoadProgress(), 1.0);
    // Fully loaded: dropped from the queue and counted finished.
    EXPECT_EQ(manager->nextPendingSection(ResourceManager::Queue::URGENT, true), nullptr);
    EXPECT_EQ(manager->getFinishedUnits(), 3);
    EXPECT_TRUE(manager->getQueue(ResourceManager::Queue::URGENT).empty());
    EXPECT_DOUBLE_EQ(manager->getLoadProgress(), 1.0);

    // A fully loaded section: false, and no counter moves.
    EXPECT_FALSE(manager->requestSectionLoad("game"));
    EXPECT_EQ(manager->getTotalUnits(), 3);
    EXPECT_EQ(manager->getFinishedUnits(), 3);
    EXPECT_TRUE(manager->getQueue(ResourceManager::Queue::URGENT).empty());

    manager->clearQueue();
    EXPECT_EQ(manager->getTotalUnits(), 0);
    EXPECT_EQ(manager->getFinishedUnits(), 0);
    EXPECT_EQ(manager->getLoadProgress(), 1.0);
}

TEST_F(ResourceManagerTest, AutoSectionsQueueInTheBackground) {
    ResourceManager* manager =
        idleManager(std::string(THREE_IMAGES) +
                    "<Section id=\"bg\" name=\"bg\" auto=\"true\"><Image id=\"A\" "
                    "file=\"media/images/a.png\"/></Section>");
    // Auto sections are queued in the background as they are added.
    EXPECT_EQ(manager->getQueue(ResourceManager::Queue::BACKGROUND),
              std::vector<std::string>{"bg"});
    EXPECT_TRUE(manager->getSection("bg")->isStarted());
    EXPECT_FALSE(manager->getSection("game")->isStarted());
    EXPECT_EQ(manager->getTotalUnits(), 0);

    // "A" of "game" is the same picture: loading it completes "bg".
    manager->getLoadedResourceHandle("A", "game");
    EXPECT_EQ(manager->nextPendingSection(ResourceManager::Queue::BACKGROUND, false), nullptr);
    EXPECT_EQ(manager->getFinishedUnits(), 0);
    EXPECT_TRUE(manager->getQueue(ResourceManager::Queue::BACKGROUND).empty());

    // A loaded auto section is not queued again when added.
    manager->loadSectionList("media/properties/resources.xml");
    EXPECT_TRUE(manager->getQueue(ResourceManager::Queue::BACKGROUND).empty());
}

TEST_F(ResourceManagerTest, UnknownSectionsAndKeysCreateNothing) {
    ResourceManager* manager = idleManager(THREE_IMAGES);
    EXPECT_FALSE(manager->requestSectionLoad("nowhere"));
    EXPECT_EQ(manager->getTotalUnits(), 0);
    EXPECT_TRUE(manager->getQueue(ResourceManager::Queue::URGENT).empty());
    EXPECT_EQ(manager->getResourceHandle("A", "nowhere"), nullptr);
    EXPECT_EQ(manager->getLoadedResourceHandle("A", "nowhere"), nullptr);
    EXPECT_EQ(manager->getResourceHandle("Z", "game"), nullptr);
    EXPECT_EQ(manager->getLoadedResourceHandle("Z", "game"), nullptr);
    manager->unloadSection("nowhere");
    manager->removeSection("nowhere", true);
    EXPECT_EQ(manager->getSection("nowhere"), nullptr);
    EXPECT_EQ(manager->getSection("game")->getResources().size(), 3u);
}

TEST_F(ResourceManagerTest, OnlyTheLoadingLookupLoads) {
    ResourceManager* manager = idleManager(THREE_IMAGES);
    EXPECT_EQ(manager->getResourceHandle("A", "game"), nullptr);
    EXPECT_FALSE(manager->getSection("game")->findResource("A")->isLoaded());

    auto* image = objectCast<Image>(manager->getLoadedResourceHandle("A", "game"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 2);
    EXPECT_TRUE(manager->getSection("game")->findResource("A")->isLoaded());
    EXPECT_EQ(manager->getResourceHandle("A", "game"), image);
    EXPECT_EQ(manager->getLoadedResourceHandle("A", "game"), image);  // not loaded again
}

TEST_F(ResourceManagerTest, UnloadingAndRemovingSections) {
    ResourceManager* manager = idleManager(THREE_IMAGES);
    manager->getLoadedResourceHandle("A", "game");
    manager->getLoadedResourceHandle("B", "game");
    manager->unloadSection("game");
    ResourceSection* game = manager->getSection("game");
    for (const auto& [key, resource] : game->getResources()) {
        EXPECT_FALSE(resource->isLoaded()) << key;
        EXPECT_EQ(resource->getLoadedAmount(), 0) << key;
        EXPECT_EQ(resource->getData(), nullptr) << key;
    }

    EXPECT_TRUE(manager->requestSectionLoad("game"));
    manager->getLoadedResourceHandle("C", "game");
    RefHolder<ResourceObject> kept = game->findResource("C");
    manager->removeSection("game", false);
    EXPECT_EQ(manager->getSection("game"), nullptr);
    EXPECT_TRUE(manager->getQueue(ResourceManager::Queue::URGENT).empty());
    EXPECT_TRUE(kept->isLoaded());  // removed without unloading

    manager->loadSectionList("media/properties/resources.xml");
    manager->getLoadedResourceHandle("C", "game");
    kept = manager->getSection("game")->findResource("C");
    manager->removeSection("game", true);
    EXPECT_FALSE(kept->isLoaded());
}

TEST_F(ResourceManagerTest, OnlyPicturesThatNothingElseHoldsAreReleased) {
    ResourceManager* manager = idleManager(
        "<Section id=\"room\" name=\"room\">"
        "<Image id=\"SHOWN\" file=\"media/images/a.png\"/>"
        "<Image id=\"LOOKED_UP\" file=\"media/images/b.png\"/>"
        "<Image id=\"SHARED\" file=\"media/images/c.png\"/>"
        "<Image id=\"NEVER_LOADED\" file=\"media/images/a.png\" mask=\"media/images/c.png\"/>"
        "<Font id=\"FONT\" file=\"media/fonts/f.xml\"/>"
        "</Section>"
        "<Section id=\"hall\" name=\"hall\">"
        "<Image id=\"SHARED\" file=\"media/images/c.png\"/>"
        "</Section>");
    // A sprite's hold on the shown picture.
    RefHolder<BaseObject> shown = manager->getLoadedResourceHandle("SHOWN", "room");
    manager->getLoadedResourceHandle("LOOKED_UP", "room");
    manager->getLoadedResourceHandle("SHARED", "room");
    manager->getLoadedResourceHandle("FONT", "room");
    EXPECT_EQ(manager->releaseUnheldPictures("room"), 1);
    ResourceSection* room = manager->getSection("room");
    EXPECT_FALSE(room->findResource("LOOKED_UP")->isLoaded());
    EXPECT_EQ(manager->getResourceHandle("SHOWN", "room"), shown.get());
    EXPECT_TRUE(room->findResource("SHARED")->isLoaded());
    EXPECT_TRUE(room->findResource("FONT")->isLoaded());
    // Asked for again, only the released picture loads: the shown one is not made twice.
    EXPECT_TRUE(manager->requestSectionLoad("room"));
    EXPECT_EQ(manager->getLoadedResourceHandle("SHOWN", "room"), shown.get());
    EXPECT_EQ(manager->releaseUnheldPictures("no such section"), 0);
}

TEST_F(ResourceManagerTest, AFailedLoadEndsLoadedWithAnErrorUntilUnloaded) {
    putBytes("media/images/corrupt.png", std::vector<uint8_t>(40, 0x89));
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\">"
        "<Image id=\"MISSING\" file=\"media/images/missing.png\"/>"
        "<Image id=\"CORRUPT\" file=\"media/images/corrupt.png\"/>"
        "<Image id=\"NO_FILE\"/>"
        "<Font id=\"NO_FONT\" file=\"media/fonts/missing.xml\"/>"
        "</Section>");
    EXPECT_TRUE(manager->requestSectionLoad("s"));
    for (const char* key : {"MISSING", "CORRUPT", "NO_FILE", "NO_FONT"}) {
        EXPECT_EQ(manager->getLoadedResourceHandle(key, "s"), nullptr) << key;
        ResourceObject* resource = manager->getSection("s")->findResource(key);
        EXPECT_TRUE(resource->isLoaded()) << key;
        EXPECT_TRUE(resource->getHasError()) << key;
        EXPECT_EQ(resource->getLoadedAmount(), 1) << key;
    }
    // Failed resources still complete their section.
    EXPECT_FALSE(manager->requestSectionLoad("s"));
    EXPECT_EQ(manager->nextPendingSection(ResourceManager::Queue::URGENT, true), nullptr);

    putBytes("media/images/missing.png", testPicturePng(1, 1));
    EXPECT_EQ(manager->getLoadedResourceHandle("MISSING", "s"), nullptr);  // not tried again
    manager->unloadSection("s");
    ResourceObject* missing = manager->getSection("s")->findResource("MISSING");
    EXPECT_FALSE(missing->getHasError());
    EXPECT_NE(manager->getLoadedResourceHandle("MISSING", "s"), nullptr);
    EXPECT_FALSE(missing->getHasError());
}

TEST_F(ResourceManagerTest, ASectionReplacesOneOfTheSameName) {
    ResourceManager* manager = idleManager(THREE_IMAGES);
    ResourceSection* before = manager->getSection("game");
    putResourceList(
        "<Section id=\"game\" name=\"game\"><Image id=\"ONLY\" file=\"media/images/a.png\"/>"
        "</Section>",
        "media/properties/more.xml");
    ASSERT_TRUE(manager->loadSectionList("media/properties/more.xml"));
    ResourceSection* after = manager->getSection("game");
    EXPECT_NE(after, before);
    EXPECT_EQ(after->getResources().size(), 1u);
}

}  // namespace resource_manager_test
