// The game-type factory and the current-game slot, saving and restoring games (also through a
// player's saved-game file), restart, shuffle, the way back to the room, and the move command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/GameListeners.h"
#include "game/rules/CommandMove.h"
#include "game/rules/CommandRemove.h"
#include "game/rules/GameClassic.h"
#include "game/rules/GameHooks.h"
#include "game/rules/ICurrentGame.h"
#include "platform/PlayerFilesFixture.h"
#include "rules/GameTestSupport.h"
#include "rules/RecordingGameScreen.h"

namespace game_state_test {

using game_test::Position;

std::vector<std::string> sceneRequests;
void recordScene(const std::string& name, const std::string& transition) {
    sceneRequests.push_back(transition + " " + name);
}

class GameStateTest : public testing::Test {
protected:
    void SetUp() override { Random::createInstance(11); }
    void TearDown() override {
        Game::releaseCurrent();
        Random::releaseInstance();
    }

    // A classic game with a built 8-tile level in a room kind.
    Game* startGame(int gameMode = 0, int index = 0) {
        Game* game = Game::create(Game::TYPE_CLASSIC);
        RefHolder<Level> level = game_test::classicLevel(1, 4, 10, gameMode, index);
        RefHolder<Layout> layout = game_test::makeLayout({{0, 0, 0},
                                                          {2, 0, 0},
                                                          {4, 0, 0},
                                                          {6, 0, 0},
                                                          {0, 4, 0},
                                                          {2, 4, 0},
                                                          {4, 4, 0},
                                                          {6, 4, 0}});
        level->setLayoutObject(layout.get());
        game->setLevel(level.get());
        return game;
    }
    // Removes the first pair of the build order through clicks.
    void playFirstPair(Game* game) {
        const Game::TileList order = game->getBuildOrder();
        for (size_t k = 0; k + 1 < order.size(); k += 2) {
            if (game->getLayout()->getCell(order[k]->getGridX(), order[k]->getGridY(),
                                           order[k]->getGridZ()) == order[k].get()) {
                for (size_t i = k; i < k + 2; ++i) {
                    game->onTileClicked(order[i]->getGridX(), order[i]->getGridY());
                    game->update();
                }
                return;
            }
        }
    }
    static RefHolder<PropertyNode> saved(Game* game) {
        RefHolder<PropertyNode> node(new PropertyNode("game"));
        game->save(node.get());
        return node;
    }

    game_test::ScopedSuits suits;
    rules_test::RecordingGameScreen screen;
    rules_test::ScopedGameScreen screenScope{screen};
};

TEST_F(GameStateTest, TheFactoryReplacesTheCurrentGame) {
    Game* first = Game::create(Game::TYPE_CLASSIC);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Game::current(), first);
    EXPECT_EQ(getCurrentGame(), static_cast<ICurrentGame*>(first));
    EXPECT_EQ(first->getScore().getValue(), 0);
    EXPECT_EQ(first->getLevel(), nullptr);
    EXPECT_EQ(first->getLayout(), nullptr);
    EXPECT_TRUE(first->getSelection().empty());
    EXPECT_TRUE(first->getUndoHistory().empty());
    EXPECT_EQ(first->gameCounts.lastMatchKey, -1);
    EXPECT_EQ(first->getRefCount(), 1);

    RefHolder<Game> kept(first);
    Game* second = Game::create(Game::TYPE_CLASSIC);
    EXPECT_EQ(Game::current(), second);
    EXPECT_TRUE(first->isRemoved());
    EXPECT_EQ(first->getRefCount(), 1);  // only ours is left

    // Types outside 0 to 5, and types without a class yet, make nothing and keep the game.
    EXPECT_EQ(Game::create(NO_GAME_TYPE), nullptr);
    EXPECT_EQ(Game::create(static_cast<GameType>(6)), nullptr);
    EXPECT_EQ(Game::current(), second);
    EXPECT_FALSE(second->isRemoved());

