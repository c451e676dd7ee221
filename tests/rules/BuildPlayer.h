#pragma once
// Plays a built level to its end without a screen, click by click through onTileClicked, along
// the order its build recorded (Split and Speed: each side-board tile against a free board tile
// of its key). Installs its recording screen for its lifetime.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "rules/RecordingGameScreen.h"
#include "testsupport/rules/RulesFixtures.h"

namespace game_test {

class BuildPlayer {
public:
    // Board points lie from this origin on, clear of the side boards' sprites.
    static constexpr int BOARD_ORIGIN = 1000;

    // Plays `steps` matches of the current build from match `from` of its order, by default all
    // left, which must win (Split without an order, as restored, takes the first match listed each
    // time); use with ASSERT_NO_FATAL_FAILURE.
    void play(Game* game, size_t from = 0, size_t steps = SIZE_MAX) {
        const size_t callsBefore = screen.calls.size();
        Layout* layout = game->getLayout();
        ASSERT_NE(layout, nullptr);
        const size_t perMatch = static_cast<size_t>(game->getTilesPerMatch());
        const size_t step = game->getGameType() == Game::TYPE_SPLIT ? 1 : perMatch;
        const Game::TileList& all = game->getBuildOrder();
        const size_t end = std::min(all.size(), (from + std::min(steps, all.size())) * step);
        const Game::TileList order(all.begin() + from * step, all.begin() + end);
        switch (game->getGameType()) {
            case Game::TYPE_SPLIT:
                // The side board shows copies of the order's tiles as they come up.
                for (Game::TileList matches; all.empty() && layout->getTileCount() > 0;) {
                    game->findMatches(matches, nullptr);
                    ASSERT_FALSE(matches.empty());
                    click(game, matches.front().get());
                    game->update();
                    matches.clear();
                }
                for (const RefHolder<Tile>& tile : order) {
                    ASSERT_TRUE(layout->isTileFree(tile.get()));
                    click(game, tile.get());
                    ASSERT_EQ(game->getClickOutcome(), Game::CLICK_MATCH);
                    game->update();
                }
                break;
            case Game::TYPE_SPEED:
                for (size_t n = 0; layout->getTileCount() > 0 && n < steps; ++n) {
                    Tile* shown = layout->getSideBoard()->getTileAt(0, 0);
                    ASSERT_NE(shown, nullptr);
                    Tile* partner = freePartner(game, shown);
                    ASSERT_NE(partner, nullptr);
                    click(game, partner);
                    ASSERT_EQ(game->getClickOutcome(), Game::CLICK_MATCH);
                    game->update();
                }
                break;
            default:
                ASSERT_EQ(order.size() % perMatch, 0u);
                for (size_t k = 0; k < order.size(); k += perMatch) {
                    std::vector<Tile*> group;
                    for (size_t i = 0; i < perMatch; ++i) {
                        group.push_back(order[k + i].get());
                    }
                    ASSERT_NO_FATAL_FAILURE(playGroup(game, group)) << "group " << k / perMatch;
                }
        }
        if (steps != SIZE_MAX) {
            return;
        }
        EXPECT_EQ(layout->getTileCount(), 0);
        if (game->getGameType() == Game::TYPE_SPLIT) {
            EXPECT_EQ(layout->getSideBoard()->getTileCount(), 0);
        }
        EXPECT_NE(std::find(screen.calls.begin() + static_cast<std::ptrdiff_t>(callsBefore),
                            screen.calls.end(), "enterGameWon"),
                  screen.calls.end());
    }

    rules_test::RecordingGameScreen screen{1, 1, BOARD_ORIGIN, BOARD_ORIGIN};

private:
    // A click on a cell where the tile is the topmost one.
    void click(Game* game, Tile* tile) {
        if (tile->isOnSideBoard()) {
            game->onTileClicked(tile->getX(), tile->getY());
            return;
        }
        Layout* layout = game->getLayout();
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 2; ++dx) {
                const int x = tile->getGridX() + dx;
                const int y = tile->getGridY() + dy;
                if (screen.tileAtPoint(layout, BOARD_ORIGIN + x, BOARD_ORIGIN + y) == tile) {
                    game->onTileClicked(BOARD_ORIGIN + x, BOARD_ORIGIN + y);
                    return;
                }
            }
        }
        ADD_FAILURE() << "no visible cell of the tile";
    }

    // Clicks the tiles of one match; every click but the last selects, the last matches.
    void playGroup(Game* game, const std::vector<Tile*>& group) {
        for (size_t i = 0; i < group.size(); ++i) {
            click(game, group[i]);
            const int expected = i + 1 == group.size() ? Game::CLICK_MATCH
                                 : i == 0              ? Game::CLICK_SELECT
                                                       : Game::CLICK_ADD;
            ASSERT_EQ(game->getClickOutcome(), expected) << "click " << i;
            game->update();
        }
    }

    // The board tile a side-board tile is played against: a free one of its key.
    static Tile* freePartner(Game* game, Tile* shown) {
        Game::TileList freeTiles;
        game->getLayout()->getFreeTiles(freeTiles);
        for (const RefHolder<Tile>& tile : freeTiles) {
            if (tile->getMatchKey() == shown->getMatchKey()) {
                return tile.get();
            }
        }
        return nullptr;
    }

    rules_test::ScopedGameScreen screenScope{screen};
};

}  // namespace game_test
