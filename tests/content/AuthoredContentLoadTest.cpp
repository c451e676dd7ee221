// Loads every authored layout and level file through the game's own readers, from the game's
// folder as the program does.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "content/ContentXml.h"
#include "content/MediaContent.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "testsupport/TempFolder.h"

namespace authored_content_load_test {

namespace fs = std::filesystem;

using media::GAME_FOLDER;

// The number of Tile elements and the racks (width x height) of a layout file, read as text.
struct FileCounts {
    size_t tiles = 0;
    std::vector<int> rackSlots;
};

FileCounts countInFile(const fs::path& file) {
    FileCounts counts;
    std::vector<ContentNode> top;
    std::string error;
    if (!readContentFile(file.string(), top, error)) {
        ADD_FAILURE() << error;
        return counts;
    }
    const ContentNode* layout = findById(top, "layout");
    if (layout == nullptr) {
        ADD_FAILURE() << file << ": no layout";
        return counts;
    }
    if (const ContentNode* tiles = layout->child("tiles")) {
        counts.tiles = tiles->children.size();
    }
    if (const ContentNode* racks = layout->child("sideboards")) {
        for (const ContentNode& rack : racks->children) {
            counts.rackSlots.push_back(std::stoi(rack.value("width")) *
                                       std::stoi(rack.value("height")));
        }
    }
    return counts;
}

TEST(AuthoredContent, EveryLayoutLoadsWithAllItsTilesAndRacks) {
    CurrentFolderScope inside(GAME_FOLDER);
    int files = 0;
    for (const auto& entry : fs::directory_iterator("media/levels")) {
        const std::string path = "media/levels/" + entry.path().filename().string();
        SCOPED_TRACE(path);
        ++files;
        const FileCounts expected = countInFile(entry.path());
        RefHolder<Layout> classic(Layout::findByName(path, TYPE_CLASSIC, 0));
        EXPECT_EQ(classic->getTileCount(), static_cast<int32_t>(expected.tiles));
        EXPECT_GT(classic->getTileCount(), 0);
        EXPECT_EQ(classic->getStartingTileCount(), classic->getTileCount());
        EXPECT_NE(classic->getDisplayName(), "TEXT_LAYOUT_NONAME");
        EXPECT_EQ(classic->getSideBoard(), nullptr);
        for (size_t index = 0; index < expected.rackSlots.size(); ++index) {
            RefHolder<Layout> freeCell(
                Layout::findByName(path, TYPE_FREECELL, static_cast<int32_t>(index)));
            ASSERT_NE(freeCell->getSideBoard(), nullptr) << index;
            EXPECT_EQ(freeCell->getSideBoard()->getCapacity(), expected.rackSlots[index]);
            EXPECT_EQ(freeCell->getTileCount(), classic->getTileCount());
        }
    }
    EXPECT_EQ(files, 92);
}

// Every level node (type word "Level") under the property, depth first.
void collectLevels(AbstractProperty* property, std::vector<PropertyNode*>& out) {
    if (property->isNode() && property->getTypeWord() == "Level") {
        out.push_back(static_cast<PropertyNode*>(property));
        return;
    }
    if (property->isNode() || property->isVector()) {
        auto* list = static_cast<PropertyVector*>(property);
        for (int32_t i = 0; i < list->getChildCount(); ++i) {
            collectLevels(list->getChildAt(i), out);
        }
    }
}

TEST(AuthoredContent, EveryLevelLoadsWithItsLayouts) {
    CurrentFolderScope inside(GAME_FOLDER);
    int levels = 0;
    for (const char* file : {"casino", "hallway", "recroom", "roof"}) {
        RefHolder<PropertyStore> store(
            new PropertyStore(std::string("media/properties/levels/") + file + ".xml"));
        ASSERT_TRUE(store->load()) << file;
        std::vector<PropertyNode*> nodes;
        collectLevels(store.get(), nodes);
        EXPECT_FALSE(nodes.empty()) << file;
        for (PropertyNode* node : nodes) {
            RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(node));
            auto* level = objectCast<Level>(made.get());
            ASSERT_NE(level, nullptr) << file;
            ++levels;
            SCOPED_TRACE(level->toString());
            const GameType type = level->getGameType();
            EXPECT_GE(type, 0);
            EXPECT_LE(type, 5);
            ASSERT_NE(level->getLayoutObject(), nullptr);
            EXPECT_GT(level->getLayoutObject()->getTileCount(), 0);
            EXPECT_GT(level->getPointsPerMatch().getInt(), 0);
            const bool needsRack = type == 1 || type == 2 || type == 5;
            EXPECT_EQ(level->getLayoutObject()->getSideBoard() != nullptr, needsRack);
            if (needsRack) {
                EXPECT_GT(level->getLayoutObject()->getSideBoard()->getCapacity(), 0);
            }
            // The values the reader takes unconditionally for the type are all authored.
            if (type == 0 || type == 1 || type == 3) {
                EXPECT_GT(level->getTileDistMax().getInt(), 0);
            }
            if (type == 2 || type == 5) {
                EXPECT_GT(level->getFirstHand().getInt() + level->getSecondHand().getInt() +
                              level->getThirdHand().getInt(),
                          0);
            }
            // Every layout of a series loads too, and stepping through the series reaches them.
            for (const std::string& name : level->getLayoutFileNames()) {
                RefHolder<Layout> layout(Layout::findByName(Level::LAYOUT_FOLDER + name, type,
                                                            level->getSideBoardIndex().getInt()));
                EXPECT_GT(layout->getTileCount(), 0) << name;
            }
            if (!level->getLayoutFileNames().empty()) {
                level->nextLevel();
                level->loadLayout();
                EXPECT_GT(level->getLayoutObject()->getTileCount(), 0) << level->getLayout();
            }
        }
    }
    EXPECT_GT(levels, 200);
}

}  // namespace authored_content_load_test