    Game::releaseCurrent();
    EXPECT_EQ(Game::current(), nullptr);
    EXPECT_EQ(getCurrentGame(), nullptr);
}

TEST_F(GameStateTest, SavingAndRestoringKeepsEverySavedField) {
    Game* game = startGame();
    screen.setChainCounter(4);
    playFirstPair(game);
    ASSERT_EQ(game->getLayout()->getTileCount(), 6);
    game->levelCounts.hintCount = 2;
    game->levelCounts.shuffleCount = 3;
    game->runCounts.numZeroMatches = 4;
    game->runCounts.realTime = 12345;
    game->gameCounts.dataGatherLevelTime = 2345;
    game->runCounts.clockTime = 345;
    game->levelCounts.timeSinceLastRestart = 45;
    game->screenCounts.lastSubmitTime = 44;
    game->screenCounts.bonusesClaimed = 6;
    game->screenCounts.pressedShuffle = true;
    game->getRandomLevels() = {7, 3};
    const int32_t score = game->getScore().getValue();
    ASSERT_EQ(score, 40);

    RefHolder<PropertyNode> node = saved(game);
    EXPECT_EQ(node->getTypeWord(), "GameClassic");
    EXPECT_EQ(node->getChildValue("lastSubmitTime")->getInt(), 44);
    ASSERT_TRUE(Game::restoreCurrent(node.get()));
    Game* back = Game::current();
    ASSERT_NE(back, game);
    EXPECT_EQ(back->getScore().getValue(), score);
    EXPECT_EQ(back->getScore().getShown(), score);
    EXPECT_EQ(back->runCounts.undoCount, 0);
    EXPECT_EQ(back->levelCounts.hintCount, 2);
    EXPECT_EQ(back->levelCounts.shuffleCount, 3);
    EXPECT_EQ(back->levelCounts.removedTilesCount, 2);
    EXPECT_EQ(back->runCounts.realTime, 12345);
    EXPECT_EQ(back->gameCounts.dataGatherLevelTime, 2345);
    EXPECT_EQ(back->runCounts.clockTime, 345);
    EXPECT_EQ(back->levelCounts.timeSinceLastRestart, 45);
    EXPECT_EQ(back->screenCounts.bonusesClaimed, 6);
    EXPECT_TRUE(back->screenCounts.pressedShuffle);
    EXPECT_FALSE(back->screenCounts.pressedUndo);
    EXPECT_FALSE(back->getHasWon());
    EXPECT_EQ(back->getRandomLevels(), (std::vector<int32_t>{7, 3}));
    // Written but not read back.
    EXPECT_EQ(back->runCounts.numZeroMatches, 0);
    EXPECT_EQ(back->screenCounts.lastSubmitTime, 0);
    ASSERT_NE(back->getLevel(), nullptr);
    EXPECT_EQ(back->getLevel()->getLayoutObject(), back->getLayout());
    EXPECT_EQ(static_cast<int>(back->getLevel()->getPointsPerMatch().getValue()), 10);
    EXPECT_EQ(back->getLayout()->getTileCount(), 6);
    EXPECT_EQ(back->getLayoutCopy()->getTileCount(), 8);
    ASSERT_EQ(back->getUndoHistory().size(), 1u);

    // Undo after the reload puts the pair back and returns the score, though points and
    // multiplier were not saved.
    back->undo();
    EXPECT_EQ(back->getLayout()->getTileCount(), 8);
    EXPECT_EQ(back->getScore().getValue(), 0);
    EXPECT_EQ(back->getScore().getShown(), 0);
    EXPECT_EQ(back->runCounts.undoCount, 1);
}

