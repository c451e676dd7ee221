#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/os/FileKeyStore.h"
#include "framework/os/FileSystem.h"
#include "framework/os/LinuxSystemInfoSource.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/RegistryValue.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ThreadClock.h"
#include "testsupport/os/FakeClipboard.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeCursor.h"
#include "testsupport/os/FakeDisplay.h"
#include "testsupport/os/FakeEventSource.h"
#include "testsupport/os/FakeMessageBox.h"
#include "testsupport/os/FakeSystemInfoSource.h"

namespace statistics_collector_test {

constexpr int64_t SOME_MOMENT = 1'300'000'000;  // 2011, seconds since 1970

// Each test has its own data root and key store in temporary folders, a fake clock and a fake
// machine; it ends with no collector.
class StatisticsCollectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        KeyStore::setCurrentUser(&keys);
        clock.setUnixBase(SOME_MOMENT);
        clock.setTickOffset(5000);
        machine.info.computerName = "desk";
        machine.info.displayVersion = 0x900;
        machine.info.bitDepth = 32;
        machine.info.screenWidth = 1280;
        machine.info.screenHeight = 1024;
    }
    void TearDown() override {
        writeGameStatistics();
        fileSetAside.install(nullptr);
        SettingsManager::releaseInstance();
        KeyStore::setCurrentUser(nullptr);
    }

    std::string fileName() const { return getTempFolder() + "/gd.xml"; }
    // The statistics file as the game reads it.
    RefHolder<PropertyStore> readFile() const {
        RefHolder<PropertyStore> store(new PropertyStore());
        EXPECT_TRUE(store->loadFile(fileName()));
        return store;
    }
    uint32_t storedTotal() {
        RegistryValue total(getGameRegistryPath() + "\\bvq\\totalplayingtime", false);
        return total.readDword();
    }
    void startRun() { initGameStatistics(clock, machine); }

    TempFolder folder;
    DataFolderScope dataFolder{folder / "data", "Quovel Mahjong"};
    FileKeyStore keys{folder / "config"};
    FakeClock clock;
    FakeSystemInfoSource machine;
};

