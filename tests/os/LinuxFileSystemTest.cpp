#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/os/LinuxFileSystem.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"

namespace fs = std::filesystem;

namespace linux_file_system_test {

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Each test has a temporary folder of its own.
class LinuxFileSystemTest : public testing::Test {
protected:
    TempFolder temp;
    LinuxFileSystem system;
};

TEST_F(LinuxFileSystemTest, KnowsTheProgramAndCurrentFolders) {
    EXPECT_EQ(system.programFolder(), fs::canonical("/proc/self/exe").parent_path().string());
    EXPECT_EQ(system.currentFolder(), fs::current_path().string());
}

TEST_F(LinuxFileSystemTest, DataRootFollowsTheXdgRules) {
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(system.userDataRoot(), "/srv/data");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "relative/data");  // not allowed: ignored
        ScopedEnvironment home("HOME", "/home/ann");
        EXPECT_EQ(system.userDataRoot(), "/home/ann/.local/share");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "");
        ScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(system.userDataRoot(), "");
    }
}

TEST_F(LinuxFileSystemTest, CreatesOneFolderAtATime) {
    EXPECT_FALSE(system.exists(temp / "a"));
    EXPECT_TRUE(system.createFolder(temp / "a"));
    EXPECT_TRUE(system.exists(temp / "a"));
    EXPECT_TRUE(fs::is_directory(temp / "a"));
    EXPECT_FALSE(system.createFolder(temp / "a"));
    EXPECT_FALSE(system.createFolder(temp / "x/y"));
    EXPECT_FALSE(system.exists(""));
}

TEST_F(LinuxFileSystemTest, AtomicWritesReplaceWholeAndLeaveNothingBehind) {
    const std::string target = temp / "players.plrs";
    const std::string first = "first version";
    ASSERT_TRUE(system.writeFileAtomic(target, reinterpret_cast<const uint8_t*>(first.data()),
                                       first.size()));
    EXPECT_EQ(readTestFile(target), first);
    const std::string second(100000, 'x');
    ASSERT_TRUE(system.writeFileAtomic(target, reinterpret_cast<const uint8_t*>(second.data()),
                                       second.size()));
    EXPECT_EQ(readTestFile(target), second);
    EXPECT_TRUE(system.writeFileAtomic(temp / "empty", nullptr, 0));
    EXPECT_EQ(fs::file_size(temp / "empty"), 0u);
    EXPECT_EQ(entriesOf(temp.path).size(), 2u);  // no temporary files left
}

TEST_F(LinuxFileSystemTest, TemporaryFilesLeftByACutWriteAreRemovedWithoutFollowingLinks) {
    TempFolder outside;
    fs::create_directories(temp / "player/saves");
    const auto put = [](const std::string& path) { writeTestFile(path, "x"); };
    put(temp / ".players.plrs.tmpa0z9b");
    put(temp / "player/saves/.game.sav.tmp00000");
    put(temp / "players.plrs");
    put(temp / "notes.tmp");       // not a name of ours: no leading dot, no suffix
    put(temp / ".cfg.tmpAB12c");   // upper case never appears in our suffixes
    put(temp / ".cfg.tmpab12");    // suffix too short
    put(outside / ".x.tmpabcde");  // reached only through the link
    fs::create_directory_symlink(outside.path, temp.path / "link");
    fs::create_directory(temp / ".dir.tmpabcde");  // a folder, whatever its name

    EXPECT_EQ(system.removeTemporaryFiles(temp.str() + "/"), 2);
    EXPECT_FALSE(fs::exists(temp / ".players.plrs.tmpa0z9b"));
    EXPECT_FALSE(fs::exists(temp / "player/saves/.game.sav.tmp00000"));
    for (const char* kept : {"players.plrs", "notes.tmp", ".cfg.tmpAB12c", ".cfg.tmpab12",
                             "link/.x.tmpabcde", ".dir.tmpabcde"}) {
        EXPECT_TRUE(fs::exists(temp / kept)) << kept;
    }
    EXPECT_EQ(system.removeTemporaryFiles(temp / "missing"), 0);
}

TEST_F(LinuxFileSystemTest, FailedWritesKeepTheOldFile) {
    const std::string bytes = "new";
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    // A folder in the target's place cannot be replaced by a file; each failure is noted.
    FileSystem::takeFailedWrite();
    fs::create_directory(temp / "scores.xml");
    writeTestFile(temp / "scores.xml/kept", "old");
    EXPECT_FALSE(system.writeFileAtomic(temp / "scores.xml", data, bytes.size()));
    const FailedWrite taken = FileSystem::takeFailedWrite();
    EXPECT_EQ(taken.why, WriteFailure::FILE_TAKEN);
    EXPECT_EQ(taken.path, temp / "scores.xml");
    EXPECT_EQ(readTestFile(temp / "scores.xml/kept"), "old");
    EXPECT_EQ(entriesOf(temp.path), std::vector<std::string>{"scores.xml"});
    EXPECT_FALSE(system.writeFileAtomic(temp / "missing/file", data, bytes.size()));
    EXPECT_EQ(FileSystem::takeWriteFailure(), WriteFailure::FOLDER_MISSING);
    EXPECT_FALSE(system.writeFileAtomic(temp / "scores.xml/kept/file", data, bytes.size()));
    EXPECT_EQ(FileSystem::takeWriteFailure(), WriteFailure::FOLDER_TAKEN);
    EXPECT_FALSE(system.writeFileAtomic(temp / "trailing/", data, bytes.size()));
}

