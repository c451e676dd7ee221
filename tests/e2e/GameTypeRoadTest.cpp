// One road per game type on the road's own small boards: select, match, undo, shuffle and hint
// by synthetic input, each step checked in the window's pixels: a selected or hovered tile shows
// its tint at full strength under its symbol, a removed tile's place shows the background, a
// tile that an undo brings back and every rack or cell tile shows its own face.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "e2e/RoadDriver.h"
#include "e2e/RoadSteps.h"
#include "framework/core/BasicProperties.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/SideBoard.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneQuovelMahjong.h"
#include "game/app/SceneRecRoom.h"
#include "game/screen/GameSceneStates.h"

namespace {

// Face pixels this far inside the face's edge: clear of the shadow a rack lays on its tiles'
// top and left edges and of the tile's rim.
constexpr int32_t faceInset = 7;

struct Tint {
    int32_t color = 0;
    int32_t alpha = 0;  // 0: none
};

// What the window shows now.
RefHolder<Image> windowPicture(RoadDriver& road) {
    const SurfaceMemory screen = road.display.getBackBuffer();
    RefHolder<Image> shown(Image::createImage(screen.width, screen.height, 4));
    for (int32_t y = 0; screen.pixels && y < screen.height; ++y) {
        std::memcpy(shown->getPixels() + int64_t{y} * shown->getPitch(),
                    screen.pixels + int64_t{y} * screen.pitch, size_t(screen.width) * 4);
    }
    return shown;
}

uint32_t pixel(Image* image, int32_t x, int32_t y) {
    uint32_t value = 0;
    std::memcpy(&value, image->getPixels() + int64_t{y} * image->getPitch() + int64_t{x} * 4, 4);
    return value & 0xFFFFFF;
}

int32_t channel(uint32_t value, int shift) {
    return int32_t((value >> shift) & 0xFF);
}

// The blank tile tinted (colour filled at an alpha), then washed like a shaded layer, with the
// tile's symbol over it when `symbols` is given: what the board draws for the tile.
RefHolder<Image> tilePicture(const Tile* tile, Image* symbols, Tint tint, Tint shading = {}) {
    RefHolder<Image> picture(Image::copyImage(LayoutRenderer::getTileImage()));
    RefHolder<Graphics> graphics(picture->createGraphics());
    for (const Tint& fill : {tint, shading}) {
        if (fill.alpha > 0) {
            graphics->setColor(uint32_t(fill.color));
            graphics->setAlpha(fill.alpha);
            graphics->fillRect(0, 0, picture->getWidth(), picture->getHeight());
            graphics->setAlpha(255);
        }
    }
    if (symbols) {
        graphics->blit(symbols, 0, 0, tile->getFaceOffsetX(), tile->getFaceOffsetY(),
                       tuning().TILE_FACE_WIDTH, tuning().TILE_FACE_HEIGHT);
    }
    return picture;
}

// Face pixels at (x, y) of the window that differ from `expected` by more than rounding; the
// first of them named in `where`.
int32_t faceMismatches(Image* shown, int32_t x, int32_t y, Image* expected, std::string& where) {
    int32_t wrong = 0;
    for (int32_t v = faceInset; v < tuning().TILE_FACE_HEIGHT - faceInset; ++v) {
        for (int32_t u = faceInset; u < tuning().TILE_FACE_WIDTH - faceInset; ++u) {
            const uint32_t a = pixel(shown, x + u, y + v);
            const uint32_t b = pixel(expected, u, v);
            for (int shift : {0, 8, 16}) {
                if (std::abs(channel(a, shift) - channel(b, shift)) > 2) {
                    if (wrong++ == 0) {
                        char text[64];
                        std::snprintf(text, sizeof text, "(%d,%d) shows %06X, expected %06X",
                                      x + u, y + v, a, b);
                        where = text;
                    }
                    break;
                }
            }
        }
    }
    return wrong;
}

// The share of face pixels at (x, y) where `tint` shows at nine tenths of its strength or more:
// the shown change from the untinted face measured along the tint's change of the blank tile.
// Where a symbol's ink covers the face the tint may not show; a wash over the whole face would
// leave no pixel at full strength.
double fullTintShare(Image* shown, int32_t x, int32_t y, const Tile* tile, Image* symbols,
                     Tint tint, Tint shading = {}) {
    RefHolder<Image> plainFace = tilePicture(tile, symbols, {}, shading);
    RefHolder<Image> plainTile = tilePicture(tile, nullptr, {}, shading);
    RefHolder<Image> tintedTile = tilePicture(tile, nullptr, tint, shading);
    int32_t measured = 0;
    int32_t full = 0;
    for (int32_t v = faceInset; v < tuning().TILE_FACE_HEIGHT - faceInset; ++v) {
        for (int32_t u = faceInset; u < tuning().TILE_FACE_WIDTH - faceInset; ++u) {
            double along = 0;
            double length = 0;
            for (int shift : {0, 8, 16}) {
                const double expected = channel(pixel(tintedTile.get(), u, v), shift) -
                                        channel(pixel(plainTile.get(), u, v), shift);
                along += expected * (channel(pixel(shown, x + u, y + v), shift) -
                                     channel(pixel(plainFace.get(), u, v), shift));
                length += expected * expected;
            }
            if (length < 30 * 30) {
                continue;  // the tint hardly changes this pixel
            }
            ++measured;
            full += along / length >= 0.9 ? 1 : 0;
        }
    }
    return measured > 0 ? double(full) / measured : 0.0;
}

// A click on a point that gives `outcome`, reading any tutorial hint it opens first.
bool clickPointFor(RoadDriver& road, int32_t x, int32_t y, int32_t outcome) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        dismissTutorialHint(road);
        dismissHostHint(road);
        road.clickAt(x, y);
        if (Game::current()->getClickOutcome() == outcome) {
            return true;
        }
    }
    return false;
}

