// The loader thread against the main thread: queue order, lookups that meet a load under way,
// unloads and removals during a load, shut-down during a load, and a stress run. These tests
// also run under ThreadSanitizer (CTest label "tsan").
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceObject.h"
#include "framework/platform/ResourceSection.h"
#include "platform/ResourceFiles.h"
#include "testsupport/WaitFor.h"

namespace resource_loader_thread_test {

using namespace std::chrono_literals;

// Holds every gated load until the test opens it, and records the order of loads.
struct LoadGate {
    std::mutex mutex;
    std::condition_variable signal;
    bool open = true;
    int32_t started = 0;
    std::vector<std::string> order;

    void pass(const std::string& file) {
        std::unique_lock<std::mutex> lock(mutex);
        ++started;
        order.push_back(file);
        signal.notify_all();
        signal.wait(lock, [this] { return open; });
    }
    void waitForStarts(int32_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        signal.wait(lock, [&] { return started >= count; });
    }
    void setOpen(bool value) {
        std::lock_guard<std::mutex> lock(mutex);
        open = value;
        signal.notify_all();
    }
    int32_t getStarted() {
        std::lock_guard<std::mutex> lock(mutex);
        return started;
    }
};

LoadGate* gate = nullptr;

// A resource whose load passes the gate and yields a fresh object numbered by load.
class GatedTestResource : public ResourceObject {
    QUOVEL_TYPE(GatedTestResource)
public:
    explicit GatedTestResource(PropertyNode* definition) : ResourceObject(definition) {}
    void load() override {
        gate->pass(getFileName());
        RefHolder<BaseObject> made = new BaseObject();
        ResourceManager::DataLock lock;
        if (keepsLoadResult()) {
            object = made;
            ++loads;
            setLoaded();
        }
        // Once published, the count is shared with the main thread: drop it under the lock.
        made = nullptr;
    }
    BaseObject* getData() const override { return object.get(); }
    void unload() override {
        object = nullptr;
        ResourceObject::unload();
    }
    int32_t loads = 0;

private:
    RefHolder<BaseObject> object;
};

QUOVEL_DEFINE_TYPE(GatedTestResource, &ResourceObject::typeRecord)

// A resource that makes its picture at the display depth, passes the gate, and only then fills
// it, as a decoder does; it notes whether the picture changed depth meanwhile.
class PaintedTestResource : public ResourceObject {
    QUOVEL_TYPE(PaintedTestResource)
public:
    static constexpr uint32_t COLOR = 0xFF8040C0;

    explicit PaintedTestResource(PropertyNode* definition) : ResourceObject(definition) {}
    void load() override {
        RefHolder<Image> made = Image::createImage(4, 4);
        gate->pass(getFileName());
        if (made->lock()) {
            changedUnderLoad = made->getBytesPerPixel() != 4;
            if (!changedUnderLoad) {
                for (int32_t i = 0; i < 16; ++i) {
                    reinterpret_cast<uint32_t*>(made->getPixels())[i] = COLOR;
                }
            }
            made->unlock();
        }
        ResourceManager::DataLock lock;
        picture = made;
        setLoaded();
    }
    BaseObject* getData() const override { return picture.get(); }
    void unload() override {
        picture = nullptr;
        ResourceObject::unload();
    }
    bool changedUnderLoad = false;

private:
    RefHolder<Image> picture;
};

QUOVEL_DEFINE_TYPE(PaintedTestResource, &ResourceObject::typeRecord)

class ResourceLoaderThreadTest : public ResourceFilesTest {
protected:
    void SetUp() override {
        ResourceFilesTest::SetUp();
        gate = &loadGate;
        ObjectFactoryContainer::instance()->add("Gated", &createFromDefinition<GatedTestResource>);
        ObjectFactoryContainer::instance()->add("Painted",
                                                &createFromDefinition<PaintedTestResource>);
    }
    void TearDown() override {
        loadGate.setOpen(true);
        ResourceFilesTest::TearDown();
        ObjectFactoryContainer::instance()->remove("Gated");
        ObjectFactoryContainer::instance()->remove("Painted");
        gate = nullptr;
    }
    // Start-up's wait: until the urgent queue is done.
    static void waitForUrgent(ResourceManager* manager) {
        waitFor([&] {
            manager->resumeLoader();
            return !manager->nextPendingSection(ResourceManager::Queue::URGENT, true);
        });
    }
    // Until the loader has let go of the resource.
    static void waitUntilSettled(ResourceObject* resource) {
        waitFor([&] {
            ResourceManager::DataLock lock;
            return !resource->isLoading();
        });
    }
    static GatedTestResource* gated(ResourceManager* manager, const std::string& section,
                                    const std::string& key) {
        return static_cast<GatedTestResource*>(manager->getSection(section)->findResource(key));
    }
    // Section "s" asked for, its first load held at the gate: returns once it waits there.
    void holdTheFirstLoad(ResourceManager* manager) {
        loadGate.setOpen(false);
        manager->requestSectionLoad("s");
        manager->setReady();
        loadGate.waitForStarts(1);
    }

