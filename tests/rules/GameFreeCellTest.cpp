// The free-cell game: moving a selected tile into a cell by a click, matches from the cells and
// their undo, the stuck rule, the saved hint counter, and builds and deals with parked tiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "framework/platform/Graphics.h"
#include "game/rules/GameFreeCell.h"
#include "rules/GameTypesSupport.h"

namespace game_free_cell_test {

using game_test::Position;

// One row: (2,4) is blocked between its neighbours; the others are free.
const std::vector<Position> ROW = {{0, 4, 0}, {2, 4, 0}, {4, 4, 0}, {8, 4, 0}, {12, 4, 0}};

class GameFreeCellTest : public game_test::GameTypesTest {
protected:
    // Slot sprites 30 x 40 apart from (100 + 2, 100 + 3); cells drawn from a 30 x 40 slot picture
    // from (100 + 3, 100 + 4).
    rules_test::ScopedTuning constants{{{"SIDEBOARD_WIDTH_PER_TILE", 30},
                                        {"SIDEBOARD_HEIGHT_PER_TILE", 40},
                                        {"SIDEBOARD_PADDING_X", 2},
                                        {"SIDEBOARD_PADDING_Y", 3},
                                        {"SIDEBOARD_FREECELL_PADDING_X", 3},
                                        {"SIDEBOARD_FREECELL_PADDING_Y", 4}}};

