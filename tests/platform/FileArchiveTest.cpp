#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "framework/core/DataScrambler.h"
#include "framework/core/ProblemLog.h"
#include "framework/platform/FileArchive.h"
#include "testsupport/PeakMemory.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/ZipBuilder.h"

namespace fs = std::filesystem;

namespace file_archive_test {

std::string scrambled(std::string bytes) {
    DataScrambler::apply(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

std::string contentOf(const MemoryBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.getData()), buffer.getSize());
}

// Each test runs inside a fresh program folder and leaves no archive behind.
class FileArchiveTest : public ::testing::Test {
protected:
    FileArchiveTest() : inside(temp.path) {}
    ~FileArchiveTest() override { FileArchive::close(); }

    TempFolder temp;
    CurrentFolderScope inside;
    MemoryBuffer buffer;
};

TEST_F(FileArchiveTest, WithoutMediaDatEveryReadIsLoose) {
    writeTestFile("media/properties/text.xml", "<root/>");
    FileArchive::open(1, "");
    EXPECT_EQ(FileArchive::getFileMode(), 1);
    EXPECT_EQ(FileArchive::getInstance()->getArchivePath(), "");
    EXPECT_TRUE(FileArchive::readFile(0, "media/properties/text.xml", buffer));
    EXPECT_EQ(contentOf(buffer), "<root/>");
    EXPECT_EQ(buffer.getData()[buffer.getSize()], 0);  // parsable in place
    EXPECT_FALSE(FileArchive::readFile(0, "media/properties/none.xml", buffer));
    EXPECT_EQ(buffer.getSize(), 0u);
    EXPECT_FALSE(FileArchive::getInstance()->locateFile("media/properties/text.xml"));
}

TEST_F(FileArchiveTest, MembersShadowLooseFilesWhichRemainTheFallback) {
    ASSERT_TRUE(writeZip("media.dat", {{"media/a.txt", "from the archive"},
                                       {"media/Levels/Roof.lay", "stored", false}}));
    writeTestFile("media/a.txt", "loose a");
    writeTestFile("media/b.txt", "loose b");
    FileArchive::open(1, "");
    EXPECT_EQ(FileArchive::getFileMode(), 2);
    EXPECT_EQ(FileArchive::getInstance()->getArchivePath(), "media.dat");

    EXPECT_TRUE(FileArchive::readFile(0, "media/a.txt", buffer));
    EXPECT_EQ(contentOf(buffer), "from the archive");
    EXPECT_TRUE(FileArchive::readFile(0, "media/b.txt", buffer));
    EXPECT_EQ(contentOf(buffer), "loose b");
    EXPECT_TRUE(FileArchive::readFile(1, "media/a.txt", buffer));  // loose only
    EXPECT_EQ(contentOf(buffer), "loose a");

    // Other letter cases and spellings of the path find the same member.
    for (const char* path : {"MEDIA/A.TXT", ".\\media\\\\a.txt", "./media//A.txt"}) {
        EXPECT_TRUE(FileArchive::readFile(2, path, buffer)) << path;
        EXPECT_EQ(contentOf(buffer), "from the archive") << path;
    }
    EXPECT_TRUE(FileArchive::readFile(2, "media/levels/roof.lay", buffer));
    EXPECT_EQ(contentOf(buffer), "stored");
    EXPECT_EQ(buffer.getData()[buffer.getSize()], 0);
}

TEST_F(FileArchiveTest, ModeRulesOfOpen) {
    // What each stored number means, to the archive, the folders and the property files alike.
    for (int32_t mode = 0; mode <= 5; ++mode) {
        EXPECT_EQ(FileSource::isArchiveMode(mode), mode == 2 || mode == 4) << mode;
        EXPECT_EQ(FileSource::isScrambledMode(mode), mode == 3 || mode == 4) << mode;
    }
    ASSERT_TRUE(writeZip("media.dat", {{"x", "y"}}));
    FileArchive::open(4, "");
    EXPECT_EQ(FileArchive::getFileMode(), 4);
    FileArchive::open(0, "other.dat");
    EXPECT_EQ(FileArchive::getFileMode(), 4);
    EXPECT_EQ(FileArchive::getInstance()->getArchivePath(), "other.dat");
    FileArchive::close();
    EXPECT_EQ(FileArchive::getInstance(), nullptr);
    writeTestFile("loose.txt", "loose");
    EXPECT_TRUE(FileArchive::readFile(0, "loose.txt", buffer));  // mode 1 without an archive
}

TEST_F(FileArchiveTest, ScrambledMembersAndFilesReadPlain) {
    const std::string profile = "<root><value id=\"name\" value=\"Ann\"/></root>";
    const std::string levels = patternBytes(700, 3);
    ASSERT_TRUE(writeZip("media.dat", {{"media/properties/levels.xml.!", scrambled(levels)}}));
    writeTestFile("players/ann.plr.!", scrambled(profile));
    FileArchive::open(1, "");

    EXPECT_TRUE(FileArchive::readFile(4, "media/properties/levels.xml", buffer));
    EXPECT_EQ(contentOf(buffer), levels);
    EXPECT_TRUE(FileArchive::readFile(3, "players/ann.plr", buffer));
    EXPECT_EQ(contentOf(buffer), profile);
    // Mode 4 falls back to the scrambled loose file.
    EXPECT_TRUE(FileArchive::readFile(4, "players/ann.plr", buffer));
    EXPECT_EQ(contentOf(buffer), profile);
    // The plain modes read the stored name only without ".!".
    EXPECT_FALSE(FileArchive::readFile(2, "media/properties/levels.xml", buffer));

    FileArchive::open(4, "");
    EXPECT_TRUE(FileArchive::readFile(0, "media/properties/levels.xml", buffer));
    EXPECT_EQ(contentOf(buffer), levels);
}

TEST_F(FileArchiveTest, DamagedMembersFailCleanly) {
    const std::string good = patternBytes(5000, 1);
    ASSERT_TRUE(writeZip("media.dat", {{"bad-crc", good},
                                       {"truncated", good},
                                       {"truncated-stored", good, false},
                                       {"short-claim", good},
                                       {"oversized", good},
                                       {"good", good}}));
    ASSERT_TRUE(patchZipMember("media.dat", "bad-crc", ZipField::CRC, 0x12345678));
    ASSERT_TRUE(patchZipMember("media.dat", "truncated", ZipField::UNCOMPRESSED_SIZE, 6000));
    ASSERT_TRUE(patchZipMember("media.dat", "truncated-stored", ZipField::UNCOMPRESSED_SIZE, 6000));
    ASSERT_TRUE(patchZipMember("media.dat", "short-claim", ZipField::UNCOMPRESSED_SIZE, 4000));
    ASSERT_TRUE(patchZipMember("media.dat", "oversized", ZipField::UNCOMPRESSED_SIZE, 0x7FFFFFF0));
    // A loose file of a damaged member's name is not a fallback: the member was found.
    writeTestFile("bad-crc", "loose");
    FileArchive::open(1, "");

    for (const char* name :
         {"bad-crc", "truncated", "truncated-stored", "short-claim", "oversized"}) {
        buffer.resize(10);
        EXPECT_FALSE(FileArchive::readFile(2, name, buffer)) << name;
        EXPECT_EQ(buffer.getSize(), 0u) << name;
        EXPECT_EQ(buffer.getData()[0], 0) << name;
    }
    // The archive still serves its sound members afterwards.
    EXPECT_TRUE(FileArchive::readFile(2, "good", buffer));
    EXPECT_EQ(contentOf(buffer), good);
    EXPECT_FALSE(FileArchive::getInstance()->isFileOpen());
}

TEST_F(FileArchiveTest, MembersSharingBytesWithAnotherAreRefused) {
    // Two records naming one header, and a record naming a header inside another member's data:
    // every member involved is refused, walked or looked up; the others still read.
    ASSERT_TRUE(writeZip("inner.zip", {{"y", patternBytes(300, 4), false}}));
    const std::string inner = readTestFile("inner.zip");
    const std::string entry = inner.substr(0, inner.find("PK\x01\x02"));
    ASSERT_TRUE(writeZip("media.dat", {{"a1", "same bytes"},
                                       {"b2", "same bytes"},
                                       {"x", entry, false},
                                       {"y", patternBytes(300, 4), false},
                                       {"ok", "alone"}}));
    ASSERT_TRUE(pointDirectoryRecord("media.dat", "b2", 0));
    const auto inside = static_cast<uint32_t>(readTestFile("media.dat").find(entry));
    ASSERT_TRUE(pointDirectoryRecord("media.dat", "y", inside));
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    FileArchive::open(1, "");
    for (const char* name : {"a1", "b2", "x", "y"}) {
        EXPECT_FALSE(FileArchive::readFile(2, name, buffer)) << name;
    }
    EXPECT_TRUE(FileArchive::readFile(2, "ok", buffer));
    EXPECT_EQ(contentOf(buffer), "alone");
    FileArchive walk("media.dat");
    std::string opened;
    for (bool more = walk.goToFirstFile(); more; more = walk.goToNextFile()) {
        opened += walk.openCurrentFile() ? walk.getCurrentInfo().name : "";
    }
    EXPECT_EQ(opened, "ok");
    ASSERT_EQ(logged.size(), 8u);
    EXPECT_EQ(logged[3], "archive member \"y\" not read: its bytes overlap another member's");
    setProblemSink(nullptr);
}

TEST_F(FileArchiveTest, CutArchiveFallsBackToLooseFiles) {
    ASSERT_TRUE(writeZip("media.dat", {{"a.txt", patternBytes(3000, 9)}}));
    fs::resize_file("media.dat", 1000);  // the central directory is gone
    writeTestFile("a.txt", "loose");
    FileArchive::open(1, "");
    EXPECT_TRUE(FileArchive::readFile(2, "a.txt", buffer));
    EXPECT_EQ(contentOf(buffer), "loose");
    EXPECT_FALSE(FileArchive::getInstance()->isOpen());
}

TEST_F(FileArchiveTest, EmptyAndOversizedFilesAreNotRead) {
    ASSERT_TRUE(writeZip("media.dat", {{"empty-member", ""}}));
    writeTestFile("empty-member", "loose");
    writeTestFile("empty.txt", "");
    writeTestFile("huge.bin", "");
    fs::resize_file("huge.bin", FileArchive::MAX_FILE_SIZE + 1ull);  // sparse
    FileArchive::open(1, "");
    EXPECT_FALSE(FileArchive::readFile(2, "empty-member", buffer));
    EXPECT_FALSE(FileArchive::readFile(1, "empty.txt", buffer));
    EXPECT_FALSE(FileArchive::readFile(1, "huge.bin", buffer));
    EXPECT_FALSE(FileArchive::readFile(3, "empty.txt", buffer));
    EXPECT_EQ(buffer.getSize(), 0u);
}

TEST_F(FileArchiveTest, MembersPastTheUnpackLimitAreRefusedWithTheReasonLogged) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    const uint32_t limit = FileArchive::MAX_MEMBER_SIZE;
    ASSERT_TRUE(writeZip("media.dat", {{"limit.bin", std::string(limit, 'a')},
                                       {"over.bin", std::string(limit + 1, 'a')}}));
    writeTestFile("over.bin", "loose");
    FileArchive::open(1, "");
    const double peak = peakmemory::peakMegabytes(
        [&] { EXPECT_TRUE(FileArchive::readFile(2, "limit.bin", buffer)); });
    EXPECT_LT(peak, 1.25 * (limit >> 20)) << peak << " MB at the peak: held twice";
    EXPECT_EQ(buffer.getSize(), limit);
    EXPECT_TRUE(logged.empty());
    EXPECT_EQ(FileArchive::readFile(2, "over.bin", buffer, FileArchive::MAX_FILE_SIZE),
              FileReadResult::TOO_LARGE);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("over.bin\" not read: larger than 16 MB"), std::string::npos);
    setProblemSink(nullptr);
}

