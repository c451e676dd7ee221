#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/core/DataScrambler.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/Folders.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"

// A profile class for the tests: one key "pairs", written only when it is not 0, and a count
// of live objects. Registered under "TestPlayer" while a PlayerFilesTest runs.
class TestPlayer : public AbstractPlayer {
    QUOVEL_TYPE(TestPlayer)
public:
    explicit TestPlayer(std::string name) : AbstractPlayer(std::move(name)) { ++live; }
    explicit TestPlayer(PropertyNode* node) : AbstractPlayer(node) { ++live; }
    ~TestPlayer() override { --live; }

    void writeProperties(AbstractProperty* target) override {
        AbstractPlayer::writeProperties(target);
        nodeOrDummy(target)->setTypeWord("TestPlayer");
    }
    void save(PropertyNode* node) override {
        if (pairs != 0) {
            node->addChild(new PropertyValue("pairs", pairs));
        }
    }
    // A "pairs" read as 0 is no number: 0 is never written.
    bool load(PropertyNode* node) override {
        pairs = node->getChildValue("pairs")->getInt();
        return pairs != 0 || !node->getChild("pairs");
    }

    int32_t pairs = 0;
    static inline int32_t live = 0;
};

// Runs each test with the per-user folder in a fresh temporary folder: XDG_DATA_HOME points
// there, the folder cache is reset and the game folder is named for the test.
class PlayerFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ObjectFactoryContainer::instance()->add("TestPlayer", &createFromDefinition<TestPlayer>);
        TestPlayer::live = 0;
    }
    void TearDown() override { ObjectFactoryContainer::instance()->remove("TestPlayer"); }

    std::filesystem::path gameFolder() const { return temp.path / "Brastel/Games/Quovel Test"; }
    // A stored (scrambled) file, unscrambled.
    std::string readScrambled(const std::string& relative) const {
        std::string bytes = readTestFile(gameFolder() / relative);
        DataScrambler::apply(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
        return bytes;
    }
    void writeScrambled(const std::string& relative, std::string text) const {
        DataScrambler::apply(reinterpret_cast<uint8_t*>(text.data()), text.size());
        writeTestFile(gameFolder() / relative, text);
    }

    TempFolder temp;
    DataFolderScope dataFolder{temp.str(), "Quovel Test"};
};
