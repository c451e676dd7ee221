#pragma once

#include "framework/os/FileSystem.h"

// FileSystem over POSIX calls, /proc/self/exe and the XDG environment variables.
class LinuxFileSystem : public FileSystem {
public:
    std::string programFolder() override;
    std::string currentFolder() override;
    std::string userDataRoot() override;
    bool exists(const std::string& path) override;
    bool isLinkToNowhere(const std::string& path) override;
    bool isLinkLoop(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    bool createFolder(const std::string& path) override;
    bool deleteFolderTree(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    bool writeFileAtomic(const std::string& path, const uint8_t* data, size_t size) override;
    int removeTemporaryFiles(const std::string& folder) override;
    std::vector<std::string> listFiles(const std::string& folder) override;
    FileReadResult readFile(const std::string& path, uint64_t maxSize,
                            std::vector<uint8_t>& bytes) override;
};