// The game's tiles and the screen positions of their faces.
struct Board {
    RoadDriver& road;

    Game* game() const { return Game::current(); }
    LayoutRenderer* renderer() const { return gameScreen(road)->getRenderer(); }
    SideBoard* rack() const { return game()->getLayout()->getSideBoard(); }
    Image* symbols() const { return renderer()->getSymbolImage(); }

    // Top left of the tile's face on screen, on the board or in its slot.
    void facePosition(const Tile* tile, int32_t& x, int32_t& y) const {
        if (tile->isOnSideBoard()) {
            x = tile->getGridX();
            y = tile->getGridY();
            rack()->slotToPoint(x, y);
            return;
        }
        x = renderer()->gridToScreenX(tile->getGridZ(), tile->getGridX());
        y = renderer()->gridToScreenY(tile->getGridZ(), tile->getGridY());
    }
    // A click on the tile's face, on the board or in its slot, that gives `outcome`.
    bool clickFor(const Tile* tile, int32_t outcome) const {
        int32_t x = 0;
        int32_t y = 0;
        facePosition(tile, x, y);
        return clickPointFor(road, x + tuning().TILE_FACE_WIDTH / 2,
                             y + tuning().TILE_FACE_HEIGHT / 2, outcome);
    }
    // The River washes each layer with its shipped shading.
    Tint shadingOf(const Tile* tile) const {
        if (tile->isOnSideBoard() || game()->getLevel()->getGameType() != Game::TYPE_RIVER) {
            return {};
        }
        const std::string layer = std::to_string(tile->getGridZ());
        BasicProperties* values = BasicProperties::instance();
        return {values->getInteger("LAYER_COLOR" + layer), values->getInteger("LAYER_ALPHA" + layer)};
    }
    // The window shows the tile's face, tinted or not, where the tile lies.
    void expectFace(const Tile* tile, Tint tint, const std::string& what) const {
        RefHolder<Image> shown = windowPicture(road);
        int32_t x = 0;
        int32_t y = 0;
        facePosition(tile, x, y);
        RefHolder<Image> expected = tilePicture(tile, symbols(), tint, shadingOf(tile));
        std::string where;
        EXPECT_EQ(faceMismatches(shown.get(), x, y, expected.get(), where), 0)
            << what << ": the face of suit " << tile->getSuit() << " value " << tile->getValue()
            << (tile->isOnSideBoard() ? " in its slot" : " on the board") << " at " << x << ","
            << y << ": " << where;
    }
    // The window shows the tile with `tint` at full strength around its symbol.
    void expectFullTint(const Tile* tile, Tint tint, const std::string& what) const {
        RefHolder<Image> shown = windowPicture(road);
        int32_t x = 0;
        int32_t y = 0;
        facePosition(tile, x, y);
        EXPECT_GE(fullTintShare(shown.get(), x, y, tile, symbols(), tint, shadingOf(tile)), 0.3)
            << what << " in tile set " << QuovelMahjongPlayer::current()->tileSet + 1;
    }
    // The face area at (x, y) shows what lies behind the board or rack.
    void expectEmpty(int32_t x, int32_t y, Image* behind, int32_t behindX, int32_t behindY,
                     const std::string& what) const {
        RefHolder<Image> shown = windowPicture(road);
        RefHolder<Image> area(Image::createImage(tuning().TILE_FACE_WIDTH,
                                                 tuning().TILE_FACE_HEIGHT, 4));
        RefHolder<Graphics> graphics(area->createGraphics());
        graphics->copyRect(behind, 0, 0, behindX, behindY, area->getWidth(), area->getHeight());
        std::string where;
        EXPECT_EQ(faceMismatches(shown.get(), x, y, area.get(), where), 0) << what << ": " << where;
    }
    void expectBackground(int32_t x, int32_t y, const std::string& what) const {
        expectEmpty(x, y, gameScreen(road)->getBackgroundImage(), x, y, what);
    }
    // Every tile on the board and in the rack shows its face.
    void expectAllFaces(const std::string& what) const {
        std::vector<RefHolder<Tile>> tiles;
        game()->getLayout()->getAllTiles(tiles);
        if (rack()) {
            rack()->getTiles(tiles);
        }
        for (const RefHolder<Tile>& tile : tiles) {
            expectFace(tile.get(), {}, what);
        }
    }
    // The game's matches, each in click order (for a rack game the board tile last).
    std::vector<std::vector<const Tile*>> matches() const {
        Game::TileList offered;
        game()->findMatches(offered, nullptr);
        std::vector<std::vector<const Tile*>> found;
        const size_t size = size_t(game()->getTilesPerMatch());
        for (size_t k = 0; k + size <= offered.size(); k += size) {
            std::vector<const Tile*>& match = found.emplace_back();
            for (size_t t = k; t < k + size; ++t) {
                match.push_back(offered[t].get());
            }
            if (match.front()->isOnSideBoard() == false && match.back()->isOnSideBoard()) {
                std::swap(match.front(), match.back());
            }
        }
        return found;
    }
};

