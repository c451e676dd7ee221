#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testsupport/os/FakeFileSystem.h"

// Tests whose files live on a file system in memory, installed for the test's length.
class FakeFilesTest : public ::testing::Test {
protected:
    void SetUp() override { FileSystem::setCurrent(&fake); }
    void TearDown() override { FileSystem::setCurrent(nullptr); }

    void put(const std::string& path, const std::string& text) {
        fake.files[path].assign(text.begin(), text.end());
    }
    std::string fileText(const std::string& path) {
        const std::vector<uint8_t>& bytes = fake.files[path];
        return std::string(bytes.begin(), bytes.end());
    }

    FakeFileSystem fake;
};