TEST_F(FileArchiveTest, LookupsFindEachMemberByAnyCaseAndFollowTheArchiveTheyOpen) {
    std::vector<ZipMember> many;
    for (unsigned index = 0; index < 300; ++index) {
        many.push_back(
            {"media/m" + std::to_string(index) + ".png", patternBytes(40 + index, index)});
    }
    // Two names equal but for case: the earlier one is found, as walking the directory finds it.
    many.push_back({"media/Twin.txt", "first twin"});
    many.push_back({"MEDIA/twin.TXT", "second twin"});
    many.push_back({std::string(255, 'n'), "longest name"});
    ASSERT_TRUE(writeZip("media.dat", many));
    ASSERT_TRUE(writeZip("other.dat", {{"media/m7.png", "other seven"}}));
    FileArchive::open(1, "");

    for (unsigned index = 0; index < 300; index += 7) {
        const std::string name = "MEDIA/M" + std::to_string(index) + ".PNG";
        ASSERT_TRUE(FileArchive::readFile(2, name, buffer)) << name;
        EXPECT_EQ(contentOf(buffer), many[index].bytes) << name;
    }
    EXPECT_TRUE(FileArchive::readFile(2, "media/twin.txt", buffer));
    EXPECT_EQ(contentOf(buffer), "first twin");
    EXPECT_TRUE(FileArchive::readFile(2, std::string(255, 'N'), buffer));
    EXPECT_EQ(contentOf(buffer), "longest name");

    // A name that is missing or too long for a member leaves the current member as it was.
    FileArchive& archive = *FileArchive::getInstance();
    ASSERT_TRUE(archive.locateFile("media/m299.png"));
    EXPECT_FALSE(archive.locateFile("media/m300.png"));
    EXPECT_FALSE(archive.locateFile(std::string(256, 'n')));
    EXPECT_EQ(archive.getCurrentInfo().name, "media/m299.png");
    ASSERT_TRUE(archive.openCurrentFile());
    EXPECT_TRUE(archive.readAll(buffer));
    EXPECT_EQ(contentOf(buffer), many[299].bytes);
    EXPECT_TRUE(archive.closeCurrentFile());

    // Another zip file behind the same archive: its own members, none of the first one's.
    archive.setArchivePath("other.dat");
    EXPECT_TRUE(FileArchive::readFile(2, "media/M7.png", buffer));
    EXPECT_EQ(contentOf(buffer), "other seven");
    EXPECT_FALSE(archive.locateFile("media/m8.png"));
}

