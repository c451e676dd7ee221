#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/os/PosixFiles.h"
#include "testsupport/TempFolder.h"

namespace fs = std::filesystem;

namespace posix_files_test {

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PosixFiles, ReplacesInAnOpenFolderAndLeavesOnlyTheTarget) {
    TempFolder temp;
    const FileDescriptor folder(open(temp.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_GE(folder.get(), 0);
    const std::string text = "stored";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(replaceFileAt(folder.get(), "values", bytes, text.size() - round));
        EXPECT_EQ(readWhole(temp / "values"), text.substr(0, text.size() - round));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), fs::directory_iterator()), 1);
    // A folder in the target's place stays, and the temporary file goes again.
    fs::create_directory(temp / "taken");
    EXPECT_FALSE(replaceFileAt(folder.get(), "taken", bytes, text.size()));
    EXPECT_TRUE(fs::is_directory(temp / "taken"));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), fs::directory_iterator()), 2);
}

TEST(PosixFiles, TemporaryNamesAreTenBytesLonger) {
    TempFolder temp;
    const FileDescriptor folder(open(temp.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const uint8_t byte = 7;
    EXPECT_TRUE(replaceFileAt(folder.get(), std::string(245, 'n'), &byte, 1));
    EXPECT_FALSE(replaceFileAt(folder.get(), std::string(246, 'n'), &byte, 1));
}

}  // namespace posix_files_test
