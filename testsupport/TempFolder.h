#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it (links
// removed as links) when the test ends.
class TempFolder {
public:
    TempFolder() {
        std::random_device device;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do {
            path = base / ("quovel-test-" + std::to_string(device()));
        } while (!std::filesystem::create_directory(path));
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& relative) const { return (path / relative).string(); }
    std::string str() const { return path.string(); }

    std::filesystem::path path;
};

// Writes `bytes` to a file, making its folders.
inline void writeTestFile(const std::filesystem::path& file, const std::string& bytes) {
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readTestFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the test from inside a folder, as the game runs from its own; restores the old one.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::filesystem::path& folder)
        : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolderScope() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};