const Tint selectTint() {
    return {tuning().TILE_SELECT_COLOR, tuning().TILE_SELECT_ALPHA};
}

const Tint hoverTint() {
    return {tuning().TILE_HOVER_COLOR, tuning().TILE_HOVER_ALPHA};
}

// Lets tile effects (fade-outs, the face shine, floaters) run out.
void settle(RoadDriver& road) {
    road.run(2500);
}

// A HUD button, which the room must show.
bool clickButton(RoadDriver& road, const std::string& name) {
    dismissTutorialHint(road);
    dismissHostHint(road);
    GameNode* button = road.find(name);
    EXPECT_TRUE(button && button->isVisible()) << name << " is not shown";
    return button && button->isVisible() && road.click(name);
}

// Shuffle by the HUD's button: once the board plays again, every tile shows its face.
void shuffleAndLook(RoadDriver& road, const Board& board) {
    ASSERT_TRUE(clickButton(road, "BUTTON_SHUFFLE"));
    ASSERT_TRUE(road.waitFor([&] { return objectCast<StateShuffle>(
                                          gameScreen(road)->getCurrentState()) != nullptr; },
                             "the shuffle"));
    ASSERT_TRUE(road.waitFor([&] { return gameScreen(road)->isPlaying(); }, "play after the shuffle",
                             30000));
    settle(road);
    board.expectAllFaces("after the shuffle");
}

// From the lift into `sceneName` by `stopButton`, its type `typeSwitch` started in tile set
// `tileSet`: true once the board plays.
bool playFromLift(RoadDriver& road, const std::string& stopButton, const std::string& sceneName,
                  const std::string& typeSwitch, int32_t tileSet) {
    QuovelMahjongPlayer::current()->tileSet = tileSet;
    auto* stop = objectCast<Button>(road.find(stopButton));
    if (!road.waitFor([&] { return stop && stop->isEnabled(); }, stopButton) ||
        !road.click(stopButton) || !road.waitForScene(sceneName, 30000)) {
        return false;
    }
    road.run(1000);
    dismissHostHint(road);
    // A stopped run's saved game is declined.
    if (road.dialog(SceneQuovelMahjong::savedGameQuestionKey)) {
        road.clickIn(SceneQuovelMahjong::savedGameQuestionKey, "BUTTON_NO");
        road.run(800);
    }
    if (!road.click(typeSwitch)) {
        return false;
    }
    road.run(300);
    if (!road.click("BUTTON_START") || !road.waitForScene("SCENE_GAME", 30000) ||
        !waitUntilPlaying(road)) {
        return false;
    }
    settle(road);
    return true;
}

