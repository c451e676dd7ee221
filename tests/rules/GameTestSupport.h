#pragma once
// Shared pieces of the game tests: the usual tile suits, levels made from nodes, layouts from
// position lists (among them a 144-tile layout of our own), and a free-tile checker written
// from the rule's text, independent of Layout.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "framework/core/RefHolder.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"
#include "testsupport/rules/Pyramid144.h"
#include "testsupport/rules/RulesFixtures.h"
#include "testsupport/rules/StandardSuits.h"

namespace game_test {

// A level read from untyped values; "isSaveGame" keeps it from loading a layout unless `load`.
inline RefHolder<Level> makeLevel(std::vector<std::pair<std::string, std::string>> values,
                                  bool load = false) {
    RefHolder<PropertyNode> node(new PropertyNode("level", "Level"));
    for (const auto& [key, text] : values) {
        node->addChild(new PropertyValue(key, text, true));
    }
    if (!load) {
        node->addChild(new PropertyValue("isSaveGame", "", true));
    }
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->create("Level", node.get()));
    return RefHolder<Level>(objectCast<Level>(made.get()));
}

// A classic level worth `points` per match with the given partner distances.
inline RefHolder<Level> classicLevel(int distMin = 2, int distMax = 8, int points = 10,
                                     int gameMode = 0, int index = 0) {
    return makeLevel({{"gameType", "Classic"},
                      {"pointsPerMatch", std::to_string(points)},
                      {"timeBonus", "500"},
                      {"tileDistMin", std::to_string(distMin)},
                      {"tileDistMax", std::to_string(distMax)},
                      {"gameMode", std::to_string(gameMode)},
                      {"index", std::to_string(index)},
                      {"silver", "100"},
                      {"gold", "300"}});
}

// The layout node of the tiles at these positions (faceless unless a suit is given).
inline RefHolder<PropertyNode> layoutNode(const std::vector<Position>& positions) {
    RefHolder<PropertyNode> node(new PropertyNode("layout", "Layout"));
    RefHolder<PropertyVector> tiles(new PropertyVector("tiles"));
    for (const Position& p : positions) {
        tiles->addChild(rules_test::tileNode(p[0], p[1], p[2]).get());
    }
    node->addChild(tiles.get());
    return node;
}

inline RefHolder<Layout> makeLayout(const std::vector<Position>& positions,
                                    GameType gameType = TYPE_CLASSIC) {
    return RefHolder<Layout>(new Layout(layoutNode(positions).get(), gameType, -1));
}

// Two towers joined by a long bridge: narrow columns of five layers make many blocked tiles.
inline std::vector<Position> towers() {
    std::vector<Position> positions;
    for (int z = 0; z < 5; ++z) {
        for (int y = 0; y < 3; ++y) {
            positions.push_back({2, 4 + 2 * y, z});
            positions.push_back({34, 4 + 2 * y, z});
        }
    }
    for (int x = 4; x <= 32; x += 2) {
        positions.push_back({x, 6, 0});
        positions.push_back({x, 8, 0});
    }
    return positions;
}

// The free-tile rule from its text, over a plain list of occupied positions: nothing may lie on
// the four cells above (unless on the top layer), and the left or the right side must be empty.
class FreeChecker {
public:
    void add(const Tile* tile) {
        cells[key(tile)] = {tile->getGridX(), tile->getGridY(), tile->getGridZ()};
    }
    void remove(const Tile* tile) { cells.erase(key(tile)); }
    int count() const { return static_cast<int>(cells.size()); }

    bool isFree(const Tile* tile) const {
        const int x = tile->getGridX();
        const int y = tile->getGridY();
        const int z = tile->getGridZ();
        if (z < 6) {
            for (int dx = 0; dx < 2; ++dx) {
                for (int dy = 0; dy < 2; ++dy) {
                    if (occupied(x + dx, y + dy, z + 1)) {
                        return false;
                    }
                }
            }
        }
        const bool leftEmpty = x == 0 || (!occupied(x - 1, y, z) && !occupied(x - 1, y + 1, z));
        const bool rightEmpty = x >= 39 || (!occupied(x + 2, y, z) && !occupied(x + 2, y + 1, z));
        return leftEmpty || rightEmpty;
    }

private:
    static const void* key(const Tile* tile) { return tile; }
    bool occupied(int cx, int cy, int cz) const {
        for (const auto& [tile, p] : cells) {
            if (p[2] == cz && cx >= p[0] && cx <= p[0] + 1 && cy >= p[1] && cy <= p[1] + 1) {
                return true;
            }
        }
        return false;
    }

    std::map<const void*, Position> cells;
};

// Plays a build's recorded order group by group (getTilesPerMatch tiles each): every tile of a
// group must be free by the layout and by FreeChecker, carry a face and match the group's first
// tile; the board must end empty. Use with ASSERT_NO_FATAL_FAILURE.
inline void replayFreeGroups(Game* game) {
    Layout* layout = game->getLayout();
    ASSERT_NE(layout, nullptr);
    const Game::TileList order = game->getBuildOrder();
    const size_t group = static_cast<size_t>(game->getTilesPerMatch());
    ASSERT_GT(group, 0u);
    ASSERT_EQ(static_cast<int>(order.size()), layout->getTileCount());
    ASSERT_EQ(order.size() % group, 0u);
    FreeChecker checker;
    for (const RefHolder<Tile>& tile : order) {
        checker.add(tile.get());
    }
    for (size_t k = 0; k < order.size(); k += group) {
        for (size_t i = k; i < k + group; ++i) {
            Tile* tile = order[i].get();
            ASSERT_TRUE(layout->isTileFree(tile)) << "group " << k / group;
            ASSERT_TRUE(checker.isFree(tile)) << "group " << k / group;
            ASSERT_NE(tile->getSuit(), Tile::NO_SUIT) << "group " << k / group;
            if (i > k) {
                ASSERT_TRUE(game->canMatch(order[k].get(), tile)) << "group " << k / group;
            }
        }
        for (size_t i = k; i < k + group; ++i) {
            layout->removeTile(order[i].get());
            checker.remove(order[i].get());
        }
    }
    EXPECT_EQ(layout->getTileCount(), 0);
    EXPECT_EQ(checker.count(), 0);
}

}  // namespace game_test
