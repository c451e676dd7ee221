#pragma once
// Resource tests keep their pictures, fonts and resource lists on a file system in memory, with
// no archive open, 4-byte display depth, and no resource manager left behind.

#include <cstdint>
#include <string>
#include <vector>

#include "core/FakeFilesTest.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/ResourceManager.h"
#include "testsupport/platform/PictureEncoder.h"

// Value of the test pictures' pixel (x, y) in channel c (0 red, 1 green, 2 blue).
inline uint8_t testPictureChannel(int x, int y, int c) {
    return static_cast<uint8_t>(x * 40 + y * 7 + c * 60);
}

// Alpha of the test masks' pixel (x, y).
inline uint8_t testMaskValue(int x, int y) {
    return static_cast<uint8_t>(x * 50 + y * 20 + 5);
}

inline std::vector<uint8_t> testPicturePng(int width, int height) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.colorType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                row.push_back(testPictureChannel(x, y, c));
            }
        }
        spec.rows.push_back(row);
    }
    return encodePng(spec);
}

inline std::vector<uint8_t> testMaskPng(int width, int height) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.colorType = PNG_COLOR_TYPE_GRAY;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) {
            row.push_back(testMaskValue(x, y));
        }
        spec.rows.push_back(row);
    }
    return encodePng(spec);
}

class ResourceFilesTest : public FakeFilesTest {
protected:
    void SetUp() override {
        FakeFilesTest::SetUp();
        FileArchive::close();
        // Property files are read through the archive, as the game's listeners arrange.
        FileArchive::installPropertyFileHooks();
        setDisplayBytesPerPixel(4);
    }
    void TearDown() override {
        ResourceManager::stopLoader();
        setDisplayBytesPerPixel(4);
        FakeFilesTest::TearDown();
    }

    void putBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        fake.files[path] = bytes;
    }
    // A resource list whose "Sections" node holds `sections` (XML of section elements).
    void putResourceList(const std::string& sections,
                         const std::string& path = "media/properties/resources.xml") {
        put(path, "<root><Node id=\"Sections\">" + sections + "</Node></root>");
    }
    // A manager whose loader waits (the list is not marked read), so tests drive it alone.
    ResourceManager* idleManager(const std::string& sections) {
        putResourceList(sections);
        ResourceManager* manager = ResourceManager::createInstance();
        EXPECT_TRUE(manager->loadSectionList("media/properties/resources.xml"));
        return manager;
    }
};