// The casino's board of the type (the rec room has no shuffle), shuffled.
void shuffleInCasino(RoadDriver& road, const std::string& typeSwitch, int32_t tileSet) {
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    ASSERT_TRUE(playFromLift(road, "BUTTON_CASINO", "SCENE_CASINO", typeSwitch, tileSet));
    const Board board{road};
    board.expectAllFaces("the casino's board");
    shuffleAndLook(road, board);
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    EXPECT_EQ(road.finish(), 0);
}

// A hint by the HUD's button: its tiles pulse, so they no longer show the plain face.
void hintAndLook(RoadDriver& road, const Board& board) {
    ASSERT_TRUE(clickButton(road, "BUTTON_HINT_UNLIMITED"));
    road.run(400);
    const Game::TileList hinted = board.game()->getSuperHintTiles();
    ASSERT_FALSE(hinted.empty()) << "the hint marked no tile";
    RefHolder<Image> shown = windowPicture(road);
    for (const RefHolder<Tile>& tile : hinted) {
        int32_t x = 0;
        int32_t y = 0;
        board.facePosition(tile.get(), x, y);
        RefHolder<Image> plain =
            tilePicture(tile.get(), board.symbols(), {}, board.shadingOf(tile.get()));
        std::string where;
        EXPECT_GT(faceMismatches(shown.get(), x, y, plain.get(), where), 20)
            << "a hinted tile at " << x << "," << y << " does not pulse";
    }
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
        player->unlockedStuff[SceneRecRoom::SWITCH_ITEMS[type]] = 2;
        player->unlockedStuff[SceneCasino::GAME_TYPE_ITEMS[type]] = 2;
    }
    if (!playRecRoomLayout(road, typeSwitch, 0, 0)) {
        return false;
    }
    settle(road);
    return true;
}

// A road of a board-only type: the first match selected (tint at full strength), the board
// pictured, the match made (its places show the background), taken back (the faces at once),
// then shuffle and hint.
void boardRoad(RoadDriver& road, const std::string& typeSwitch, int32_t tileSet,
               const std::function<void(const Board&)>& typeChecks = {}) {
    ASSERT_TRUE(playType(road, typeSwitch, 2, tileSet));
    const Board board{road};
    board.expectAllFaces("the board");
    if (typeChecks) {
        typeChecks(board);
    }
    const std::vector<const Tile*> match = board.matches().at(0);
    ASSERT_TRUE(board.clickFor(match[0], Game::CLICK_SELECT));
    road.run(100);
    board.expectFace(match[0], selectTint(), "the selected tile");
    board.expectFullTint(match[0], selectTint(), "the selection tint");
    road.picture("board-mid-game");

    std::vector<int32_t> places;
    for (const Tile* tile : match) {
        int32_t x = 0;
        int32_t y = 0;
        board.facePosition(tile, x, y);
        places.insert(places.end(), {x, y});
    }
    for (size_t k = 1; k < match.size(); ++k) {
        ASSERT_TRUE(board.clickFor(match[k],
                                 k + 1 == match.size() ? Game::CLICK_MATCH : Game::CLICK_ADD));
    }
    settle(road);
    for (size_t k = 0; k < places.size(); k += 2) {
        board.expectBackground(places[k], places[k + 1], "a removed tile's place");
    }

    ASSERT_TRUE(clickButton(road, "BUTTON_UNDO"));
    road.run(100);
    for (const Tile* tile : match) {
        board.expectFace(tile, {}, "a tile the undo put back");
    }
    hintAndLook(road, board);
    shuffleInCasino(road, typeSwitch, 0);
}

TEST(Road, ClassicIsPlayedOnScreen) {
    RoadDriver road("type-classic");
    boardRoad(road, "SWITCH_CLASSIC", 2);
}

TEST(Road, TripleIsPlayedOnScreen) {
    RoadDriver road("type-triple");
    boardRoad(road, "SWITCH_TRIPLE", 3);
}