TEST_F(StatisticsCollectorTest, FirstRunWritesTheReportOneSessionAndTheTotal) {
    startRun();
    StatisticsCollector* collector = getStatisticsCollector();
    ASSERT_NE(collector, nullptr);
    EXPECT_TRUE(collector->isClosed());
    EXPECT_EQ(collector->getFileName(), fileName());
    EXPECT_EQ(collector->getTotalAtStart(), 0u);

    KeyValue recorded;
    ASSERT_TRUE(keys.readValue(getGameRegistryPath() + "\\bvq", "dgfilename", recorded));
    EXPECT_EQ(recorded, KeyValue::makeString("dgfilename", fileName()));
    {
        RefHolder<PropertyStore> report = readFile();
        PropertyNode* root = report->getChildNode("DataGathering");
        EXPECT_EQ(root->getTypeWord(), "DataGathering");
        PropertyNode* info = root->getChildNode("SystemInfo");
        EXPECT_EQ(info->getTypeWord(), "SystemInfo");
        EXPECT_EQ(info->getChildValue("CompName")->getValue(), "desk");
        EXPECT_EQ(info->getChildValue("DirectX")->getValue(), "#0900");
    }

    clock.advance(4000);
    startPlayingSession(collector, 0, 2);
    EXPECT_FALSE(collector->isClosed());
    clock.advance(61'500);
    collector->closePlayingSession();
    EXPECT_TRUE(collector->isClosed());
    writeGameStatistics();
    EXPECT_EQ(getStatisticsCollector(), nullptr);

    EXPECT_EQ(storedTotal(), 65u);
    RefHolder<PropertyStore> file = readFile();
    PropertyNode* root = file->getChildNode("DataGathering");
    EXPECT_FALSE(root->getChildNode("SystemInfo")->isDummy());
    PropertyVector* sessions = root->getChildVector("PlayingSessions");
    ASSERT_EQ(sessions->getChildCount(), 1);
    PropertyNode* session = nodeOrDummy(sessions->getChildAt(0));
    EXPECT_EQ(session->getTypeWord(), "PlayingSession");
    EXPECT_EQ(session->getName(), "");
    EXPECT_EQ(session->getChildValue("StartTime")->getValue(), std::to_string(SOME_MOMENT + 4));
    EXPECT_EQ(session->getChildValue("EndTime")->getValue(), std::to_string(SOME_MOMENT + 65));
    EXPECT_EQ(session->getChildValue("GameMode")->getValue(), "0");
    EXPECT_EQ(session->getChildValue("NumOfPlayers")->getValue(), "2");
    EXPECT_EQ(session->getChildValue("FullScreen")->getValue(), "false");
    EXPECT_EQ(session->getChildValue("BitDepth")->getValue(), "0");  // no game window in this run
    EXPECT_EQ(session->getChildValue("ScreenWidth")->getValue(), "1280");
    EXPECT_EQ(session->getChildValue("ScreenHeight")->getValue(), "1024");
}

TEST_F(StatisticsCollectorTest, ARunWithoutASessionWritesNoneAndDropsEvents) {
    startRun();
    StatisticsCollector* collector = getStatisticsCollector();
    RefHolder<PropertyNode> event(new PropertyNode("", "QVCustomEvent"));
    addSessionEvent(collector, event.get());
    EXPECT_EQ(event->getRefCount(), 1);  // not kept: no session is open
    collector->closePlayingSession();    // nothing to close
    EXPECT_TRUE(collector->getSessions().empty());
    writeGameStatistics();

    RefHolder<PropertyStore> file = readFile();
    PropertyVector* sessions =
        file->getChildNode("DataGathering")->getChildVector("PlayingSessions");
    EXPECT_FALSE(sessions->isDummy());
    EXPECT_EQ(sessions->getChildCount(), 0);
}

TEST_F(StatisticsCollectorTest, EventsStayWithTheOpenSessionInMemoryAndAreNotWritten) {
    startRun();
    StatisticsCollector* collector = getStatisticsCollector();
    startPlayingSession(collector, -1, 1);
    RefHolder<PropertyNode> event(new PropertyNode("", "QVCustomEvent"));
    addSessionEvent(collector, event.get());
    event->addChild(new PropertyValue("floorNumber", 3));  // the caller fills it afterwards
    EXPECT_EQ(event->getRefCount(), 2);
    ASSERT_EQ(collector->getSessions().back().events.size(), 1u);
    EXPECT_EQ(collector->getSessions().back().events[0].get(), event.get());
    addSessionEvent(collector, nullptr);
    EXPECT_EQ(collector->getSessions().back().events.size(), 1u);

    collector->closePlayingSession();
    addSessionEvent(collector, event.get());  // closed again: dropped
    EXPECT_EQ(event->getRefCount(), 2);
    writeGameStatistics();
    EXPECT_EQ(event->getRefCount(), 1);  // released with the collector

    RefHolder<PropertyStore> file = readFile();
    PropertyNode* session = nodeOrDummy(
        file->getChildNode("DataGathering")->getChildVector("PlayingSessions")->getChildAt(0));
    EXPECT_EQ(session->getChildValue("GameMode")->getValue(), "-1");
    EXPECT_EQ(session->getChild("Events"), nullptr);
    EXPECT_EQ(readTestFile(fileName()).find("floorNumber"), std::string::npos);
}

TEST_F(StatisticsCollectorTest, RunsAppendTheirSessionsAndReplaceTheReport) {
    // A session of an earlier version, written with its events: kept, without them.
    writeTestFile(fileName(),
                  "<root><DataGathering id=\"DataGathering\"><Vector id=\"Playing"
                  "Sessions\"><PlayingSession NumOfPlayers=\"0\"><Vector id=\"Events\">"
                  "<QVCustomEvent floorNumber=\"4\"/></Vector></PlayingSession></Vector>"
                  "</DataGathering></root>");
    for (int run = 0; run < 2; ++run) {
        machine.info.computerName = run == 0 ? "first" : "second";
        startRun();
        startPlayingSession(getStatisticsCollector(), 0, run + 1);
        getStatisticsCollector()->closePlayingSession();
        writeGameStatistics();
    }
    RefHolder<PropertyStore> file = readFile();
    PropertyNode* root = file->getChildNode("DataGathering");
    EXPECT_EQ(root->getChildNode("SystemInfo")->getChildValue("CompName")->getValue(), "second");
    PropertyVector* sessions = root->getChildVector("PlayingSessions");
    ASSERT_EQ(sessions->getChildCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        PropertyNode* session = nodeOrDummy(sessions->getChildAt(i));
        EXPECT_EQ(session->getChildValue("NumOfPlayers")->getValue(), std::to_string(i));
    }
    EXPECT_EQ(readTestFile(fileName()).find("Events"), std::string::npos);
}

TEST_F(StatisticsCollectorTest, AFileWithoutDataGatheringIsEmptiedAndRebuilt) {
    createFolderTree(getTempFolder());
    writeTestFile(fileName(),
                  "<root><Node id=\"Other\" a=\"1\"/><Integer id=\"n\" value=\"2\"/></root>");
    startRun();
    RefHolder<PropertyStore> file = readFile();
    EXPECT_EQ(file->getChild("Other"), nullptr);
    EXPECT_EQ(file->getChild("n"), nullptr);
    EXPECT_EQ(file->getNameTable().size(), 1u);
    EXPECT_FALSE(file->getChildNode("DataGathering")->getChildNode("SystemInfo")->isDummy());
}

// A report or a session list of the wrong kind is rebuilt as if missing; the rest is kept.
TEST_F(StatisticsCollectorTest, PartsOfTheWrongKindAreRebuiltAsIfMissing) {
    for (const std::string report : {"<Vector id=\"DataGathering\"/>",
                                     "<DataGathering id=\"DataGathering\"><Node id=\"Playing"
                                     "Sessions\"/><Node id=\"Kept\"/></DataGathering>"}) {
        createFolderTree(getTempFolder());
        writeTestFile(fileName(), "<root>" + report + "</root>");
        startRun();
        startPlayingSession(getStatisticsCollector(), 0, 1);
        writeGameStatistics();
        RefHolder<PropertyStore> file = readFile();
        PropertyNode* root = file->getChildNode("DataGathering");
        EXPECT_FALSE(root->isDummy());
        EXPECT_FALSE(root->getChildNode("SystemInfo")->isDummy());
        EXPECT_EQ(root->getChildNode("Kept")->isDummy(), report.find("Kept") == std::string::npos)
            << report;
        EXPECT_EQ(root->getChildVector("PlayingSessions")->getChildCount(), 1);
    }
}

// The records in "bvq" are held alike (damaged in the first run, linked nowhere in the last).
TEST_F(StatisticsCollectorTest, AnUnreadableFileIsKeptAsideAndToldAndAFreshOneWritten) {
    static std::vector<std::string> keptAs;
    keptAs.clear();
    fileSetAside.install([](const StoredFile& what, const std::string&, const std::string& kept) {
        keptAs.push_back(what.kind == StoredFileKind::STATISTICS ? kept : "?");
    });
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) {
        if (line.find("/bvq/") != std::string::npos) {
            logged.push_back(line);
        }
    });
    const std::string records =
        keys.keyFolder(getGameRegistryPath() + "\\bvq") + "/values.keystore";
    writeTestFile(records, "damaged");
    // Damaged, empty, larger than any property file is read, and a link to a damaged file.
    const uintmax_t sizes[] = {9, 0, PropertyStore::MAX_FILE_BYTES + 1, 9};
    for (size_t fault = 0; fault < std::size(sizes); ++fault) {
        std::filesystem::remove_all(getTempFolder());
        writeTestFile(fileName() + "~", "<root><DataGathering id=\"DataGathering\">");
        std::filesystem::resize_file(fileName() + "~", sizes[fault]);
        fault == 3 ? std::filesystem::create_symlink(fileName() + "~", fileName())
                   : std::filesystem::rename(fileName() + "~", fileName());
        startRun();
        writeGameStatistics();
        ASSERT_EQ(keptAs.size(), fault + 1);
        EXPECT_EQ(std::filesystem::file_size(keptAs.back()), sizes[fault]) << keptAs.back();
        EXPECT_NE(readFile()->getChildNode("DataGathering")->getChild("SystemInfo"), nullptr);
    }
    // A folder in the way cannot be moved: it is told once, stays and is never written over.
    std::filesystem::remove(fileName());
    createFolderTree(fileName() + "/inside");
    std::filesystem::remove(records);
    std::filesystem::create_symlink(folder / "gone", records);
    startRun();
    startPlayingSession(getStatisticsCollector(), 0, 1);
    writeGameStatistics();
    EXPECT_EQ(keptAs.size(), 5u);
    EXPECT_EQ(keptAs.back(), "");
    EXPECT_TRUE(std::filesystem::is_directory(fileName() + "/inside"));
    setProblemSink(nullptr);
    EXPECT_TRUE(std::filesystem::is_symlink(records));
    ASSERT_EQ(logged.size(), 2u);  // once each, though a run writes the records twice
    EXPECT_NE(logged[0].find("could not be read; kept as"), std::string::npos);
    EXPECT_NE(logged[1].find("is a link that leads nowhere"), std::string::npos);
}