    LoadGate loadGate;
};

TEST_F(ResourceLoaderThreadTest, UrgentSectionsLoadBeforeBackgroundOnes) {
    ResourceManager* manager = idleManager(
        "<Section id=\"bg\" name=\"bg\" auto=\"true\"><Gated id=\"B\" file=\"b1\"/>"
        "<Gated id=\"C\" file=\"b2\"/></Section>"
        "<Section id=\"now\" name=\"now\"><Gated id=\"N\" file=\"n1\"/>"
        "<Gated id=\"O\" file=\"n2\"/></Section>");
    EXPECT_TRUE(manager->requestSectionLoad("now"));
    EXPECT_EQ(loadGate.getStarted(), 0);  // nothing loads before the list is marked read
    manager->setReady();
    waitForUrgent(manager);
    loadGate.waitForStarts(4);
    waitUntilSettled(gated(manager, "bg", "C"));
    EXPECT_EQ(loadGate.order, (std::vector<std::string>{"n1", "n2", "b1", "b2"}));
    EXPECT_EQ(manager->getFinishedUnits(), 2);
    EXPECT_EQ(manager->getTotalUnits(), 2);
    EXPECT_EQ(manager->getLoadProgress(), 1.0);
    EXPECT_NE(manager->getResourceHandle("C", "bg"), nullptr);
    EXPECT_EQ(manager->nextPendingSection(ResourceManager::Queue::BACKGROUND, false), nullptr);
    EXPECT_EQ(manager->getFinishedUnits(), 2);  // background sections never count
}

TEST_F(ResourceLoaderThreadTest, AQueuedSectionReplacedByAFreshOneHoldsUpNothingBehindIt) {
    ResourceManager* manager = idleManager(
        "<Section id=\"a\" name=\"a\"><Gated id=\"A\" file=\"a1\"/></Section>"
        "<Section id=\"b\" name=\"b\"><Gated id=\"B\" file=\"b1\"/></Section>");
    EXPECT_TRUE(manager->requestSectionLoad("a"));
    EXPECT_TRUE(manager->requestSectionLoad("b"));
    // A second list brings a fresh, unstarted "a" in place of the queued one.
    putResourceList("<Section id=\"a\" name=\"a\"><Gated id=\"A\" file=\"a2\"/></Section>",
                    "media/properties/more.xml");
    ASSERT_TRUE(manager->loadSectionList("media/properties/more.xml"));
    manager->setReady();
    loadGate.waitForStarts(1);
    waitUntilSettled(gated(manager, "b", "B"));
    EXPECT_NE(manager->getResourceHandle("B", "b"), nullptr);
    EXPECT_EQ(manager->getResourceHandle("A", "a"), nullptr);
    // Asked for again, the fresh section loads too, and its weights still count once.
    EXPECT_TRUE(manager->requestSectionLoad("a"));
    waitForUrgent(manager);
    EXPECT_EQ(loadGate.order, (std::vector<std::string>{"b1", "a2"}));
    EXPECT_EQ(manager->getTotalUnits(), 2);
}

TEST_F(ResourceLoaderThreadTest, ADepthChangeWaitsForThePictureUnderLoad) {
    ImageManager::createInstance(false);
    ResourceManager* manager =
        idleManager("<Section id=\"s\" name=\"s\"><Painted id=\"P\" file=\"p\"/></Section>");
    auto* resource = static_cast<PaintedTestResource*>(manager->getSection("s")->findResource("P"));
    holdTheFirstLoad(manager);
    // The window goes to 16 bits while the picture waits to be filled.
    std::atomic<bool> converted{false};
    std::thread window([&] {
        setDisplayBytesPerPixel(2);
        ImageManager::getInstance()->convertAll();
        converted = true;
    });
    // A sleep, not a wait: nothing tells that the thread is blocked rather than slow. Load can
    // only let a fault through here, never fail a sound loader.
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(converted);
    loadGate.setOpen(true);
    window.join();
    waitUntilSettled(resource);
    EXPECT_FALSE(resource->changedUnderLoad);
    // Filled at 32 bits, then converted whole.
    auto* picture = static_cast<Image*>(manager->getResourceHandle("P", "s"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->getBytesPerPixel(), 2);
    ASSERT_TRUE(picture->lock());
    EXPECT_EQ(reinterpret_cast<uint16_t*>(picture->getPixels())[15], 0x8218);
    EXPECT_EQ(*picture->getAlphaAddress(3, 3), 0xFF);
    picture->unlock();
    ResourceManager::stopLoader();
    ImageManager::destroyInstance();
}

TEST_F(ResourceLoaderThreadTest, TheImageManagerGoesOnlyBetweenTwoPasses) {
    // As at shut-down, the frame tasks keep the manager a little after it goes.
    RefHolder<Task> kept(ImageManager::createInstance(false));
    ResourceManager* manager =
        idleManager("<Section id=\"s\" name=\"s\"><Painted id=\"P\" file=\"p\"/></Section>");
    holdTheFirstLoad(manager);
    std::atomic<bool> gone{false};
    std::thread shutDown([&] {
        ImageManager::destroyInstance();
        gone = true;
    });
    // A sleep, not a wait: nothing tells that the thread is blocked rather than slow. Load can
    // only let a fault through here, never fail a sound loader.
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(gone);
    loadGate.setOpen(true);
    shutDown.join();
    EXPECT_EQ(ImageManager::getInstance(), nullptr);
    waitUntilSettled(manager->getSection("s")->findResource("P"));
    kept = nullptr;
    ResourceManager::stopLoader();
}

TEST_F(ResourceLoaderThreadTest, ALookupWaitsForTheLoadUnderWayWithTheDataLockFree) {
    ResourceManager* manager =
        idleManager("<Section id=\"s\" name=\"s\"><Gated id=\"R\" file=\"r\"/></Section>");
    GatedTestResource* resource = gated(manager, "s", "R");
    holdTheFirstLoad(manager);

    // Another thread can take the data lock while the lookup waits, then lets the load end. This
    // thread holds the lock until the lookup, so the other one gets it only while the lookup
    // waits.
    std::atomic<bool> lookingUp{false};
    std::thread other([&] {
        waitFor([&] { return lookingUp.load(); });
        {
            ResourceManager::DataLock lock;
            EXPECT_EQ(manager->getResourceHandle("R", "s"), nullptr);
            EXPECT_TRUE(resource->isLoading());
        }
        loadGate.setOpen(true);
    });
    BaseObject* object = nullptr;
    {
        ResourceManager::DataLock outer;
        ResourceManager::DataLock inner;
        lookingUp = true;
        object = manager->getLoadedResourceHandle("R", "s");
        EXPECT_FALSE(resource->isLoading());
    }
    other.join();
    EXPECT_NE(object, nullptr);
    EXPECT_EQ(resource->loads, 1);  // loaded once, by the loader
    EXPECT_EQ(loadGate.getStarted(), 1);
    EXPECT_EQ(manager->getResourceHandle("R", "s"), object);
}

TEST_F(ResourceLoaderThreadTest, AnUnloadDuringALoadDropsItsResult) {
    ResourceManager* manager =
        idleManager("<Section id=\"s\" name=\"s\"><Gated id=\"R\" file=\"r\"/></Section>");
    RefHolder<GatedTestResource> resource = gated(manager, "s", "R");
    holdTheFirstLoad(manager);
    manager->unloadSection("s");  // returns at once; the load is still held at the gate
    EXPECT_TRUE(resource->isLoading());
    loadGate.setOpen(true);
    // The section is still requested, so the loader loads it again; the first result is gone.
    waitForUrgent(manager);
    waitUntilSettled(resource.get());
    EXPECT_EQ(loadGate.getStarted(), 2);
    EXPECT_EQ(resource->loads, 1);
    EXPECT_TRUE(resource->isLoaded());
    EXPECT_NE(manager->getResourceHandle("R", "s"), nullptr);
}

TEST_F(ResourceLoaderThreadTest, ARemovalDuringALoadLeavesNothingLoaded) {
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\"><Gated id=\"R\" file=\"r\"/><Gated id=\"S\" file=\"s\"/>"
        "</Section>");
    RefHolder<GatedTestResource> resource = gated(manager, "s", "R");
    holdTheFirstLoad(manager);
    manager->removeSection("s", true);
    EXPECT_EQ(manager->getSection("s"), nullptr);
    loadGate.setOpen(true);
    waitUntilSettled(resource.get());
    EXPECT_FALSE(resource->isLoaded());
    EXPECT_EQ(resource->getData(), nullptr);
    EXPECT_EQ(resource->loads, 0);
    // The loader has nothing left: its next pass loads none of the rest of the section.
    const uint64_t passes = manager->getPassCount();
    manager->resumeLoader();
    waitFor([&] { return manager->getPassCount() != passes; });
    EXPECT_EQ(loadGate.getStarted(), 1);
    EXPECT_EQ(resource->getRefCount(), 1);  // only the test's holder is left
}

TEST_F(ResourceLoaderThreadTest, StoppingDuringALoadEndsAfterThatLoad) {
    ResourceManager* manager = idleManager(
        "<Section id=\"s\" name=\"s\"><Gated id=\"A\" file=\"a\"/><Gated id=\"B\" file=\"b\"/>"
        "<Gated id=\"C\" file=\"c\"/></Section>");
    RefHolder<GatedTestResource> first = gated(manager, "s", "A");
    holdTheFirstLoad(manager);
    // The load goes on only once the stop is asked for.
    std::thread opener([&] {
        waitFor([&] { return !manager->isLoaderRunning(); });
        loadGate.setOpen(true);
    });
    ResourceManager::stopLoader();  // waits for the load at the gate, then joins
    opener.join();
    EXPECT_EQ(ResourceManager::getInstance(), nullptr);
    EXPECT_EQ(loadGate.getStarted(), 1);
    EXPECT_TRUE(first->isLoaded());
    EXPECT_EQ(first->getRefCount(), 1);  // the manager and its sections are gone
    ResourceManager::stopLoader();       // a second stop does nothing
}

TEST_F(ResourceLoaderThreadTest, StressRequestsUnloadsAndLookupsWhileTheLoaderWorks) {
    constexpr int sectionCount = 12;
    constexpr int picturesPerSection = 6;
    std::string list;
    for (int s = 0; s < sectionCount; ++s) {
        list += "<Section id=\"s" + std::to_string(s) + "\" name=\"s" + std::to_string(s) +
                (s % 4 == 0 ? "\" auto=\"true\">" : "\">");
        for (int p = 0; p < picturesPerSection; ++p) {
            // Neighbouring sections share half their pictures.
            const int picture = s * picturesPerSection / 2 + p;
            const std::string file = "media/images/p" + std::to_string(picture) + ".png";
            putBytes(file, testPicturePng(4 + picture % 5, 3));
            list += "<Image id=\"K" + std::to_string(p) + "\" file=\"" + file + "\"/>";
        }
        list += "</Section>";
    }
    ResourceManager* manager = idleManager(list);
    manager->setReady();

    std::mt19937 random(12345);
    auto name = [&] { return "s" + std::to_string(random() % sectionCount); };
    auto key = [&] { return "K" + std::to_string(random() % picturesPerSection); };
    for (int step = 0; step < 600; ++step) {
        switch (random() % 8) {
            case 0:
            case 1:
                manager->requestSectionLoad(name());
                break;
            case 2:
                manager->unloadSection(name());
                break;
            case 3: {
                const std::string section = name();
                manager->removeSection(section, random() % 2 == 0);
                putResourceList(list, "media/properties/again.xml");
                manager->loadSectionList("media/properties/again.xml");
                break;
            }
            case 4: {
                auto* image = objectCast<Image>(manager->getLoadedResourceHandle(key(), name()));
                EXPECT_NE(image, nullptr);
                break;
            }
            case 5: {
                ResourceManager::DataLock lock;
                if (auto* image = objectCast<Image>(manager->getResourceHandle(key(), name()))) {
                    EXPECT_GT(image->getWidth(), 0);
                }
                break;
            }
            case 6: {
                const double progress = manager->getLoadProgress();
                EXPECT_GE(progress, 0.0);
                manager->nextPendingSection(ResourceManager::Queue::URGENT, true);
                break;
            }
            default:
                if (random() % 16 == 0) {
                    manager->clearQueue();
                }
                std::this_thread::yield();
                break;
        }
    }

    // No request is lost: everything asked for ends loaded.
    manager->clearQueue();
    for (int s = 0; s < sectionCount; ++s) {
        manager->requestSectionLoad("s" + std::to_string(s));
    }
    waitForUrgent(manager);
    for (int s = 0; s < sectionCount; ++s) {
        ResourceSection* section = manager->getSection("s" + std::to_string(s));
        ResourceManager::DataLock lock;
        EXPECT_TRUE(section->isFullyLoaded()) << s;
        for (const auto& [resourceKey, resource] : section->getResources()) {
            EXPECT_FALSE(resource->getHasError()) << s << resourceKey;
            EXPECT_NE(resource->getData(), nullptr) << s << resourceKey;
        }
    }
    EXPECT_DOUBLE_EQ(manager->getLoadProgress(), 1.0);

    // Shut down in the middle of loading everything again.
    for (int s = 0; s < sectionCount; ++s) {
        manager->unloadSection("s" + std::to_string(s));
        manager->requestSectionLoad("s" + std::to_string(s));
    }
    // Most often mid-load; wherever the loader stands, the shut-down must hold.
    std::this_thread::sleep_for(1ms);
    ResourceManager::stopLoader();
    EXPECT_EQ(ResourceManager::getInstance(), nullptr);
}

}  // namespace resource_loader_thread_test