TEST_F(GameStateTest, SavedCountersAndScoresAtThe32BitEdgesStayInRange) {
    Game* game = startGame();
    RefHolder<PropertyNode> node = saved(game);
    node->addChild(new PropertyValue("removedTilesCount", INT32_MAX));
    node->addChild(new PropertyValue("undoCount", INT32_MAX));
    node->addChild(new PropertyValue("hintCount", -5));
    node->addChild(new PropertyValue("bonusesClaimed", INT32_MIN));
    // A removal that took every point there is: its undo must not negate INT32_MIN.
    RefHolder<PropertyNode> removal(new PropertyNode("", "CommandRemove"));
    removal->addChild(new PropertyVector("tiles"));
    removal->addChild(new PropertyValue("score", INT32_MIN));
    node->getChildVector("undo")->addChild(removal.get());
    ASSERT_TRUE(Game::restoreCurrent(node.get()));
    Game* back = Game::current();
    EXPECT_EQ(back->levelCounts.hintCount, 0);
    EXPECT_EQ(back->screenCounts.bonusesClaimed, 0);
    EXPECT_EQ(back->levelCounts.removedTilesCount, INT32_MAX);

    back->undo();
    EXPECT_EQ(back->getScore().getValue(), INT32_MAX);  // all of it given back, saturated
    EXPECT_EQ(back->runCounts.undoCount, INT32_MAX);
    Game::TileList pair;
    ASSERT_TRUE(back->findHint(pair));
    for (const RefHolder<Tile>& tile : pair) {
        back->onTileClicked(tile->getGridX(), tile->getGridY());
        back->update();
    }
    EXPECT_EQ(back->getLayout()->getTileCount(), 6);
    EXPECT_EQ(back->levelCounts.removedTilesCount, INT32_MAX);
}

TEST_F(GameStateTest, UnplayableSavedTreesAreRefusedAndTheGameStays) {
    Game* game = startGame();
    RefHolder<PropertyNode> good = saved(game);
    ASSERT_TRUE(Game::restoreCurrent(good.get()));
    Game* current = Game::current();

    auto without = [&](const char* key) {
        RefHolder<PropertyNode> node = saved(current);
        node->removeChild(key);
        return node;
    };
    for (const char* key : {"level", "layout", "layoutCopy"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(Game::restoreCurrent(without(key).get()));
        EXPECT_EQ(Game::current(), current);
        EXPECT_FALSE(current->isRemoved());
    }
    // A level node that makes no level, an undo entry that makes no command, a game word that
    // makes no game: refused.
    RefHolder<PropertyNode> badLevel = saved(current);
    badLevel->getChildNode("level")->setTypeWord("GameNode");
    EXPECT_FALSE(Game::restoreCurrent(badLevel.get()));
    RefHolder<PropertyNode> badUndo = saved(current);
    badUndo->getChildVector("undo")->addChild(new PropertyNode("", "Tile"));
    EXPECT_FALSE(Game::restoreCurrent(badUndo.get()));
    RefHolder<PropertyNode> badGame = saved(current);
    badGame->setTypeWord("Level");
    EXPECT_FALSE(Game::restoreCurrent(badGame.get()));
    badGame->setTypeWord("NoSuchGame");
    EXPECT_FALSE(Game::restoreCurrent(badGame.get()));
    EXPECT_FALSE(Game::restoreCurrent(nullptr));
    EXPECT_EQ(Game::current(), current);
}

TEST_F(GameStateTest, BrokenCommandsAreDroppedOnRestore) {
    Game* game = startGame();
    playFirstPair(game);
    RefHolder<PropertyNode> node = saved(game);
    PropertyVector* undo = node->getChildVector("undo");
    // A move without its tile, and a removal with a child that is not a tile.
    undo->addChild(new PropertyNode("", "CommandMove"));
    PropertyNode* removal = nodeOrDummy(undo->getChildAt(0));
    removal->getChildVector("tiles")->addChild(new PropertyNode("", "GameNode"));
    ASSERT_TRUE(Game::restoreCurrent(node.get()));
    Game* back = Game::current();
    ASSERT_EQ(back->getUndoHistory().size(), 1u);
    auto* restored = objectCast<CommandRemove>(back->getUndoHistory()[0].get());
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->getTiles().size(), 2u);
}

