#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeFileSystem.h"

namespace folders_test {

// Runs each test on a fake file system with fresh folder caches.
class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileSystem::setCurrent(&fake);
        resetFolderCache();
        setGameName("Quovel Mahjong");
    }
    void TearDown() override {
        FileSystem::setCurrent(nullptr);
        resetFolderCache();
        setGameName("");
        FileArchive::close();
    }

    FakeFileSystem fake;
};

TEST_F(FoldersTest, PerUserFoldersLieUnderTheDataRootAndAreMade) {
    EXPECT_EQ(getCommonDataRoot(), "/home/player/.local/share/Brastel/Games");
    EXPECT_EQ(getGameDataFolder(), "/home/player/.local/share/Brastel/Games/Quovel Mahjong");
    EXPECT_EQ(getTempFolder(), "/home/player/.local/share/Brastel/Games/Quovel Mahjong/_temp");
    EXPECT_TRUE(fake.exists("/home/player/.local"));
    EXPECT_TRUE(fake.exists("/home/player/.local/share/Brastel"));
    EXPECT_TRUE(fake.exists(getTempFolder()));
    EXPECT_EQ(getProgramFolder(), "/opt/game");
    EXPECT_EQ(getCurrentFolder(), "/opt/game");
}

TEST_F(FoldersTest, FoldersAreCachedUntilReset) {
    const std::string first = getGameDataFolder();
    fake.dataRoot = "/elsewhere";
    fake.folders.insert("/elsewhere");
    EXPECT_EQ(getGameDataFolder(), first);
    EXPECT_EQ(getTempFolder(), first + "/_temp");
    resetFolderCache();
    EXPECT_EQ(getGameDataFolder(), "/elsewhere/Brastel/Games/Quovel Mahjong");
    EXPECT_EQ(getTempFolder(), "/elsewhere/Brastel/Games/Quovel Mahjong/_temp");
}

TEST_F(FoldersTest, WithoutADataRootEverythingGoesToTheProgramFolder) {
    fake.dataRoot.clear();
    EXPECT_EQ(getCommonDataRoot(), "/opt/game");
    EXPECT_EQ(getGameDataFolder(), "/opt/game");
    EXPECT_EQ(getTempFolder(), "/opt/game/_temp");
    EXPECT_TRUE(fake.exists("/opt/game/_temp"));
}

TEST_F(FoldersTest, GameFolderIsNamedByGameNameOnceItIsLoaded) {
    setGameName("");
    BasicProperties::releaseInstance();
    BasicProperties::createInstance();
    const std::string root = "/home/player/.local/share/Brastel/Games";
    // The loaded name is kept for the whole process; CTest runs each test in a fresh one.
    if (BasicProperties::getGameName().empty()) {
        // A lookup before the property files are read must not fix the folder for good.
        EXPECT_EQ(getGameDataFolder(), root);
        EXPECT_EQ(getTempFolder(), root + "/_temp");
    }
    RefHolder<PropertyValue> name(new PropertyValue("GAME_NAME", std::string("Quovel Mahjong")));
    BasicProperties::storeString(name.get());
    EXPECT_EQ(getGameDataFolder(), root + "/Quovel Mahjong");
    EXPECT_EQ(getTempFolder(), root + "/Quovel Mahjong/_temp");
    EXPECT_TRUE(fake.exists(root + "/Quovel Mahjong/_temp"));

    // A name set for a test stands in for it.
    setGameName("Other Game");
    resetFolderCache();
    EXPECT_EQ(getGameDataFolder(), root + "/Other Game");
    setGameName("");
    resetFolderCache();
    EXPECT_EQ(getGameDataFolder(), root + "/Quovel Mahjong");
    BasicProperties::releaseInstance();
}

TEST_F(FoldersTest, CreateFolderTreeMakesMissingParentsFirst) {
    createFolderTree("/opt/game/a/b/c");
    EXPECT_EQ(fake.createdFolders,
              (std::vector<std::string>{"/opt/game/a", "/opt/game/a/b", "/opt/game/a/b/c"}));
    fake.createdFolders.clear();
    createFolderTree("/opt/game/a/b");  // there already: nothing is asked
    createFolderTree("");
    EXPECT_TRUE(fake.createdFolders.empty());
    createFolderTree("rel\\dir");
    EXPECT_TRUE(fake.exists("rel"));
    EXPECT_TRUE(fake.exists("rel\\dir"));
}