TEST_F(FileArchiveTest, DirectoryRecordsWithLargeExtraFieldsAreReadInTimeOfTheirSize) {
    // 65,535-byte extra fields of empty blocks, past each of which minizip seeks: the members
    // are found and read in well under the processor time of a system call per block (1.2 s),
    // also when the end record claims a record more than the directory holds (told once in the
    // problem log), and when bytes stand in front of the archive (3,000 in variants 2 and 3).
    const std::string extra = std::string(65528, '\0') + std::string("\xFE\xCA\x03\x00xyz", 7);
    std::vector<ZipMember> many;
    for (unsigned index = 0; index < 100; ++index) {
        many.push_back({"m" + std::to_string(index), patternBytes(index, index)});
    }
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    for (const uint8_t variant : {0, 1, 2, 3}) {
        const uint8_t claimedMore = variant % 2;
        SCOPED_TRACE(variant);
        FileArchive::close();
        logged.clear();
        ASSERT_TRUE(writeZip("media.dat", many, extra));
        claimMoreMembers("media.dat", claimedMore);
        writeTestFile("media.dat", patternBytes(variant / 2 * 3000, 5) + readTestFile("media.dat"));
        const std::clock_t start = std::clock();
        FileArchive::open(1, "");
        for (const ZipMember& member : many) {
            ASSERT_TRUE(FileArchive::readFile(2, member.name, buffer) || member.bytes.empty());
            EXPECT_EQ(contentOf(buffer), member.bytes);
        }
        EXPECT_FALSE(FileArchive::getInstance()->locateFile("m100"));
        EXPECT_LT(std::clock() - start, CLOCKS_PER_SEC / 2);
        // What a lookup tells of a member is what a walk of the directory tells.
        FileArchive walk("media.dat");
        FileArchive& archive = *FileArchive::getInstance();
        for (bool more = walk.goToFirstFile(); more; more = walk.goToNextFile()) {
            const ArchiveMemberInfo info = walk.getCurrentInfo();
            ASSERT_TRUE(archive.locateFile(info.name));
            const ArchiveMemberInfo found = archive.getCurrentInfo();
            EXPECT_EQ(std::tie(found.name, found.compressedSize, found.uncompressedSize, found.crc,
                               found.compressionMethod, found.dosDate),
                      std::tie(info.name, info.compressedSize, info.uncompressedSize, info.crc,
                               info.compressionMethod, info.dosDate));
        }
        // Said once by each of the two archives.
        EXPECT_EQ(logged,
                  std::vector<std::string>(claimedMore * 2u,
                                           "archive \"media.dat\": its directory names 101 "
                                           "members, of which the first 100 could be read"));
    }
    setProblemSink(nullptr);
}