TEST_F(GameStateTest, RestartKeepsTheScoreOnlyInLaterCasinoAndRoofLevels) {
    struct Case {
        int gameMode;
        int index;
        bool keeps;
    };
    for (const Case& c : {Case{0, 3, false}, Case{2, 3, false}, Case{1, 0, false}, Case{1, 2, true},
                          Case{3, 1, true}}) {
        SCOPED_TRACE("room " + std::to_string(c.gameMode) + " index " + std::to_string(c.index));
        Game* game = startGame(c.gameMode, c.index);
        screen.setChainCounter(2);
        playFirstPair(game);
        const int32_t score = game->getScore().getValue();
        ASSERT_GT(score, 0);
        game->levelCounts.hintCount = 1;
        game->runCounts.realTime = 500;
        Layout* played = game->getLayout();
        game->restartLevel();
        EXPECT_EQ(game->getScore().getValue(), c.keeps ? score : 0);
        EXPECT_TRUE(game->getUndoHistory().empty());
        EXPECT_EQ(game->levelCounts.hintCount, 0);
        EXPECT_EQ(game->runCounts.realTime, 0);
        EXPECT_EQ(game->levelCounts.removedTilesCount, 0);
        EXPECT_NE(game->getLayout(), played);
        EXPECT_EQ(game->getLayout()->getTileCount(), 8);
        EXPECT_EQ(game->getLevel()->getLayoutObject(), game->getLayout());
    }
}

TEST_F(GameStateTest, ShuffleWithoutSideBoardsSwapsTheBoards) {
    Game* game = startGame();
    RefHolder<Layout> shuffled(new Layout(*game->getLayout()));
    game->setPendingLayout(shuffled.get());
    game->applyShuffle();
    EXPECT_EQ(game->getLayout(), shuffled.get());
    EXPECT_EQ(game->getLevel()->getLayoutObject(), shuffled.get());
    EXPECT_EQ(game->getPendingLayout(), nullptr);
    EXPECT_EQ(shuffled->getRefCount(), 3);  // ours, the game's and the level's
}

TEST_F(GameStateTest, ReturningToTheRoomGoesThroughTheSceneHooks) {
    GameHooks::goToScene.install(&recordScene);
    for (int room = 0; room <= 4; ++room) {
        sceneRequests.clear();
        startGame(room)->returnToRoom();
        std::vector<std::string> expected;
        const char* scenes[] = {"SCENE_HALLWAY", "SCENE_CASINO", "SCENE_RECROOM", "SCENE_ROOF"};
        if (room < 4) {
            expected.push_back(std::string("TRANSITION_DEFAULT ") + scenes[room]);
        }
        EXPECT_EQ(sceneRequests, expected);
    }
    GameHooks::goToScene.install(nullptr);
    Game::current()->returnToRoom();  // no hooks: nothing happens
    installGameListeners();
}

// Moves need a board with free cells: a classic game played on a free-cell layout. Flights run
// in the screen's effect layer.
class GameMoveTest : public GameStateTest {
protected:
    HeadlessGameScreen screen;
    rules_test::ScopedGameScreen screenScope{screen};

    Game* freeCellGame() {
        Game* game = Game::create(Game::TYPE_CLASSIC);
        RefHolder<Level> level = game_test::classicLevel();
        RefHolder<PropertyNode> node =
            game_test::layoutNode({{0, 0, 0}, {4, 0, 0}, {2, 0, 1}, {10, 0, 0}});
        RefHolder<PropertyNode> rack(new PropertyNode("sideboard", "SideBoard"));
        rack->addChild(new PropertyValue("width", "2", true));
        rack->addChild(new PropertyValue("height", "1", true));
        node->addChild(rack.get());
        RefHolder<Layout> layout(new Layout(node.get(), Game::TYPE_FREECELL, -1));
        level->setLayoutObject(layout.get());
        game->setLevel(level.get());
        return game;
    }
};