    GameFreeCell* startFreeCell(const std::vector<std::pair<int, int>>& faces, int columns = 3,
                                int rows = 2) {
        auto* game =
            objectCast<GameFreeCell>(start(Game::TYPE_FREECELL, ROW, faces, columns, rows));
        // Drawing the rack once gives the cells their geometry.
        screen.setBoardShown(true);
        RefHolder<Image> slot(Image::createImage(30, 40, 4));
        screen.addImage("manual", "SIDEBOARD_FREECELL_SLOT", slot.get());
        RefHolder<Image> target(Image::createImage(800, 600, 4));
        RefHolder<Graphics> graphics(target->createGraphics());
        sideBoard()->render(graphics.get());
        return game;
    }
    // The last point of the cell, just past where a parked tile's sprite is hit.
    static std::pair<int, int> cellPoint(int column, int row) {
        return {100 + 3 + 30 * column + 29, 100 + 4 + 40 * row + 39};
    }
};

TEST_F(GameFreeCellTest, AClickOnAnEmptyCellMovesTheOneSelectedTile) {
    GameFreeCell* game = startFreeCell({{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    auto [x, y] = cellPoint(1, 1);
    // Nothing selected: a click beside the board stays "no tile".
    EXPECT_EQ(clickPoint(x, y), Game::CLICK_NO_TILE);

    EXPECT_EQ(click(ROW[3]), Game::CLICK_SELECT);
    Tile* moving = tileAt(ROW[3]);
    game->onTileClicked(x, y);
    EXPECT_EQ(game->getClickOutcome(), Game::CLICK_MOVE);
    EXPECT_EQ(game->getMoveTargetColumn(), 1);
    EXPECT_EQ(game->getMoveTargetRow(), 1);
    game->update();
    EXPECT_EQ(tileAt(ROW[3]), nullptr);  // off the board at once, into the cell when it lands
    screen.tickEffects(1);
    EXPECT_EQ(sideBoard()->getTileAt(1, 1), moving);
    EXPECT_EQ(game->levelCounts.moveCount, 1);

    // Two tiles selected: no move.
    game->addSelectedTile(tileAt(ROW[0]));
    game->addSelectedTile(tileAt(ROW[4]));
    auto [x2, y2] = cellPoint(2, 0);
    game->onTileClicked(x2, y2);
    EXPECT_EQ(game->getClickOutcome(), Game::CLICK_NO_TILE);
}

TEST_F(GameFreeCellTest, ACellWithATileOnItsWayIsTakenAndTheFlightLandsByTheScreensFrames) {
    rules_test::ScopedTuning flightTime{{{"TILE_FLIGHT_TIME", 300}}};
    GameFreeCell* game = startFreeCell({{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    auto [x, y] = cellPoint(0, 1);
    click(ROW[3]);
    Tile* first = tileAt(ROW[3]);
    game->onTileClicked(x, y);
    game->update();
    ASSERT_EQ(game->levelCounts.moveCount, 1);

    // While the first tile flies, its cell is no target for a second one.
    click(ROW[4]);
    Tile* second = tileAt(ROW[4]);
    game->onTileClicked(x, y);
    EXPECT_EQ(game->getClickOutcome(), Game::CLICK_NO_TILE);
    game->update();
    EXPECT_EQ(game->levelCounts.moveCount, 1);
    EXPECT_EQ(tileAt(ROW[4]), second);

    // The screen's frames carry the flight to its end; the parked tile then matches.
    screen.tickEffects(200);
    EXPECT_EQ(sideBoard()->getTileAt(0, 1), nullptr);
    screen.tickEffects(200);
    EXPECT_EQ(sideBoard()->getTileAt(0, 1), first);
    // The matches shown count the parked tile with its partner again, never only the flight's.
    const auto shown = std::find_if(screen.calls.rbegin(), screen.calls.rend(), [](auto& call) {
        return call.rfind("updateMatchesText", 0) == 0;
    });
    ASSERT_NE(shown, screen.calls.rend());
    EXPECT_EQ(*shown, "updateMatchesText 2");
    game->clearSelection();
    EXPECT_EQ(click(first), Game::CLICK_SELECT);
    EXPECT_EQ(click(ROW[4]), Game::CLICK_MATCH);
    EXPECT_EQ(sideBoard()->getTileAt(0, 1), nullptr);
}

TEST_F(GameFreeCellTest, AParkedTileMatchesFromItsCellAndUndoPutsItBack) {
    GameFreeCell* game = startFreeCell({{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    Tile* parked = park(2, 1, 3, 3);
    Tile* other = park(0, 0, 0, 2);
    EXPECT_TRUE(game->getLayout()->isTileFree(parked));

    // A taken cell is no target, even where the parked tile's sprite is not hit.
    click(ROW[0]);
    auto [x, y] = cellPoint(2, 1);
    game->onTileClicked(x, y);
    EXPECT_EQ(game->getClickOutcome(), Game::CLICK_NO_TILE);
    game->clearSelection();

    // The parked (0, 2) against the blocked board (0, 2) fails; against a free one it matches.
    tileAt(ROW[4])->setFace(0, 2);
    EXPECT_EQ(click(other), Game::CLICK_SELECT);
    EXPECT_EQ(click(ROW[4]), Game::CLICK_MATCH);
    EXPECT_EQ(sideBoard()->getTileAt(0, 0), nullptr);
    EXPECT_EQ(tileAt(ROW[4]), nullptr);
    game->undo();
    EXPECT_EQ(sideBoard()->getTileAt(0, 0), other);
    EXPECT_TRUE(other->isOnSideBoard());
    EXPECT_NE(tileAt(ROW[4]), nullptr);
    EXPECT_EQ(sideBoard()->getTileAt(2, 1), parked);
}

TEST_F(GameFreeCellTest, ParkedTilesAreListedWithFreeTilesAndWithEachOther) {
    GameFreeCell* game = startFreeCell({{0, 1}, {0, 2}, {0, 3}, {1, 1}, {1, 2}});
    EXPECT_EQ(game->countMatches(nullptr), 0);
    Tile* withBoard = park(0, 0, 1, 1);
    EXPECT_EQ(game->countMatches(nullptr), 1);
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].get(), withBoard);
    EXPECT_EQ(matches[1].get(), tileAt(ROW[3]));

    Tile* first = park(1, 0, 4, 0);
    Tile* second = park(2, 1, 4, 0);
    matches.clear();
    game->findMatches(matches, nullptr);
    ASSERT_EQ(matches.size(), 4u);
    EXPECT_EQ(matches[2].get(), first);
    EXPECT_EQ(matches[3].get(), second);
    // The blocked board tile never counts.
    park(2, 0, 0, 2);
    EXPECT_EQ(game->countMatches(nullptr), 2);
}

TEST_F(GameFreeCellTest, StuckOnlyWhenNoMatchIsLeftAndEveryCellIsTaken) {
    GameFreeCell* game = startFreeCell({{0, 1}, {0, 2}, {0, 3}, {1, 1}, {1, 2}});
    EXPECT_FALSE(game->isStuck(1));
    park(0, 0, 2, 1);
    park(1, 0, 2, 2);
    EXPECT_FALSE(game->isStuck(0));  // two of six cells taken
    park(2, 0, 2, 3);
    park(0, 1, 2, 4);
    park(1, 1, 2, 5);
    park(2, 1, 2, 6);
    EXPECT_TRUE(game->isStuck(0));
    EXPECT_FALSE(game->isStuck(1));
    for (const Position& p : ROW) {
        game->getLayout()->removeTile(tileAt(p));
    }
    EXPECT_FALSE(game->isStuck(0));  // the board is empty
}

TEST_F(GameFreeCellTest, TheHintCounterIsSavedAndRestored) {
    GameFreeCell* game = startFreeCell({{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    EXPECT_EQ(game->getHintCounter(), 0);
    game->setHintCounter(4);
    RefHolder<PropertyNode> saved(new PropertyNode("game", ""));
    game->save(saved.get());
    EXPECT_EQ(saved->getTypeWord(), "GameFreeCell");
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(saved.get()));
    auto* restored = objectCast<GameFreeCell>(made.get());
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->getHintCounter(), 4);

    saved->removeChild("hintCounter");
    RefHolder<GameFreeCell> without(new GameFreeCell(saved.get()));
    EXPECT_EQ(without->getHintCounter(), 0);
}

// Faces counted by key.
std::map<int, int> keyCounts(const Game::FaceList& faces) {
    std::map<int, int> counts;
    for (const RefHolder<TileDef>& face : faces) {
        ++counts[face->getSuit() * 256 + face->getValue()];
    }
    return counts;
}

TEST_F(GameFreeCellTest, ARebuildWithParkedTilesGivesTheirPartnersFirstAndPlaysOut) {
    // Parked: two of (2, 5), which pair with each other, and one (3, 1) that needs a board partner.
    const std::vector<Position> board = game_test::pyramid144();
    const std::vector<Position> small(board.begin(), board.begin() + 12);
    const std::vector<std::pair<int, int>> faces = {{3, 1}, {0, 0}, {0, 1}, {0, 0}, {0, 1}, {1, 0},
                                                    {1, 0}, {1, 1}, {1, 1}, {2, 0}, {2, 0}, {3, 2}};
    Game* game = start(Game::TYPE_FREECELL, small, {}, 3, 1);
    for (size_t i = 0; i < small.size(); ++i) {
        tileAt(small[i])->setFace(faces[i].first, faces[i].second);
    }
    Tile* pairA = park(0, 0, 2, 5);
    Tile* lone = park(1, 0, 3, 1);
    Tile* pairB = park(2, 0, 2, 5);
    game->getLayout()->removeTile(tileAt(small[11]));  // 11 board tiles: one partner + 5 pairs

    const Game::TileList partners = GameFreeCell::findParkedPartners(game->getLayout());
    ASSERT_EQ(partners.size(), 1u);
    EXPECT_EQ(partners[0]->getMatchKey(), lone->getMatchKey());
    Game::FaceList dealt;
    game->dealTileDefs(dealt);
    ASSERT_EQ(dealt.size(), 11u);
    EXPECT_EQ(dealt[0]->getSuit(), 3);
    EXPECT_EQ(dealt[0]->getValue(), 1);
    Game::FaceList boardFaces;
    game->getLayout()->forEachTile(
        [&](Tile* t) { boardFaces.emplace_back(new TileDef(t->getSuit(), t->getValue())); });
    EXPECT_EQ(keyCounts(dealt), keyCounts(boardFaces));

    game->buildLevel(game->getLayout());
    ASSERT_FALSE(game->getBuildStatistics().allAttemptsFailed);
    const Game::TileList order = game->getBuildOrder();
    ASSERT_EQ(order.size(), 11u);
    EXPECT_EQ(click(lone), Game::CLICK_SELECT);
    EXPECT_EQ(click({order[0]->getGridX(), order[0]->getGridY(), 0}), Game::CLICK_MATCH);
    EXPECT_EQ(click(pairA), Game::CLICK_SELECT);
    EXPECT_EQ(click(pairB), Game::CLICK_MATCH);
    for (size_t k = 1; k < order.size(); k += 2) {
        EXPECT_EQ(click({order[k]->getGridX(), order[k]->getGridY(), 0}), Game::CLICK_SELECT);
        EXPECT_EQ(click({order[k + 1]->getGridX(), order[k + 1]->getGridY(), 0}),
                  Game::CLICK_MATCH);
    }
    EXPECT_EQ(game->getLayout()->getTileCount(), 0);
    EXPECT_EQ(sideBoard()->getTileCount(), 0);
    EXPECT_TRUE(recorded("enterGameWon"));
}

}  // namespace game_free_cell_test
