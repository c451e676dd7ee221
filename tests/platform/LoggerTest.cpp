#include <gtest/gtest.h>

#include <string>

#include "framework/platform/Folders.h"
#include "framework/platform/Logger.h"
#include "framework/platform/RegistryValue.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeFileSystem.h"
#include "testsupport/os/FakeKeyStore.h"

namespace logger_test {

constexpr int64_t MARCH_5TH_2007_AT_140309 = 1173103389;  // UTC

// Each test runs on a fake file system and key store, with the clock at 5 March 2007,
// 14:03:09.250 UTC.
class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileSystem::setCurrent(&files);
        KeyStore::setCurrentUser(&keys);
        resetFolderCache();
        setGameName("Quovel Mahjong");
        clock.setUnixBase(MARCH_5TH_2007_AT_140309);
        clock.set(250);
    }
    void TearDown() override {
        FileSystem::setCurrent(nullptr);
        KeyStore::setCurrentUser(nullptr);
        resetFolderCache();
        setGameName("");
    }

    FakeFileSystem files;
    FakeKeyStore keys;
    FakeClock clock;
};

TEST_F(LoggerTest, NameIsTheUtcDateAndTimeWithHyphensInTheTempLogFolder) {
    Logger& logger = Logger::instance();
    EXPECT_EQ(&logger, &Logger::instance());
    logger.registerGameLogFile(clock);

    const std::string folder = getTempFolder() + "/log";
    EXPECT_EQ(logger.getFileName(), folder + "/2007-03-05 14-03-09.log");
    EXPECT_TRUE(files.exists(folder));
    EXPECT_TRUE(files.files.empty());  // the file itself is never made

    KeyValue recorded;
    ASSERT_TRUE(keys.readValue(getGameRegistryPath() + "\\bvq", "cdgfilename", recorded));
    EXPECT_EQ(recorded, KeyValue::makeString("cdgfilename", logger.getFileName()));
}

TEST_F(LoggerTest, RunsInTheSameSecondShareTheNameAndLaterRunsReplaceTheRecord) {
    Logger& logger = Logger::instance();
    logger.registerLogFile("Software/Brastel/Games/Other", clock);
    const std::string first = logger.getFileName();
    clock.advance(700);  // 14:03:09.950
    logger.registerLogFile("Software/Brastel/Games/Other", clock);
    EXPECT_EQ(logger.getFileName(), first);

    clock.advance(3600 * 1000 * 10 + 51 * 1000);  // past midnight: 00:04:00.950 next day
    logger.registerLogFile("Software/Brastel/Games/Other", clock);
    EXPECT_EQ(logger.getFileName(), getTempFolder() + "/log/2007-03-06 00-04-00.log");
    KeyValue recorded;
    ASSERT_TRUE(keys.readValue("Software\\Brastel\\Games\\Other\\bvq", "cdgfilename", recorded));
    EXPECT_EQ(recorded.text, logger.getFileName());
}

TEST_F(LoggerTest, WithoutADataRootTheLogFolderLiesInTheProgramFolder) {
    files.dataRoot.clear();
    Logger::instance().makeFileName(clock);
    EXPECT_EQ(Logger::instance().getFileName(), "/opt/game/_temp/log/2007-03-05 14-03-09.log");
    EXPECT_TRUE(files.exists("/opt/game/_temp/log"));
}

TEST_F(LoggerTest, FailuresOfTheFolderAndTheRecordAreIgnored) {
    files.folders.erase("/home/player");
    keys.failWrites = true;
    Logger::instance().registerGameLogFile(clock);
    EXPECT_EQ(Logger::instance().getFileName(), getTempFolder() + "/log/2007-03-05 14-03-09.log");
    std::vector<KeyValue> values;
    EXPECT_FALSE(keys.readValues(getGameRegistryPath() + "\\bvq", values));
}

TEST(LogFileNameTest, FieldsArePaddedToTheirWidths) {
    UtcTime time;
    time.year = 2038;
    time.month = 1;
    time.day = 19;
    time.hour = 3;
    time.minute = 14;
    time.second = 8;
    EXPECT_EQ(logFileNameFor(time), "2038-01-19 03-14-08.log");
}

}  // namespace logger_test
