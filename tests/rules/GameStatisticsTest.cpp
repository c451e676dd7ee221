// Statistics events of play reaching the collector: the level session kept by the game on the
// game screen, custom events elsewhere, sessions opened for events after the record closed,
// and nothing made without a collector.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyVector.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/GameListeners.h"
#include "game/rules/GameHooks.h"
#include "rules/GameTestSupport.h"
#include "rules/ScopedStatistics.h"

namespace game_statistics_test {

bool gameSceneShown = false;
bool isGameSceneShown() {
    return gameSceneShown;
}

// The node's value names in order.
std::vector<std::string> valueNames(PropertyNode* node) {
    std::vector<std::string> names;
    for (const auto& [name, child] : node->getNameTable()) {
        names.push_back(name);
    }
    return names;
}

class GameStatisticsTest : public testing::Test {
protected:
    void SetUp() override {
        gameSceneShown = false;
        GameHooks::isGameSceneShown.install(&isGameSceneShown);
    }
    void TearDown() override {
        Game::releaseCurrent();
        installGameListeners();
        PlayerManager::releaseInstance();
    }

    static void addPlayers(std::initializer_list<const char*> names) {
        PlayerManager::createInstance("", false);
        for (const char* name : names) {
            PlayerManager::getInstance()->addPlayer(new AbstractPlayer(name));
        }
    }
    // A game on a triple level of the rec room, difficulty 4, laid out on "turtle".
    static Game* startGame() {
        Game* game = Game::create(Game::TYPE_CLASSIC);
        RefHolder<Level> level = game_test::makeLevel(
            {{"gameType", "Triple"}, {"gameMode", "2"}, {"difficulty", "4"}, {"layout", "turtle"}});
        game->setLevel(level.get());
        return game;
    }
    const std::vector<PlayingSessionRecord>& sessions() const {
        return statistics.collector()->getSessions();
    }