TEST_F(GameMoveTest, AMoveFliesToItsSlotAndUndoPutsTheTileBack) {
    rules_test::ScopedTuning tuning({{"TILE_FLIGHT_TIME", 300}});
    Game* game = freeCellGame();
    Tile* tile = game->getLayout()->getCell(2, 0, 1);
    ASSERT_NE(tile, nullptr);
    game->addSelectedTile(tile);
    game->setMoveTarget(1, 0);
    game->setClickOutcome(Game::CLICK_MOVE);
    game->update();
    EXPECT_EQ(game->levelCounts.moveCount, 1);
    EXPECT_TRUE(game->getSelection().empty());
    EXPECT_EQ(game->getLayout()->getCell(2, 0, 1), nullptr);
    SideBoard* rack = game->getLayout()->getSideBoard();
    EXPECT_EQ(rack->getTileAt(1, 0), nullptr);  // still flying
    screen.tickEffects(200);
    EXPECT_EQ(rack->getTileAt(1, 0), nullptr);
    screen.tickEffects(200);
    EXPECT_EQ(rack->getTileAt(1, 0), tile);
    EXPECT_TRUE(tile->isOnSideBoard());

    auto* move = objectCast<CommandMove>(game->getUndoHistory().back().get());
    ASSERT_NE(move, nullptr);
    EXPECT_FALSE(move->isInFlight());
    EXPECT_TRUE(move->getRemovedTiles().empty());
    game->undo();
    EXPECT_EQ(rack->getTileAt(1, 0), nullptr);
    EXPECT_EQ(game->getLayout()->getCell(2, 0, 1), tile);
    EXPECT_FALSE(tile->isOnSideBoard());
}

TEST_F(GameMoveTest, ATileMovedBetweenSlotsGoesBackToItsSlot) {
    Game* game = freeCellGame();
    Tile* tile = game->getLayout()->getCell(10, 0, 0);
    SideBoard* rack = game->getLayout()->getSideBoard();
    game->addSelectedTile(tile);
    game->setMoveTarget(0, 0);
    game->moveSelectedTile();
    screen.tickEffects(1);  // no flight time: it lands at the first frame
    ASSERT_EQ(rack->getTileAt(0, 0), tile);
    game->addSelectedTile(tile);
    game->setMoveTarget(1, 0);
    game->moveSelectedTile();
    screen.tickEffects(1);
    ASSERT_EQ(rack->getTileAt(1, 0), tile);

    // Saved and restored in a game that keeps the rack, the second move still knows where the
    // tile came from.
    RefHolder<PropertyNode> node = saved(game);
    PropertyNode* second = nodeOrDummy(node->getChildVector("undo")->getChildAt(1));
    EXPECT_TRUE(second->getChildValue("lsideboard")->getBool());
    RefHolder<CommandMove> restored(new CommandMove(second));
    EXPECT_TRUE(restored->isUsable());
    EXPECT_EQ(restored->getPreviousX(), 0);

    game->undo();
    EXPECT_EQ(rack->getTileAt(1, 0), nullptr);
    EXPECT_EQ(rack->getTileAt(0, 0), tile);
    EXPECT_TRUE(tile->isOnSideBoard());
    EXPECT_EQ(game->getLayout()->getCell(10, 0, 0), nullptr);
    game->undo();
    EXPECT_EQ(rack->getTileAt(0, 0), nullptr);
    EXPECT_EQ(game->getLayout()->getCell(10, 0, 0), tile);
    EXPECT_FALSE(tile->isOnSideBoard());
}

