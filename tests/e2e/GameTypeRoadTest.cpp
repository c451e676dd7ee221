// One road per game type on the road's own small boards: select, match, undo, shuffle and hint
// by synthetic input, each step checked in the window's pixels: a selected or hovered tile shows
// its tint at full strength under its symbol, a removed tile's place shows the background, a
// tile that an undo brings back and every rack or cell tile shows its own face.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneRecRoom.h"
#include "game/rules/LevelCatalog.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "testsupport/e2e/RoadLevels.h"
#include "testsupport/e2e/RoadSteps.h"

namespace game_type_road_test {

// From the lift into `sceneName` by `stopButton`, its type `typeSwitch` started in tile set
// `tileSet`: true once the board plays.
bool playFromLift(RoadDriver& road, const std::string& stopButton, const std::string& sceneName,
                  const std::string& typeSwitch, int32_t tileSet) {
    QuovelMahjongPlayer::current()->tileSet = tileSet;
    if (!rideFromLift(road, stopButton, sceneName)) {
        return false;
    }
    road.run(1000);
    dismissHostHint(road);
    // A stopped run's saved game is declined.
    if (road.dialog(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY)) {
        road.clickIn(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY, "BUTTON_NO");
        road.run(800);
    }
    if (!startChosen(road, typeSwitch, "again")) {
        return false;
    }
    settleEffects(road);
    return true;
}

// Stopped, then the type played again from the lift's `stopButton` (the casino's: the rec room
// has no shuffle) in tile set `tileSet`: every tile shows its face, and again after a shuffle
// when `shuffle`; then stopped again.
void playAgain(RoadDriver& road, const std::string& typeSwitch, int32_t tileSet,
               const std::string& stopButton = "BUTTON_CASINO",
               const std::string& sceneName = "SCENE_CASINO", bool shuffle = true,
               const std::string& what = "the casino's board") {
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    ASSERT_TRUE(playFromLift(road, stopButton, sceneName, typeSwitch, tileSet));
    BoardOnScreen{road}.expectAllFaces(what);
    if (shuffle) {
        BoardOnScreen{road}.shuffleAndLook();
    }
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
}

// The run stopped last, continued from the lift's `stopButton` once its board has left the
// installation, and won: the next level, which names that board, is not dealt. One box says
// that the run ends, the room is back, and the program ends.
void continuedWithItsNextBoardGone(RoadDriver& road, const std::string& stopButton,
                                   const std::string& sceneName) {
    ASSERT_TRUE(std::filesystem::remove(road.installation() / "media/levels" / ROAD_PAIR_BOARD));
    ASSERT_TRUE(continueFromLift(road, stopButton, sceneName) && waitUntilPlaying(road));
    const BoardOnScreen board{road};
    while (!board.game()->getHasWon()) {
        const std::vector<const Tile*> match = board.firstMatch();
        ASSERT_TRUE(match.front()->isOnSideBoard() ? board.clickFor(match.back(), Game::CLICK_MATCH)
                                                   : clickMatch(road, match));
    }
    ASSERT_TRUE(continueFromLevelEnd(road, sceneName));
    road.run(1000);
    road.picture("run-ended");
    EXPECT_EQ(road.finish(), 0);
    ASSERT_EQ(road.messageBox.shown.size(), 1u);
    EXPECT_EQ(road.messageBox.shown[0].text,
              "The data of the next level is damaged,\nso the run ends here.");
    EXPECT_EQ(
        road.takeProblems(),
        std::set<std::string>{"the run ends: the layout \"media/levels/" +
                              std::string(ROAD_PAIR_BOARD) + "\" of its next level holds no tile"});
}

// Rec room, `typeSwitch`, the only layout of its page, in tile set `tileSet` (from 0): true once
// the board of `groups` matches plays.
bool playType(RoadDriver& road, const std::string& typeSwitch, int32_t groups, int32_t tileSet) {
    road.playOwnLevels(groups);
    if (!startAsAnn(road)) {
        return false;
    }
    openTheRooms();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    player->tileSet = tileSet;
    for (int32_t type = 0; type < LevelCatalog::CASINO_TYPE_COUNT; ++type) {
        player->unlockState(RECROOM_UNLOCKS[static_cast<size_t>(type)]) = UNLOCKED_SEEN;
        player->unlockState(CASINO_UNLOCKS[static_cast<size_t>(type)]) = UNLOCKED_SEEN;
    }
    if (!playRecRoomLayout(road, typeSwitch, 0, 0)) {
        return false;
    }
    settleEffects(road);
    return true;
}

// A road of a board-only type: the first match selected (tint at full strength), the board
// pictured, the match made (its places show the background), taken back (the faces at once),
// then hint and, in the casino, shuffle.
void boardRoad(const std::string& name, const std::string& typeSwitch, int32_t tileSet,
               const std::function<void(const BoardOnScreen&)>& typeChecks = {}) {
    RoadDriver road(name);
    ASSERT_TRUE(playType(road, typeSwitch, 2, tileSet));
    const BoardOnScreen board{road};
    board.expectAllFaces("the board");
    if (typeChecks) {
        typeChecks(board);
    }
    const std::vector<const Tile*> match = board.firstMatch();
    ASSERT_TRUE(board.selectAndLook(match[0], ""));
    std::vector<Spot> places;
    for (size_t k = 0; k < match.size(); ++k) {
        places.push_back(board.face(match[k]));
        ASSERT_TRUE(k == 0 || board.clickFor(match[k], k + 1 == match.size() ? Game::CLICK_MATCH
                                                                             : Game::CLICK_ADD));
    }
    settleEffects(road);
    for (const Spot& place : places) {
        board.expectBackground(place, "a removed tile's place");
    }
    ASSERT_TRUE(clickHudButton(road, "BUTTON_UNDO"));
    road.run(100);
    for (const Tile* tile : match) {
        board.expectFace(tile, {}, "a tile the undo put back");
    }
    board.hintAndLook();
    playAgain(road, typeSwitch, 0);
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, ClassicIsPlayedOnScreen) {
    boardRoad("type-classic", "SWITCH_CLASSIC", 2);
}

TEST(Road, TripleIsPlayedOnScreen) {
    boardRoad("type-triple", "SWITCH_TRIPLE", 3);
}

TEST(Road, RiverIsPlayedOnScreenWithItsLayersShaded) {
    boardRoad("type-river", "SWITCH_RIVER", 1, [](const BoardOnScreen& board) {
        // The shipped shading washes lower layers darker (the River's boards have two)...
        BasicProperties* values = BasicProperties::instance();
        EXPECT_GT(values->getInteger("LAYER_ALPHA0"), values->getInteger("LAYER_ALPHA1"));
        EXPECT_GT(values->getInteger("LAYER_ALPHA1"), 0);
        // ... but the board's tiles, all on one layer, are not washed grey.
        std::vector<RefHolder<Tile>> tiles;
        board.game()->getLayout()->getAllTiles(tiles);
        const Tile* tile = tiles.at(0).get();
        RefHolder<Image> unshaded = drawnTile(tile, board.symbols(), {}, {});
        EXPECT_EQ(faceMismatches(board.road, board.face(tile), unshaded.get()), 0);
    });
}

// The sprite of a tile in flight: a picture of the tile's size in the screen's effect layer.
Sprite* flyingTile(RoadDriver& road) {
    for (GameNode* node = gameScreen(road)->getBoard().getEffectLayer()->getFirstChild(); node;
         node = node->getNextSibling()) {
        auto* sprite = dynamic_cast<Sprite*>(node);
        Image* image = sprite ? sprite->getImage() : nullptr;
        if (image && !sprite->isRemoved() && image->getWidth() == tuning().TILE_WIDTH &&
            image->getHeight() == tuning().TILE_HEIGHT) {
            return sprite;
        }
    }
    return nullptr;
}

TEST(Road, FreeCellMovesATileIntoACellOnScreen) {
    RoadDriver road("type-freecell");
    ASSERT_TRUE(playType(road, "SWITCH_FREECELL", 2, 1));
    const BoardOnScreen board{road};
    board.expectAllFaces("the board");
    const std::vector<const Tile*> match = board.firstMatch();
    RefHolder<Tile> moved(const_cast<Tile*>(match[0]));
    RefHolder<Tile> partner(const_cast<Tile*>(match[1]));
    const Spot from = board.face(moved.get());
    const Spot grid{moved->getGridX(), moved->getGridY()};
    const int32_t layer = moved->getGridZ();
    Spot slot;
    board.rack()->findFreeSlot(slot.x, slot.y);
    Spot cell = slot;
    board.rack()->slotToPoint(cell.x, cell.y);

    // Selected, then sent to the first cell: it leaves the board and flies there.
    ASSERT_TRUE(board.clickFor(moved.get(), Game::CLICK_SELECT));
    ASSERT_TRUE(board.clickFor(cell, Game::CLICK_MOVE));
    road.run(tuning().TILE_FLIGHT_TIME / 3);
    Sprite* flying = flyingTile(road);
    ASSERT_NE(flying, nullptr) << "no tile is seen flying";
    road.picture("tile-in-flight");
    EXPECT_GT(std::abs(flying->getX() - from.x) + std::abs(flying->getY() - from.y), 0);
    EXPECT_GT(std::abs(flying->getX() - cell.x) + std::abs(flying->getY() - cell.y), 0);
    board.expectShows({flying->getX(), flying->getY()},
                      drawnTile(moved.get(), board.symbols(), {}, {}).get(), "the flying tile");
    board.expectBackground(from, "the place the tile flew from");

    // Landed, it shows its face in the cell, also in the game continued from its saved game.
    road.run(tuning().TILE_FLIGHT_TIME);
    ASSERT_TRUE(moved->isOnSideBoard());
    EXPECT_EQ(flyingTile(road), nullptr);
    board.expectFace(moved.get(), {}, "the tile in its cell");
    board.expectBackground(from, "the place the tile flew from");
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    ASSERT_TRUE(continueFromLift(road, "BUTTON_RECROOM", "SCENE_RECROOM") &&
                waitUntilPlaying(road));
    settleEffects(road);
    moved = board.rack()->getTileAt(slot.x, slot.y);
    ASSERT_TRUE(moved);
    partner = board.game()->getLayout()->getTileAt(partner->getGridX(), partner->getGridY(),
                                                   partner->getGridZ());
    ASSERT_TRUE(partner);
    board.expectAllFaces("the continued game");
    board.expectBackground(from, "the moved tile's place in the continued game");

    // Hovered and selected in its cell, it shows the tints.
    road.moveTo(cell.x + tuning().TILE_FACE_WIDTH / 2, cell.y + tuning().TILE_FACE_HEIGHT / 2);
    road.run(50);
    board.expectFace(moved.get(), {tuning().TILE_HOVER_COLOR, tuning().TILE_HOVER_ALPHA},
                     "the hovered tile in its cell");
    ASSERT_TRUE(board.selectAndLook(moved.get(), " in its cell"));

    // Matched from the cell: the cell is empty again, and neither place shows a tile.
    const Spot partnerPlace = board.face(partner.get());
    ASSERT_TRUE(board.clickFor(partner.get(), Game::CLICK_MATCH));
    settleEffects(road);
    SideBoard* rack = board.rack();
    board.expectEmpty(cell, rack->getImage(),
                      {cell.x - rack->getAbsoluteX(), cell.y - rack->getAbsoluteY()},
                      "the cell after the match");
    EXPECT_EQ(rack->getTileCount(), 0);
    board.expectBackground(from, "the moved tile's place after the match");
    board.expectBackground(partnerPlace, "the partner's place after the match");

    // Undone: the pair comes back, the moved tile into its cell; undone again, the tile is back
    // on the board at once.
    ASSERT_TRUE(clickHudButton(road, "BUTTON_UNDO"));
    road.run(100);
    board.expectFace(moved.get(), {}, "the tile the undo put back in its cell");
    board.expectFace(partner.get(), {}, "the partner the undo put back");
    ASSERT_TRUE(clickHudButton(road, "BUTTON_UNDO"));
    road.run(50);
    // (The continued game's move keeps a tile object of its own.)
    Tile* back = board.game()->getLayout()->getTileAt(grid.x, grid.y, layer);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getMatchKey(), moved->getMatchKey());
    board.expectFace(back, {}, "the tile the second undo put back on the board");
    EXPECT_EQ(rack->getTileCount(), 0);
    board.hintAndLook();
    playAgain(road, "SWITCH_FREECELL", 0);
    EXPECT_EQ(road.finish(), 0);
}

