// Two readers of the archive at once, as the main thread and the resource loader read it. This
// test also runs under ThreadSanitizer (CTest label "tsan").
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "framework/platform/FileArchive.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/ZipBuilder.h"

namespace file_archive_thread_test {

TEST(FileArchiveThreads, TwoReadersGetWholeMembersAndLooseFiles) {
    TempFolder temp;
    CurrentFolderScope inside(temp.path);
    const std::string first = patternBytes(60000, 5);
    const std::string second = patternBytes(40000, 6);
    const std::string loose = patternBytes(3000, 7);
    ASSERT_TRUE(writeZip("media.dat", {{"first.png", first}, {"second.ogg", second}}));
    writeTestFile(temp.path / "loose.xml", loose);
    FileArchive::open(1, "");
    auto reader = [](const std::string& name, const std::string& expected, int& good) {
        MemoryBuffer local;
        for (int i = 0; i < 300; ++i) {
            good += FileArchive::readFile(2, name, local) &&
                    std::string(reinterpret_cast<const char*>(local.getData()), local.getSize()) ==
                        expected;
        }
    };
    int goodFirst = 0;
    int goodSecond = 0;
    int goodLoose = 0;
    std::thread loader(reader, "first.png", std::cref(first), std::ref(goodFirst));
    std::thread other(reader, "loose.xml", std::cref(loose), std::ref(goodLoose));
    reader("second.ogg", second, goodSecond);
    loader.join();
    other.join();
    FileArchive::close();
    EXPECT_EQ(goodFirst, 300);
    EXPECT_EQ(goodSecond, 300);
    EXPECT_EQ(goodLoose, 300);
}

}  // namespace file_archive_thread_test
