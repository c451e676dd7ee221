#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/DataScrambler.h"
#include "framework/platform/FileArchive.h"
#include "testsupport/ShellWord.h"
#include "testsupport/TempFolder.h"

namespace fs = std::filesystem;

namespace pack_archive_test {

int runPacker(const std::string& arguments) {
    const std::string command =
        shellWord(QUOVEL_PACK_ARCHIVE_TOOL) + " " + arguments + " 2>/dev/null";
    return std::system(command.c_str());
}

std::string packedContent(const MemoryBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.getData()), buffer.getSize());
}

// Names of the archive's members, in stored order.
std::vector<std::string> memberNames(FileArchive& archive) {
    std::vector<std::string> names;
    for (bool more = archive.goToFirstFile(); more; more = archive.goToNextFile()) {
        names.push_back(archive.getCurrentInfo().name);
    }
    return names;
}

class PackArchiveTest : public ::testing::Test {
protected:
    PackArchiveTest() : inside(temp.path) {
        writeTestFile("source/media/properties/resources.xml", resources);
        writeTestFile("source/media/properties/levels.xml", levels);
        writeTestFile("source/media/images/tile.png", picture);
        writeTestFile("source/media/sounds/click.wav", sound);
        writeTestFile("scramble.txt",
                      "# scrambled in the archive\n\nmedia/properties/levels.xml\r\n"
                      "  media\\images\\tile.png  \n");
    }
    ~PackArchiveTest() override { FileArchive::close(); }

    TempFolder temp;
    CurrentFolderScope inside;
    const std::string resources = "<root><Node id=\"splash\"/></root>";
    const std::string levels = "<root><value id=\"floors\" value=\"12\"/></root>";
    const std::string picture = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + "\xFF\xFE";
    const std::string sound = "RIFF....WAVEfmt ";
};

TEST_F(PackArchiveTest, PacksAFolderThatTheArchiveReadsBack) {
    ASSERT_EQ(runPacker("source media.dat scramble.txt"), 0);
    FileArchive::open(1, "");
    ASSERT_EQ(FileArchive::getFileMode(), 2);
    FileArchive* archive = FileArchive::getInstance();
    EXPECT_EQ(
        memberNames(*archive),
        (std::vector<std::string>{"media/images/tile.png.!", "media/properties/levels.xml.!",
                                  "media/properties/resources.xml", "media/sounds/click.wav"}));

    MemoryBuffer buffer;
    EXPECT_TRUE(FileArchive::readFile(0, "media/properties/resources.xml", buffer));
    EXPECT_EQ(packedContent(buffer), resources);
    EXPECT_TRUE(FileArchive::readFile(2, "media/sounds/click.wav", buffer));
    EXPECT_EQ(packedContent(buffer), sound);
    EXPECT_TRUE(FileArchive::readFile(4, "media/properties/levels.xml", buffer));
    EXPECT_EQ(packedContent(buffer), levels);
    EXPECT_TRUE(FileArchive::readFile(4, "media/images/tile.png", buffer));
    EXPECT_EQ(packedContent(buffer), picture);
    EXPECT_FALSE(FileArchive::readFile(2, "media/properties/levels.xml", buffer));

    // The stored bytes are the scrambled ones.
    ASSERT_TRUE(archive->openFile("media/properties/levels.xml.!"));
    ASSERT_TRUE(archive->readAll(buffer));
    EXPECT_TRUE(archive->closeCurrentFile());
    std::string expected = levels;
    DataScrambler::apply(reinterpret_cast<uint8_t*>(expected.data()), expected.size());
    EXPECT_EQ(packedContent(buffer), expected);
}

TEST_F(PackArchiveTest, SameFolderGivesTheSameArchive) {
    ASSERT_EQ(runPacker("source first.dat scramble.txt"), 0);
    ASSERT_EQ(runPacker("source second.dat scramble.txt"), 0);
    EXPECT_EQ(readTestFile("first.dat"), readTestFile("second.dat"));
    ASSERT_EQ(runPacker("source plain.dat"), 0);  // no list: nothing scrambled
    FileArchive::open(2, "plain.dat");
    MemoryBuffer buffer;
    EXPECT_TRUE(FileArchive::readFile(2, "media/properties/levels.xml", buffer));
    EXPECT_EQ(packedContent(buffer), levels);
}

TEST_F(PackArchiveTest, ScramblesWhatTheResourceListReadsScrambled) {
    // Resources are nodes of sections; only "encryptzip" is read scrambled from the archive.
    writeTestFile("source/media/properties/resources.xml",
                  "<root><Node id=\"Sections\">"
                  "<Section id=\"game\" name=\"game\">"
                  "<Image id=\"tile\" file=\"Media\\Images\\Tile.png\" archive=\"encryptzip\"/>"
                  "<Sound id=\"click\" file=\"media/sounds/click.wav\" archive=\"encryptfile\"/>"
                  "</Section><Section id=\"levels\" name=\"levels\" auto=\"true\">"
                  "<Image id=\"other\" file=\"media/properties/levels.xml\" archive=\"zip\"/>"
                  "</Section></Node></root>");
    writeTestFile("levels-only.txt", "media/properties/levels.xml\n");
    ASSERT_EQ(runPacker("source resources.dat"), 0);
    ASSERT_EQ(runPacker("source both.dat levels-only.txt"), 0);

    FileArchive::open(4, "resources.dat");
    EXPECT_EQ(
        memberNames(*FileArchive::getInstance()),
        (std::vector<std::string>{"media/images/tile.png.!", "media/properties/levels.xml",
                                  "media/properties/resources.xml", "media/sounds/click.wav"}));
    MemoryBuffer buffer;
    EXPECT_TRUE(FileArchive::readFile(4, "media/images/tile.png", buffer));
    EXPECT_EQ(packedContent(buffer), picture);

    // The explicit list adds to the resource list.
    FileArchive::open(4, "both.dat");
    EXPECT_EQ(
        memberNames(*FileArchive::getInstance()),
        (std::vector<std::string>{"media/images/tile.png.!", "media/properties/levels.xml.!",
                                  "media/properties/resources.xml", "media/sounds/click.wav"}));
}

TEST_F(PackArchiveTest, ABrokenResourceListOrAMissingResourceFails) {
    writeTestFile("source/media/properties/resources.xml",
                  "<root><Section id=\"s\"><Image id=\"gone\" file=\"media/images/gone.png\" "
                  "archive=\"encryptzip\"/></Section></root>");
    EXPECT_NE(runPacker("source media.dat"), 0);
    writeTestFile("source/media/properties/resources.xml", "<root><Section id=\"s\">");
    EXPECT_NE(runPacker("source media.dat"), 0);
    EXPECT_FALSE(fs::exists("media.dat"));
}

TEST_F(PackArchiveTest, FailuresLeaveNoArchive) {
    writeTestFile("wrong.txt", "media/properties/absent.xml\n");
    EXPECT_NE(runPacker("source media.dat wrong.txt"), 0);
    EXPECT_NE(runPacker("source media.dat missing-list.txt"), 0);
    EXPECT_NE(runPacker("no-such-folder media.dat"), 0);
    EXPECT_NE(runPacker("source"), 0);
    EXPECT_FALSE(fs::exists("media.dat"));
    EXPECT_FALSE(fs::exists("media.dat.partial"));
}

}  // namespace pack_archive_test