TEST_F(FileArchiveTest, MembersCanBeWalkedAndReadByteByByte) {
    ASSERT_TRUE(writeZip("media.dat", {{"one", "ab"}, {"two", "c"}}));
    FileArchive archive("media.dat");
    archive.addFileName("one");
    ASSERT_TRUE(archive.goToFirstFile());
    EXPECT_TRUE(archive.isOpen());
    EXPECT_EQ(archive.getCurrentInfo().name, "one");
    EXPECT_EQ(archive.getCurrentInfo().uncompressedSize, 2u);
    ASSERT_TRUE(archive.goToNextFile());
    EXPECT_EQ(archive.getCurrentInfo().name, "two");
    EXPECT_FALSE(archive.goToNextFile());

    EXPECT_FALSE(archive.isEndOfFile());  // no open member
    EXPECT_EQ(archive.readByte(), -1);
    ASSERT_TRUE(archive.openFile("ONE"));
    EXPECT_TRUE(archive.isFileOpen());
    EXPECT_EQ(archive.readByte(), 'a');
    EXPECT_EQ(archive.readByte(), 'b');
    EXPECT_TRUE(archive.isEndOfFile());
    EXPECT_EQ(archive.readByte(), -1);
    EXPECT_TRUE(archive.closeCurrentFile());
    EXPECT_FALSE(archive.closeCurrentFile());

    archive.setArchivePath("missing.dat");
    EXPECT_FALSE(archive.isOpen());
    EXPECT_FALSE(archive.locateFile("one"));
    EXPECT_EQ(archive.openArchive(), nullptr);
}

}  // namespace file_archive_test