TEST_F(GameMoveTest, SavingDuringAFlightLandsTheTileAndTheMoveKeepsItsPlace) {
    rules_test::ScopedTuning tuning({{"TILE_FLIGHT_TIME", 300}});
    Game* game = freeCellGame();
    Tile* tile = game->getLayout()->getCell(2, 0, 1);
    game->addSelectedTile(tile);
    game->setMoveTarget(0, 0);
    game->moveSelectedTile();
    RefHolder<PropertyNode> node = saved(game);
    // The flying tile was written in its slot, not lost between board and rack.
    EXPECT_EQ(game->getLayout()->getSideBoard()->getTileAt(0, 0), tile);
    PropertyNode* written = nodeOrDummy(node->getChildVector("undo")->getChildAt(0));
    EXPECT_EQ(written->getTypeWord(), "CommandMove");
    EXPECT_EQ(written->getChildValue("lx")->getInt(), 2);
    EXPECT_EQ(written->getChildValue("ly")->getInt(), 0);
    EXPECT_EQ(written->getChildValue("lz")->getInt(), 1);
    EXPECT_EQ(written->getChildValue("x")->getInt(), 0);
    EXPECT_EQ(written->getChildNode("tile")->getTypeWord(), "Tile");

    // A free-cell board only comes back for a free-cell game; the classic game here restores
    // the move all the same and undoes it onto the grid.
    ASSERT_TRUE(Game::restoreCurrent(node.get()));
    Game* back = Game::current();
    ASSERT_EQ(back->getUndoHistory().size(), 1u);
    back->undo();
    Tile* returned = back->getLayout()->getCell(2, 0, 1);
    ASSERT_NE(returned, nullptr);
    EXPECT_EQ(returned->getGridZ(), 1);
    EXPECT_FALSE(returned->isOnSideBoard());
}

class GameSaveFileTest : public PlayerFilesTest {
protected:
    void SetUp() override {
        PlayerFilesTest::SetUp();
        Random::createInstance(11);
    }
    void TearDown() override {
        Game::releaseCurrent();
        PlayerManager::releaseInstance();
        Random::releaseInstance();
        PlayerFilesTest::TearDown();
    }

    game_test::ScopedSuits suits;
    rules_test::RecordingGameScreen screen;
    rules_test::ScopedGameScreen screenScope{screen};
};

TEST_F(GameSaveFileTest, SavedGamesLoadFromThePlayersFile) {
    // Nobody to load for.
    EXPECT_FALSE(Game::loadSaved(0));

    PlayerManager::createInstance("1", false);
    PlayerManager* players = PlayerManager::getInstance();
    players->addPlayer(new AbstractPlayer("Ada"));
    EXPECT_FALSE(Game::loadSaved(0));  // no file yet

    Game* game = Game::create(Game::TYPE_CLASSIC);
    RefHolder<Level> level = game_test::classicLevel();
    RefHolder<Layout> layout = game_test::makeLayout({{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {12, 0, 0}});
    level->setLayoutObject(layout.get());
    game->setLevel(level.get());
    game->levelCounts.hintCount = 3;
    RefHolder<PropertyStore> store(new PropertyStore());
    RefHolder<PropertyNode> node(new PropertyNode("game"));
    game->save(node.get());
    store->addChild(node.get());
    using enum PlayerManager::SaveGameWrite;
    ASSERT_EQ(players->writeSaveGame(store.get(), "0", "Ada"), WRITTEN);

    EXPECT_FALSE(Game::loadSaved(2));  // no such file
    EXPECT_EQ(Game::current(), game);
    ASSERT_TRUE(Game::loadSaved(0));
    EXPECT_NE(Game::current(), game);
    EXPECT_EQ(Game::current()->levelCounts.hintCount, 3);
    EXPECT_EQ(Game::current()->getLayout()->getTileCount(), 4);

    // A saved file without a game, and a corrupt one: refused, the game stays.
    RefHolder<PropertyStore> empty(new PropertyStore());
    ASSERT_EQ(players->writeSaveGame(empty.get(), "1", "Ada"), WRITTEN);
    Game* kept = Game::current();
    EXPECT_FALSE(Game::loadSaved(1));
    writeTestFile(players->getPlayerFileName("3", "Ada"), "<root><Node id=\"game\"");
    EXPECT_FALSE(Game::loadSaved(3));
    EXPECT_EQ(Game::current(), kept);
    EXPECT_FALSE(kept->isRemoved());
}

}  // namespace game_state_test