TEST(Road, RiverIsPlayedOnScreenWithItsLayersShaded) {
    RoadDriver road("type-river");
    boardRoad(road, "SWITCH_RIVER", 1, [](const Board& board) {
        // The shipped shading washes lower layers darker (the River's boards have two)...
        BasicProperties* values = BasicProperties::instance();
        EXPECT_GT(values->getInteger("LAYER_ALPHA0"), values->getInteger("LAYER_ALPHA1"));
        EXPECT_GT(values->getInteger("LAYER_ALPHA1"), 0);
        // ... and the board's tiles, all on the bottom layer, show it.
        std::vector<RefHolder<Tile>> tiles;
        board.game()->getLayout()->getAllTiles(tiles);
        RefHolder<Image> shown = windowPicture(board.road);
        RefHolder<Image> unshaded = tilePicture(tiles.at(0).get(), board.symbols(), {});
        int32_t x = 0;
        int32_t y = 0;
        board.facePosition(tiles[0].get(), x, y);
        std::string where;
        EXPECT_GT(faceMismatches(shown.get(), x, y, unshaded.get(), where), 100)
            << "the bottom layer is drawn unshaded";
    });
}

// The sprite of a tile in flight: a picture of the tile's size in the screen's effect layer.
Sprite* flyingTile(RoadDriver& road) {
    for (GameNode* node = gameScreen(road)->getFloaterLayer()->getFirstChild(); node;
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
    const Board board{road};
    board.expectAllFaces("the board");
    const std::vector<const Tile*> match = board.matches().at(0);
    RefHolder<Tile> moved(const_cast<Tile*>(match[0]));
    RefHolder<Tile> partner(const_cast<Tile*>(match[1]));
    int32_t fromX = 0;
    int32_t fromY = 0;
    board.facePosition(moved.get(), fromX, fromY);
    const int32_t lx = moved->getGridX();
    const int32_t ly = moved->getGridY();
    const int32_t lz = moved->getGridZ();
    int32_t column = 0;
    int32_t row = 0;
    board.rack()->findFreeSlot(column, row);
    int32_t cellX = column;
    int32_t cellY = row;
    board.rack()->slotToPoint(cellX, cellY);

    // Selected, then sent to the first cell: it leaves the board and flies there.
    ASSERT_TRUE(board.clickFor(moved.get(), Game::CLICK_SELECT));
    ASSERT_TRUE(clickPointFor(road, cellX + tuning().TILE_FACE_WIDTH / 2,
                              cellY + tuning().TILE_FACE_HEIGHT / 2, Game::CLICK_MOVE));
    road.run(tuning().TILE_FLIGHT_TIME / 3);
    Sprite* flying = flyingTile(road);
    ASSERT_NE(flying, nullptr) << "no tile is seen flying";
    road.picture("tile-in-flight");
    EXPECT_GT(std::abs(flying->getX() - fromX) + std::abs(flying->getY() - fromY), 0);
    EXPECT_GT(std::abs(flying->getX() - cellX) + std::abs(flying->getY() - cellY), 0);
    {
        RefHolder<Image> shown = windowPicture(road);
        RefHolder<Image> face = tilePicture(moved.get(), board.symbols(), {});
        std::string where;
        EXPECT_EQ(faceMismatches(shown.get(), flying->getX(), flying->getY(), face.get(), where), 0)
            << "the flying tile: " << where;
    }
    board.expectBackground(fromX, fromY, "the place the tile flew from");

    // Landed, it shows its face in the cell, also in the game continued from its saved game.
    road.run(tuning().TILE_FLIGHT_TIME);
    ASSERT_TRUE(moved->isOnSideBoard());
    EXPECT_EQ(flyingTile(road), nullptr);
    board.expectFace(moved.get(), {}, "the tile in its cell");
    board.expectBackground(fromX, fromY, "the place the tile flew from");
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    auto* stop = objectCast<Button>(road.find("BUTTON_RECROOM"));
    ASSERT_TRUE(road.waitFor([&] { return stop && stop->isEnabled(); }, "the rec room's button"));
    ASSERT_TRUE(road.click("BUTTON_RECROOM"));
    ASSERT_TRUE(road.waitForDialog(SceneQuovelMahjong::savedGameQuestionKey, 30000));
    road.run(800);
    ASSERT_TRUE(road.clickIn(SceneQuovelMahjong::savedGameQuestionKey, "BUTTON_YES"));
    ASSERT_TRUE(road.waitForScene("SCENE_GAME", 30000) && waitUntilPlaying(road));
    settle(road);
    moved = board.rack()->getTileAt(column, row);
    ASSERT_TRUE(moved);
    partner = board.game()->getLayout()->getTileAt(partner->getGridX(), partner->getGridY(),
                                                   partner->getGridZ());
    ASSERT_TRUE(partner);
    board.expectAllFaces("the continued game");
    board.expectBackground(fromX, fromY, "the moved tile's place in the continued game");

    // Hovered and selected in its cell, it shows the tints.
    road.moveTo(cellX + tuning().TILE_FACE_WIDTH / 2, cellY + tuning().TILE_FACE_HEIGHT / 2);
    road.run(50);
    board.expectFace(moved.get(), hoverTint(), "the hovered tile in its cell");
    ASSERT_TRUE(board.clickFor(moved.get(), Game::CLICK_SELECT));
    road.run(100);
    board.expectFace(moved.get(), selectTint(), "the selected tile in its cell");
    board.expectFullTint(moved.get(), selectTint(), "the selection tint in a cell");
    road.picture("board-mid-game");

    // Matched from the cell: the cell is empty again, and neither place shows a tile.
    int32_t partnerX = 0;
    int32_t partnerY = 0;
    board.facePosition(partner.get(), partnerX, partnerY);
    ASSERT_TRUE(board.clickFor(partner.get(), Game::CLICK_MATCH));
    settle(road);
    SideBoard* rack = board.rack();
    board.expectEmpty(cellX, cellY, rack->getImage(), cellX - rack->getAbsoluteX(),
                      cellY - rack->getAbsoluteY(), "the cell after the match");
    EXPECT_EQ(rack->getTileCount(), 0);
    board.expectBackground(fromX, fromY, "the moved tile's place after the match");
    board.expectBackground(partnerX, partnerY, "the partner's place after the match");

    // Undone: the pair comes back, the moved tile into its cell; undone again, the tile is back
    // on the board at once.
    ASSERT_TRUE(clickButton(road, "BUTTON_UNDO"));
    road.run(100);
    board.expectFace(moved.get(), {}, "the tile the undo put back in its cell");
    board.expectFace(partner.get(), {}, "the partner the undo put back");
    ASSERT_TRUE(clickButton(road, "BUTTON_UNDO"));
    road.run(50);
    // (The continued game's move keeps a tile object of its own.)
    Tile* back = board.game()->getLayout()->getTileAt(lx, ly, lz);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getMatchKey(), moved->getMatchKey());
    board.expectFace(back, {}, "the tile the second undo put back on the board");
    EXPECT_EQ(rack->getTileCount(), 0);

    hintAndLook(road, board);
    shuffleInCasino(road, "SWITCH_FREECELL", 0);
}