// A rack type's board, from its start: every rack tile shows its face (side-board tiles get no
// hover tint in these types); a click on a board tile matches it with the rack; a hint pulses
// the rack tile it names.
void rackRoad(RoadDriver& road) {
    const BoardOnScreen board{road};
    ASSERT_NE(board.rack(), nullptr);
    ASSERT_GT(board.rack()->getTileCount(), 0);
    board.expectAllFaces("the board and the rack");
    road.picture("board-mid-game");
    const std::vector<const Tile*> match = board.firstMatch();
    ASSERT_TRUE(match.front()->isOnSideBoard());
    const Spot place = board.face(match.back());
    ASSERT_TRUE(board.clickFor(match.back(), Game::CLICK_MATCH));
    settleEffects(road);
    board.expectBackground(place, "the matched board tile's place");
    board.expectAllFaces("the rack refilled after the match");
    board.hintAndLook();
}

TEST(Road, SplitShowsItsRackOnScreen) {
    RoadDriver road("type-split");
    ASSERT_TRUE(playType(road, "SWITCH_SPLIT", 3, 2));
    const BoardOnScreen board{road};
    const Tile* onBoard = board.firstMatch().back();
    rackRoad(road);
    // The undo brings the board tile back and its face into the rack again.
    ASSERT_TRUE(clickHudButton(road, "BUTTON_UNDO"));
    settleEffects(road);
    board.expectFace(onBoard, {}, "the board tile the undo put back");
    board.expectAllFaces("the rack after the undo");
    playAgain(road, "SWITCH_SPLIT", 1);
    continuedWithItsNextBoardGone(road, "BUTTON_CASINO", "SCENE_CASINO");
}

TEST(Road, SpeedShowsItsRackOnScreen) {
    RoadDriver road("type-speed");
    road.playOwnLevels(3);
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    // No room offers Speed an undo: the roof shuffles.
    road.run(600);
    ASSERT_TRUE(road.click("BUTTON_ELEVATOR") && road.waitForScene("SCENE_ELEVATOR"));
    ASSERT_TRUE(playFromLift(road, "BUTTON_ROOF", "SCENE_ROOF", "SWITCH_SPEED", 3));
    rackRoad(road);
    BoardOnScreen{road}.shuffleAndLook();
    // The rack once more in the first tile set (Split's road shows the other two).
    playAgain(road, "SWITCH_SPEED", 0, "BUTTON_ROOF", "SCENE_ROOF", false,
              "the rack in the first tile set");
    continuedWithItsNextBoardGone(road, "BUTTON_ROOF", "SCENE_ROOF");
}

}  // namespace game_type_road_test