    game_test::ScopedSuits suits;
    game_test::ScopedStatistics statistics;
};

TEST_F(GameStatisticsTest, OnTheGameScreenTheLevelSessionIsHandedOverOnceWhenTheGameEnds) {
    addPlayers({"Ann", "Bob"});
    gameSceneShown = true;
    Game* game = startGame();
    RefHolder<PropertyNode> session(Game::getLevelSession());
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(Game::getLevelSession(), session.get());
    EXPECT_EQ(game->getOpenLevelSession(), session.get());
    EXPECT_EQ(session->getName(), "");
    EXPECT_EQ(session->getTypeWord(), "QVLevelSession");
    EXPECT_EQ(valueNames(session.get()),
              (std::vector<std::string>{"playerName", "LevelName", "GameType", "GameMode",
                                        "Difficulty"}));
    EXPECT_EQ(session->getChildValue("playerName")->getValue(), "Ann");
    EXPECT_EQ(session->getChildValue("LevelName")->getValue(), "turtle");
    EXPECT_EQ(session->getChildValue("GameType")->getInt(), Game::TYPE_TRIPLE);
    EXPECT_EQ(session->getChildValue("GameMode")->getInt(), 2);
    EXPECT_EQ(session->getChildValue("Difficulty")->getInt(), 4);
    // Kept by the game only: the collector has not seen it, nor opened a session for it.
    EXPECT_TRUE(statistics.events().empty());
    EXPECT_TRUE(statistics.collector()->isClosed());

    // A new game replaces this one: the session reaches the collector in a session of its own.
    Game::create(Game::TYPE_CLASSIC);
    EXPECT_EQ(statistics.events(), std::vector<PropertyNode*>{session.get()});
    ASSERT_EQ(sessions().size(), 1u);
    EXPECT_EQ(sessions()[0].gameMode, -1);
    EXPECT_EQ(sessions()[0].numOfPlayers, 2);
    EXPECT_EQ(session->getRefCount(), 2);  // ours and the collector's

    // The new game opened no session, so ending it hands nothing on.
    Game::releaseCurrent();
    EXPECT_EQ(statistics.events().size(), 1u);
}

TEST_F(GameStatisticsTest, AwayFromTheGameScreenEachCallIsANewCustomEventHandedOverAtOnce) {
    struct Case {
        const char* what;
        bool players;
        bool gameCurrent;
        bool onGameScreen;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"game current, another scene", true, true, false, {"playerName"}},
        {"game screen without a game", true, false, true, {"playerName"}},
        {"no player manager", false, true, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        statistics.stop();
        statistics.start();
        PlayerManager::releaseInstance();
        if (c.players) {
            addPlayers({"Ann"});
        }
        Game::releaseCurrent();
        if (c.gameCurrent) {
            startGame();
        }
        gameSceneShown = c.onGameScreen;

        PropertyNode* first = Game::getLevelSession();
        PropertyNode* second = Game::getLevelSession();
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_NE(first, second);
        EXPECT_EQ(statistics.events(), (std::vector<PropertyNode*>{first, second}));
        for (PropertyNode* event : {first, second}) {
            EXPECT_EQ(event->getTypeWord(), "QVCustomEvent");
            EXPECT_EQ(event->getName(), "");
            EXPECT_EQ(valueNames(event), c.names);
            EXPECT_EQ(event->getRefCount(), 1);  // the collector's
        }
        if (Game* game = Game::current()) {
            EXPECT_EQ(game->getOpenLevelSession(), nullptr);
        }
    }
}

TEST_F(GameStatisticsTest, AfterTheRecordClosedTheNextEventOpensASessionOfModeMinusOne) {
    addPlayers({"Ann", "Bob", "Cid"});
    StatisticsCollector* collector = statistics.collector();
    collector->startPlayingSession(0, 3);  // the lobby's
    PropertyNode* inLobby = Game::addCustomEvent();
    ASSERT_EQ(sessions().size(), 1u);
    EXPECT_EQ(sessions()[0].events.size(), 1u);

    // The exit of a run closes the record; a later quit event starts a new session first.
    collector->closePlayingSession();
    PropertyNode* quit = Game::addCustomEvent();
    ASSERT_NE(quit, nullptr);
    quit->addBool("gameQuit", true, false);
    ASSERT_EQ(sessions().size(), 2u);
    EXPECT_EQ(sessions()[1].gameMode, -1);
    EXPECT_EQ(sessions()[1].numOfPlayers, 3);
    EXPECT_EQ(sessions()[1].events.size(), 1u);
    // The caller's values are part of the recorded event.
    EXPECT_TRUE(sessions()[1].events[0]->getChildValue("gameQuit")->getBool());

    // The same for a level session ended after the record closed.
    gameSceneShown = true;
    Game* game = startGame();
    PropertyNode* level = Game::getLevelSession();
    collector->closePlayingSession();
    Game::endLevelSession(game);
    EXPECT_EQ(game->getOpenLevelSession(), nullptr);
    ASSERT_EQ(sessions().size(), 3u);
    EXPECT_EQ(sessions()[2].gameMode, -1);
    ASSERT_EQ(sessions()[2].events.size(), 1u);
    EXPECT_EQ(sessions()[2].events[0].get(), level);
    EXPECT_EQ(statistics.events(), (std::vector<PropertyNode*>{inLobby, quit, level}));

    // Only the first session was closed by an exit before writing; every one is written.
    collector->closePlayingSession();
    statistics.stop();
    RefHolder<PropertyStore> file(new PropertyStore());
    ASSERT_TRUE(file->loadFile(getTempFolder() + "/gd.xml"));
    PropertyVector* written =
        file->getChildNode("DataGathering")->getChildVector("PlayingSessions");
    ASSERT_EQ(written->getChildCount(), 3);
    EXPECT_EQ(nodeOrDummy(written->getChildAt(0))->getChildValue("GameMode")->getInt(), 0);
    EXPECT_EQ(nodeOrDummy(written->getChildAt(2))->getChildValue("GameMode")->getInt(), -1);
}

TEST_F(GameStatisticsTest, WithoutACollectorNothingIsMadeAndAnOpenSessionIsDropped) {
    addPlayers({"Ann"});
    gameSceneShown = true;
    Game* game = startGame();
    RefHolder<PropertyNode> session(Game::getLevelSession());
    ASSERT_NE(session, nullptr);
    statistics.stop();

    EXPECT_EQ(Game::addCustomEvent(), nullptr);
    EXPECT_EQ(Game::getLevelSession(), nullptr);
    Game::endLevelSession(game);
    EXPECT_EQ(game->getOpenLevelSession(), nullptr);
    EXPECT_EQ(session->getRefCount(), 1);  // only ours is left
}

}  // namespace game_statistics_test