TEST_F(FoldersTest, DeleteFolderTreeReportsWhatItCouldNotRemove) {
    createFolderTree("/opt/game/tree/sub");
    fake.files["/opt/game/tree/sub/a.sav"] = {1};
    fake.files["/opt/game/tree/b.sav"] = {2};
    fake.undeletable.insert("/opt/game/tree/b.sav");
    EXPECT_FALSE(deleteFolderTree("/opt/game/tree"));
    EXPECT_TRUE(fake.exists("/opt/game/tree"));
    EXPECT_TRUE(fake.exists("/opt/game/tree/b.sav"));
    fake.undeletable.clear();
    EXPECT_TRUE(deleteFolderTree("/opt/game/tree"));
    EXPECT_FALSE(fake.exists("/opt/game/tree"));
    EXPECT_FALSE(deleteFolderTree("/"));
    EXPECT_FALSE(deleteFolderTree(""));
}

TEST(EscapeName, KeepsLowerCaseLettersAndDigitsOnly) {
    EXPECT_EQ(escapeName("Ann 2"), "-41-nn-20-2");
    EXPECT_EQ(escapeName(""), "");
    EXPECT_EQ(escapeName("\xE9"), "-FFFFFFE9-");
    EXPECT_EQ(escapeName("Zo\xC3\xAB"), "-5A-o-FFFFFFC3--FFFFFFAB-");
    EXPECT_EQ(escapeName(std::string("a\0b", 3)), "a-0-b");
    EXPECT_EQ(escapeName("../x"), "-2E--2E--2F-x");
    EXPECT_EQ(escapeName("\x7F\x80"), "-7F--FFFFFF80-");
}

TEST(NormalizePath, JoinsWithSingleForwardSlashes) {
    EXPECT_EQ(normalizePath(""), "");
    EXPECT_EQ(normalizePath("media\\levels//file.xml"), "media/levels/file.xml");
    EXPECT_EQ(normalizePath("./media/a.png"), "media/a.png");
    EXPECT_EQ(normalizePath(".\\media\\\\\\a.png"), "media/a.png");
    EXPECT_EQ(normalizePath("media/././a.png"), "media/a.png");
    EXPECT_EQ(normalizePath("/media////a.png"), "/media/a.png");
}

TEST(FolderOfPath, CutsAtTheLastSlash) {
    EXPECT_EQ(getFolderOfPath(""), "");
    EXPECT_EQ(getFolderOfPath("file.xml"), "file.xml");
    EXPECT_EQ(getFolderOfPath("media\\levels\\file.xml"), "media/levels");
    EXPECT_EQ(getFolderOfPath("media//fonts/"), "media/fonts");
}

TEST(ToLowerPath, DropsOneLeadingSlashAndLowersLetters) {
    EXPECT_EQ(toLowerPath("/Media\\Levels/Roof.XML"), "media/levels/roof.xml");
    EXPECT_EQ(toLowerPath("Ab\xC3\x89"), "ab\xC3\x89");  // bytes above ASCII stay
    EXPECT_EQ(toLowerPath(""), "");
}

TEST_F(FoldersTest, StoredNamesOfScrambledModesEndInBang) {
    EXPECT_EQ(getStoredFileName(1, "players/ann.plr"), "players/ann.plr");
    EXPECT_EQ(getStoredFileName(2, "players/ann.plr"), "players/ann.plr");
    EXPECT_EQ(getStoredFileName(3, "players/ann.plr"), "players/ann.plr.!");
    EXPECT_EQ(getStoredFileName(4, "players/ann.plr"), "players/ann.plr.!");
    // Mode 0 follows the process-wide mode, but only while the archive exists.
    EXPECT_EQ(getStoredFileName(0, "a.xml"), "a.xml");
    FileArchive::open(4, "absent.dat");
    EXPECT_EQ(getStoredFileName(0, "a.xml"), "a.xml.!");
    FileArchive::open(1, "absent.dat");
    EXPECT_EQ(getStoredFileName(0, "a.xml"), "a.xml");
    FileArchive::close();
    EXPECT_EQ(getStoredFileName(0, "a.xml"), "a.xml");
}

TEST(GrantEveryoneAccess, DoesNothingAndSucceeds) {
    TempFolder temp;
    writeTestFile(temp / "file", "x");
    const auto before = std::filesystem::status(temp / "file").permissions();
    EXPECT_TRUE(grantEveryoneAccess(temp / "file"));
    EXPECT_EQ(std::filesystem::status(temp / "file").permissions(), before);
}

TEST(Folders, RealFoldersFollowXdgDataHome) {
    TempFolder temp;
    DataFolderScope dataFolder(temp.str(), "Quovel Mahjong");
    const std::string tempFolder = getTempFolder();
    EXPECT_EQ(tempFolder, temp / "Brastel/Games/Quovel Mahjong/_temp");
    EXPECT_TRUE(std::filesystem::is_directory(tempFolder));
}

}  // namespace folders_test
