#pragma once
// A fixture for the tests of the game types: a game of a type on a hand-made board (with a side
// board where the type plays with one), faces set by hand, and clicks on the board and on the
// side board through the headless screen.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/rules/SideBoard.h"
#include "rules/GameTestSupport.h"
#include "rules/RecordingGameScreen.h"

namespace game_test {

// Board points lie from this origin on; side-board sprites lie left of it.
constexpr int BOARD_ORIGIN = 1000;

class GameTypesTest : public testing::Test {
protected:
    void TearDown() override {
        Game::releaseCurrent();
        Random::releaseInstance();
    }

    // A game of the type on the positions, with a side board of columns x rows at (100, 100)
    // when columns > 0, built from the level's values, then given the faces (suit, value) in
    // position order when any are given.
    Game* start(int type, const std::vector<Position>& positions,
                const std::vector<std::pair<int, int>>& faces, int columns = 0, int rows = 0,
                std::vector<std::pair<std::string, std::string>> values = {}) {
        Random::createInstance(seed);
        RefHolder<PropertyNode> node = layoutNode(positions);
        if (columns > 0) {
            RefHolder<PropertyNode> board(new PropertyNode("sideboard", "SideBoard"));
            board->addChild(new PropertyValue("width", columns, true));
            board->addChild(new PropertyValue("height", rows, true));
            board->addChild(new PropertyValue("x", 100, true));
            board->addChild(new PropertyValue("y", 100, true));
            node->addChild(board.get());
        }
        values.emplace_back("gameType", Level::gameTypeWord(type));
        values.emplace_back("pointsPerMatch", "10");
        RefHolder<Level> level = makeLevel(values);
        RefHolder<Layout> layout(new Layout(node.get(), static_cast<GameType>(type), -1));
        level->setLayoutObject(layout.get());
        Game* game = Game::create(static_cast<GameType>(type));
        game->setLevel(level.get());
        for (size_t i = 0; i < faces.size() && i < positions.size(); ++i) {
            tileAt(positions[i])->setFace(faces[i].first, faces[i].second);
        }
        screen.calls.clear();
        return game;
    }
    static Tile* tileAt(const Position& p) {
        return Game::current()->getLayout()->getCell(p[0], p[1], p[2]);
    }
    static SideBoard* sideBoard() { return Game::current()->getLayout()->getSideBoard(); }
    // A new tile of that face parked in a slot.
    static Tile* park(int column, int row, int suit, int value) {
        RefHolder<Tile> tile = rules_test::makeTile(0, 0, 0, suit, value);
        sideBoard()->placeTile(tile.get(), column, row);
        return tile.get();
    }
    // Clicks the screen point and acts on the outcome.
    static int clickPoint(int x, int y) {
        Game* game = Game::current();
        game->onTileClicked(x, y);
        const int outcome = game->getClickOutcome();
        game->update();
        return outcome;
    }
    // Clicks the top-left cell of the board tile at p.
    static int click(const Position& p) {
        return clickPoint(BOARD_ORIGIN + p[0], BOARD_ORIGIN + p[1]);
    }
    // Clicks a side-board tile on its sprite.
    static int click(Tile* slotTile) { return clickPoint(slotTile->getX(), slotTile->getY()); }
    bool recorded(const std::string& call) const {
        return std::find(screen.calls.begin(), screen.calls.end(), call) != screen.calls.end();
    }

    uint32_t seed = 7;
    ScopedSuits suits;
    rules_test::RecordingGameScreen screen{1, 1, BOARD_ORIGIN, BOARD_ORIGIN};
    rules_test::ScopedGameScreen screenScope{screen};
};

}  // namespace game_test