// Writes that fail are logged once a run for each file, told to nobody, and stay noted.
TEST_F(StatisticsCollectorTest, WritesThatFailAreLoggedOnceARun) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    const std::string records = keys.keyFolder(getGameRegistryPath() + "\\bvq");
    writeTestFile(records, "");
    std::filesystem::remove_all(getTempFolder());
    writeTestFile(getTempFolder(), "");
    startRun();
    EXPECT_EQ(FileSystem::takeWriteFailure(), WriteFailure::FOLDER_TAKEN);
    writeGameStatistics();
    setProblemSink(nullptr);
    const std::string taken = "\" could not be written: a file stands where a folder of its path";
    EXPECT_EQ(logged,
              (std::vector<std::string>{"\"" + records + "/values.keystore" + taken + " should be",
                                        "\"" + fileName() + taken + " should be"}));
}

TEST_F(StatisticsCollectorTest, TheTotalAddsWholeSecondsAcrossTheTickWrap) {
    RegistryValue total(getGameRegistryPath() + "\\bvq\\totalplayingtime", false);
    total.writeDword(100);
    startRun();
    EXPECT_EQ(getStatisticsCollector()->getTotalAtStart(), 100u);
    clock.advance(59'999);
    writeGameStatistics();
    EXPECT_EQ(storedTotal(), 159u);

    clock.setTickOffset(0xFFFFFFFFu - 500);  // the tick count wraps during the next run
    clock.set(0);
    startRun();
    clock.advance(2'501);
    writeGameStatistics();
    EXPECT_EQ(storedTotal(), 161u);
}

TEST_F(StatisticsCollectorTest, SessionTimesPast2038KeepTheirFullValue) {
    const int64_t later = 4'102'444'800;  // 2100-01-01
    clock.setUnixBase(later);
    startRun();
    startPlayingSession(getStatisticsCollector(), 0, 1);
    clock.advance(3000);
    getStatisticsCollector()->closePlayingSession();
    EXPECT_EQ(getStatisticsCollector()->getSessions()[0].startTime, later);
    EXPECT_EQ(getStatisticsCollector()->getSessions()[0].endTime, later + 3);
    writeGameStatistics();
    RefHolder<PropertyStore> file = readFile();
    PropertyNode* session = nodeOrDummy(
        file->getChildNode("DataGathering")->getChildVector("PlayingSessions")->getChildAt(0));
    EXPECT_EQ(session->getChildValue("StartTime")->getValue(), "4102444800");
    EXPECT_EQ(session->getChildValue("EndTime")->getValue(), "4102444803");
}

TEST_F(StatisticsCollectorTest, SessionsTakeDepthAndFullScreenFromTheGameWindow) {
    startRun();
    StatisticsCollector* collector = getStatisticsCollector();
    // The settings ask for full screen; the window runs in a window on a 16-bit desktop.
    SettingsManager::createInstance(new IGameSettings(true, false, false, false, 0, 0));
    collector->startPlayingSession(0, 1);
    FakeDisplay display;
    display.desktopDepth = 2;
    FakeEventSource events;
    FakeCursor cursor;
    FakeClipboard clipboard;
    FakeMessageBox messageBox;
    GameWindow::createInstance({&display, &events, &cursor, &clipboard, &messageBox, &clock},
                               "Quovel", 800, 600, false, 4, 0);
    collector->startPlayingSession(0, 1);
    GameWindow::releaseInstance();
    setDisplayBytesPerPixel(4);
    const std::vector<PlayingSessionRecord>& sessions = collector->getSessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_FALSE(sessions[0].fullScreen);  // no window yet
    EXPECT_EQ(sessions[0].bitDepth, 0);
    EXPECT_EQ(sessions[0].screenWidth, 1280);
    EXPECT_EQ(sessions[0].screenHeight, 1024);
    EXPECT_FALSE(sessions[1].fullScreen);
    EXPECT_EQ(sessions[1].bitDepth, 16);
    EXPECT_EQ(sessions[1].screenWidth, 1280);
}

TEST_F(StatisticsCollectorTest, TheReportCostsNothingNoticeableAtStartUp) {
    startRun();
    EXPECT_EQ(machine.gatherCount, 1);
    EXPECT_TRUE(clock.sleeps.empty());
    writeGameStatistics();

    // The machine's own report, with nothing timed by spinning: that would spend the processor
    // time it times, which load delays but hardly adds to.
    LinuxSystemInfoSource machineSource;
    const double before = threadCpuMilliseconds();
    initGameStatistics(clock, machineSource);
    EXPECT_LT(threadCpuMilliseconds() - before, 100.0);
    EXPECT_TRUE(clock.sleeps.empty());
    RefHolder<PropertyStore> file = readFile();
    EXPECT_FALSE(file->getChildNode("DataGathering")->getChildNode("SystemInfo")->isDummy());
}

TEST(StatisticsCollectorWithoutStartTest, ShutDownWithoutACollectorDoesNothing) {
    ASSERT_EQ(getStatisticsCollector(), nullptr);
    writeGameStatistics();
    startPlayingSession(nullptr, 0, 1);
    addSessionEvent(nullptr, nullptr);
    EXPECT_EQ(getStatisticsCollector(), nullptr);
}

}  // namespace statistics_collector_test