// A rack type's board, from its start: every rack tile shows its face (side-board tiles get no
// hover tint in these types); a click on a board tile matches it with the rack; a hint pulses
// the rack tile it names.
void rackRoad(RoadDriver& road) {
    const Board board{road};
    ASSERT_NE(board.rack(), nullptr);
    ASSERT_GT(board.rack()->getTileCount(), 0);
    board.expectAllFaces("the board and the rack");
    road.picture("board-mid-game");

    const std::vector<const Tile*> match = board.matches().at(0);
    ASSERT_TRUE(match.front()->isOnSideBoard());
    const Tile* onBoard = match.back();
    int32_t x = 0;
    int32_t y = 0;
    board.facePosition(onBoard, x, y);
    ASSERT_TRUE(board.clickFor(onBoard, Game::CLICK_MATCH));
    settle(road);
    board.expectBackground(x, y, "the matched board tile's place");
    board.expectAllFaces("the rack refilled after the match");
    hintAndLook(road, board);
}

TEST(Road, SplitShowsItsRackOnScreen) {
    RoadDriver road("type-split");
    ASSERT_TRUE(playType(road, "SWITCH_SPLIT", 3, 2));
    const Board board{road};
    const Tile* onBoard = board.matches().at(0).back();
    rackRoad(road);
    // The undo brings the board tile back and its face into the rack again.
    ASSERT_TRUE(clickButton(road, "BUTTON_UNDO"));
    settle(road);
    board.expectFace(onBoard, {}, "the board tile the undo put back");
    board.expectAllFaces("the rack after the undo");
    shuffleInCasino(road, "SWITCH_SPLIT", 1);
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
    shuffleAndLook(road, Board{road});
    // The rack once more in the first tile set (Split's road shows the other two).
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    ASSERT_TRUE(playFromLift(road, "BUTTON_ROOF", "SCENE_ROOF", "SWITCH_SPEED", 0));
    Board{road}.expectAllFaces("the rack in the first tile set");
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    EXPECT_EQ(road.finish(), 0);
}

}  // namespace