TEST_F(LinuxFileSystemTest, ReadsWholeFilesWithinTheCap) {
    writeTestFile(temp / "a.txt", "hello");
    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_EQ(system.readFile(temp / "a.txt", 100, bytes), FileReadResult::OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "hello");
    EXPECT_EQ(system.readFile(temp / "a.txt", 4, bytes), FileReadResult::TOO_LARGE);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(system.readFile(temp / "none.txt", 100, bytes), FileReadResult::NOT_FOUND);
    EXPECT_EQ(system.readFile(temp / "a.txt/below", 100, bytes), FileReadResult::NOT_FOUND);
    EXPECT_EQ(system.readFile(temp.str(), 100, bytes), FileReadResult::FAILED);

    // A sparse file claims 3 GB without using the disk; the cap refuses it before reading.
    const std::string huge = temp / "huge.bin";
    writeTestFile(huge, "");
    fs::resize_file(huge, 3ull << 30);
    EXPECT_EQ(system.readFile(huge, 256u << 20, bytes), FileReadResult::TOO_LARGE);
}

TEST_F(LinuxFileSystemTest, DeletesTreesWithoutFollowingLinks) {
    writeTestFile(temp / "outside/precious.txt", "keep me");
    writeTestFile(temp / "tree/a.txt", "a");
    writeTestFile(temp / "tree/sub/deeper/b.txt", "b");
    fs::create_directory_symlink(temp / "outside", temp / "tree/sub/link-to-folder");
    fs::create_symlink(temp / "outside/precious.txt", temp / "tree/link-to-file");
    fs::create_symlink(temp / "nowhere", temp / "tree/dangling");

    EXPECT_TRUE(system.deleteFolderTree(temp / "tree/"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp / "tree")));
    EXPECT_EQ(readTestFile(temp / "outside/precious.txt"), "keep me");
}

TEST_F(LinuxFileSystemTest, RefusesToDeleteThroughALinkOrNothing) {
    writeTestFile(temp / "real/file.txt", "stays");
    fs::create_directory_symlink(temp / "real", temp / "alias");
    EXPECT_FALSE(system.deleteFolderTree(temp / "alias"));
    EXPECT_FALSE(system.deleteFolderTree(temp / "alias/"));
    EXPECT_EQ(readTestFile(temp / "real/file.txt"), "stays");
    EXPECT_TRUE(fs::is_symlink(temp / "alias"));

    EXPECT_FALSE(system.deleteFolderTree(temp / "absent"));
    EXPECT_FALSE(system.deleteFolderTree(temp / "real/file.txt"));  // a file, not a folder
    EXPECT_FALSE(system.deleteFolderTree(""));
    EXPECT_FALSE(system.deleteFolderTree("/"));
}

TEST_F(LinuxFileSystemTest, DeletesOneFileAndALinkAsALink) {
    writeTestFile(temp / "target", "kept");
    writeTestFile(temp / "file", "x");
    fs::create_symlink(temp / "target", temp / "link");
    EXPECT_TRUE(system.deleteFile(temp / "file"));
    EXPECT_FALSE(fs::exists(temp / "file"));
    EXPECT_TRUE(system.deleteFile(temp / "link"));
    EXPECT_EQ(readTestFile(temp / "target"), "kept");
    EXPECT_FALSE(system.deleteFile(temp / "file"));  // gone already
    EXPECT_FALSE(system.deleteFile(temp.str()));     // a folder is no file
    EXPECT_FALSE(system.deleteFile(""));
}

TEST_F(LinuxFileSystemTest, NamesUpToTheWritableLengthCanBeReplaced) {
    const uint8_t byte = 1;
    const std::string longest(FileSystem::MAX_WRITABLE_NAME_LENGTH, 'n');
    FileSystem::takeFailedWrite();
    EXPECT_TRUE(system.writeFileAtomic(temp / longest, &byte, 1));
    EXPECT_TRUE(system.writeFileAtomic(temp / longest, &byte, 1));
    EXPECT_FALSE(system.writeFileAtomic(temp / (longest + "n"), &byte, 1));
    EXPECT_EQ(FileSystem::takeWriteFailure(), WriteFailure::NAME_TOO_LONG);
}

}  // namespace linux_file_system_test
