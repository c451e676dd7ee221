// Clicks and their outcomes and sounds, match removal and scoring, undo, matches, hints, the
// stuck test and the score checks, on small boards with faces set by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/platform/SoundManager.h"
#include "game/rules/CommandRemove.h"
#include "game/rules/GameClassic.h"
#include "game/rules/IPlayerHooks.h"
#include "platform/ResourceFiles.h"
#include "rules/GameTestSupport.h"
#include "rules/RecordingGameScreen.h"
#include "testsupport/os/FakeAudioMixer.h"

namespace game_play_test {

using game_test::Position;

const char* const SOUND_NAMES[] = {"SOUND_TILE_SELECT", "SOUND_TILE_DESELECT", "SOUND_TILE_BLOCKED",
                                   "SOUND_USE_UNDO",    "SOUND_COMBO1",        "SOUND_COMBO2",
                                   "SOUND_COMBO3",      "SOUND_COMBO10"};

// The profile hooks of a test player.
class PlayerHooksRecorder : public IPlayerHooks {
public:
    PlayerHooksRecorder() { setCurrentPlayer(this); }
    ~PlayerHooksRecorder() override { setCurrentPlayer(nullptr); }
    PlayerHooksRecorder(const PlayerHooksRecorder&) = delete;
    PlayerHooksRecorder& operator=(const PlayerHooksRecorder&) = delete;

    bool isTutorialHintSet(int32_t flag) const override { return tutorial.count(flag) > 0; }
    void clearTutorialHint(int32_t flag) override { tutorial.erase(flag); }
    bool wasHostHintShown(int32_t hint) const override { return hostHints.count(hint) > 0; }
    void setHostHintShown(int32_t hint) override { hostHints[hint] = true; }
    int32_t getRemovedPairs() const override { return removedPairs; }
    void addRemovedPair() override { ++removedPairs; }
    int32_t getBestScore(int32_t, int32_t) const override { return best; }
    DisplayValue& getShuffleStock() override { return shuffles; }
    DisplayValue& getHintStock() override { return hints; }
    void keepSavedGame(PropertyNode* node) override { kept = node; }

    std::map<int32_t, bool> tutorial;
    std::map<int32_t, bool> hostHints;
    int32_t removedPairs = 0;
    int32_t best = 0;
    DisplayValue shuffles{0, 0, 10};
    DisplayValue hints{0, 0, 10};
    RefHolder<PropertyNode> kept;
};

class GamePlayTest : public ResourceFilesTest {
protected:
    void SetUp() override {
        ResourceFilesTest::SetUp();
        mixer = std::make_shared<FakeAudioMixer>();
        SoundManager::init(44100, 32, mixer);
        std::string sounds;
        for (const char* name : SOUND_NAMES) {
            sounds += std::string("<Sound id=\"") + name + "\" file=\"media/sounds/" + name +
                      ".wav\" volumemultiplier=\"1.0\"/>";
        }
        manager = idleManager("<Section id=\"game\" name=\"game\">" + sounds + "</Section>");
        for (const char* name : SOUND_NAMES) {
            ASSERT_NE(manager->getLoadedResourceHandle(name, "game"), nullptr) << name;
        }
        mixer->takeCalls();
        Random::createInstance(5);
    }
    void TearDown() override {
        Game::releaseCurrent();
        Random::releaseInstance();
        ResourceFilesTest::TearDown();
        SoundManager::releaseInstance();
    }

    // The sounds played since the last call, by resource name.
    std::vector<std::string> playedSounds() {
        std::vector<std::string> names;
        for (const std::string& call : mixer->takeCalls()) {
            if (call.rfind("playSample ", 0) != 0) {
                continue;
            }
            const int32_t sample = std::stoi(call.substr(11));
            std::string source = mixer->samples[sample].source;
            source = source.substr(source.rfind('/') + 1);
            names.push_back(source.substr(0, source.size() - 4));
        }
        return names;
    }

    // A classic game on these positions with these faces (suit, value), not built.
    Game* start(const std::vector<Position>& positions,
                const std::vector<std::pair<int, int>>& faces, int gameMode = 0) {
        Game* game = Game::create(Game::TYPE_CLASSIC);
        RefHolder<Level> level = game_test::classicLevel(2, 8, 10, gameMode);
        RefHolder<Layout> layout = game_test::makeLayout(positions);
        level->setLayoutObject(layout.get());
        game->setLevel(level.get());
        for (size_t i = 0; i < positions.size(); ++i) {
            tileAt(positions[i])->setFace(faces[i].first, faces[i].second);
        }
        mixer->takeCalls();
        screen.calls.clear();
        return game;
    }
    Tile* tileAt(const Position& p) {
        return Game::current()->getLayout()->getCell(p[0], p[1], p[2]);
    }
    // Clicks the top-left cell of the tile at p and acts on the outcome.
    int click(const Position& p) {
        Game* game = Game::current();
        game->onTileClicked(p[0], p[1]);
        const int outcome = game->getClickOutcome();
        game->update();
        return outcome;
    }
    bool recorded(const std::string& call) const {
        return std::find(screen.calls.begin(), screen.calls.end(), call) != screen.calls.end();
    }

    std::shared_ptr<FakeAudioMixer> mixer;
    ResourceManager* manager = nullptr;
    game_test::ScopedSuits suits;
    rules_test::RecordingGameScreen screen;
    rules_test::ScopedGameScreen screenScope{screen};
};

// One row: (2,4) lies between two neighbours and is blocked; the others are free.
const std::vector<Position> PLAY_ROW = {{0, 4, 0}, {2, 4, 0}, {4, 4, 0}, {8, 4, 0}, {12, 4, 0}};

TEST_F(GamePlayTest, ClickOutcomesAndTheirSounds) {
    Game* game = start(PLAY_ROW, {{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    EXPECT_EQ(click({30, 18, 0}), Game::CLICK_NO_TILE);
    EXPECT_TRUE(playedSounds().empty());
    EXPECT_EQ(game->getClickedTile(), nullptr);

    EXPECT_EQ(click({2, 4, 0}), Game::CLICK_BLOCKED);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_TILE_BLOCKED"});
    EXPECT_TRUE(recorded("showTileBlocked 2,4,0"));
    EXPECT_TRUE(game->getSelection().empty());

    EXPECT_EQ(click({8, 4, 0}), Game::CLICK_SELECT);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_TILE_SELECT"});
    EXPECT_TRUE(recorded("showTileSelected 8,4,0"));
    ASSERT_EQ(game->getSelection().size(), 1u);

    // Clicking the selected tile deselects it.
    screen.calls.clear();
    EXPECT_EQ(click({8, 4, 0}), Game::CLICK_DESELECT);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_TILE_DESELECT"});
    EXPECT_TRUE(game->getSelection().empty());
    EXPECT_TRUE(recorded("clearModifiers 8,4,0"));
    EXPECT_TRUE(recorded("removeTileEffect 8,4,0"));

    // A free tile that does not match starts a new selection; the old look is restored.
    click({8, 4, 0});
    screen.calls.clear();
    EXPECT_EQ(click({0, 4, 0}), Game::CLICK_SELECT);
    ASSERT_EQ(game->getSelection().size(), 1u);
    EXPECT_EQ(game->getSelection()[0].get(), tileAt({0, 4, 0}));
    EXPECT_TRUE(recorded("clearModifiers 8,4,0"));
}

TEST_F(GamePlayTest, AMatchPlaysOneComboSoundAndRemovesThePair) {
    PlayerHooksRecorder player;
    Game* game = start(PLAY_ROW, {{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    click({8, 4, 0});
    playedSounds();
    screen.calls.clear();
    EXPECT_EQ(click({12, 4, 0}), Game::CLICK_MATCH);
    // The chain counter was 0 before this match: combo sound number 1, and only one sound.
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_COMBO1"});
    EXPECT_EQ(game->getLayout()->getTileCount(), 3);
    EXPECT_TRUE(game->getSelection().empty());
    EXPECT_EQ(game->levelCounts.removedTilesCount, 2);
    EXPECT_EQ(game->screenCounts.matchCount, 1);
    EXPECT_EQ(player.removedPairs, 1);
    EXPECT_EQ(game->gameCounts.lastMatchKey, 0x101);
    // The bonus bar counted the match first: multiplier = chain counter (1) minus one.
    EXPECT_EQ(screen.getChainCounter(), 1);
    ASSERT_EQ(game->getUndoHistory().size(), 1u);
    auto* removal = objectCast<CommandRemove>(game->getUndoHistory()[0].get());
    ASSERT_NE(removal, nullptr);
    EXPECT_EQ(removal->getPoints(), 10);
    EXPECT_EQ(removal->getMultiplier(), 0);
    EXPECT_EQ(removal->getScore(), 0);
    EXPECT_TRUE(recorded("addBonusPoints 10"));
    EXPECT_TRUE(recorded("clearHoverTile"));
    EXPECT_TRUE(recorded("addFadeOut 8,4,0 1"));
    EXPECT_TRUE(recorded("showTileFaceShine 12,4,0 1"));
    // The time bar gained the level's time bonus at once (from a full bar it stays full).
    EXPECT_EQ(screen.getTimeValue().getValue(), 30000);

    // The second match is worth 10 x 1; the combo sound follows the chain counter.
    click({0, 4, 0});
    playedSounds();
    EXPECT_EQ(click({4, 4, 0}), Game::CLICK_MATCH);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_COMBO1"});
    EXPECT_EQ(game->getScore().getValue(), 10);
    EXPECT_EQ(game->getScore().getShown(), 10);
}

TEST_F(GamePlayTest, ComboSoundNumbersAreCappedAndTheRecRoomAlwaysPlaysOne) {
    Game* game = start(PLAY_ROW, {{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    screen.setChainCounter(14);
    click({8, 4, 0});
    playedSounds();
    game->onTileClicked(12, 4);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_COMBO10"});
    screen.setChainCounter(2);
    game->onTileClicked(12, 4);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_COMBO2"});

    Game* recRoom = start(PLAY_ROW, {{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}}, 2);
    screen.setChainCounter(3);
    click({8, 4, 0});
    playedSounds();
    EXPECT_EQ(click({12, 4, 0}), Game::CLICK_MATCH);
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_COMBO1"});
    EXPECT_EQ(recRoom->getLayout()->getTileCount(), 3);
}

TEST_F(GamePlayTest, UndoPutsTilesBackAndTakesTheScoreBackOnly) {
    Game* game = start(PLAY_ROW, {{0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    screen.setChainCounter(3);  // the next match counts 4: multiplier 3, 30 points
    click({8, 4, 0});
    click({12, 4, 0});
    EXPECT_EQ(game->getScore().getValue(), 30);
    playedSounds();
    screen.calls.clear();

    game->undo();
    EXPECT_EQ(playedSounds(), std::vector<std::string>{"SOUND_USE_UNDO"});
    EXPECT_EQ(game->getLayout()->getTileCount(), 5);
    EXPECT_NE(tileAt({8, 4, 0}), nullptr);
    EXPECT_NE(tileAt({12, 4, 0}), nullptr);
    EXPECT_TRUE(recorded("restoreRenderTile 8,4,0"));
    EXPECT_EQ(game->getScore().getValue(), 0);
    EXPECT_EQ(game->getScore().getShown(), 0);
    EXPECT_TRUE(game->getScore().getPending().empty());
    EXPECT_TRUE(game->screenCounts.pressedUndo);
    EXPECT_EQ(game->runCounts.undoCount, 1);
    EXPECT_EQ(game->gameCounts.lastMatchKey, -1);
    // Bonus bar and counters keep what the removal gave them.
    EXPECT_EQ(screen.getChainCounter(), 4);
    EXPECT_EQ(game->levelCounts.removedTilesCount, 2);
    EXPECT_EQ(game->screenCounts.matchCount, 1);
    EXPECT_TRUE(game->getUndoHistory().empty());

    // Nothing left to undo: nothing happens and nothing plays.
    game->undo();
    EXPECT_TRUE(playedSounds().empty());
    EXPECT_EQ(game->runCounts.undoCount, 1);
}

TEST_F(GamePlayTest, AHugeRemovalScoreSaturatesInsteadOfTurningNegative) {
    RefHolder<CommandRemove> huge(new CommandRemove(0x7FFFFFFF, 98, {}));
    EXPECT_EQ(huge->getScore(), 0x7FFFFFFF);
    RefHolder<CommandRemove> plain(new CommandRemove(25, 3, {}));
    EXPECT_EQ(plain->getScore(), 75);
}

TEST_F(GamePlayTest, MatchesAreDisjointPairsAndTheHintIsTheMiddleOne) {
    // Three free tiles of one face give one match.
    Game* game = start({{0, 0, 0}, {6, 0, 0}, {12, 0, 0}}, {{2, 2}, {2, 2}, {2, 2}});
    EXPECT_EQ(game->countMatches(nullptr), 1);

    // Exactly one match among the free tiles: the hint is that match.
    game = start({{0, 0, 0}, {6, 0, 0}, {12, 0, 0}}, {{2, 2}, {3, 1}, {2, 2}});
    Game::TileList hint;
    ASSERT_TRUE(game->findHint(hint));
    ASSERT_EQ(hint.size(), 2u);
    EXPECT_EQ(hint[0].get(), tileAt({0, 0, 0}));
    EXPECT_EQ(hint[1].get(), tileAt({12, 0, 0}));

    // No match: false, and the list is left as it was.
    game = start({{0, 0, 0}, {6, 0, 0}}, {{2, 2}, {3, 1}});
    hint.clear();
    hint.emplace_back(tileAt({0, 0, 0}));
    EXPECT_FALSE(game->findHint(hint));
    EXPECT_EQ(hint.size(), 1u);
    EXPECT_EQ(game->countMatches(nullptr), 0);
    EXPECT_TRUE(game->isStuck(0));

    // Three matches a a b b c c in free-tile order: the hint is the middle group, b b.
    game = start({{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {12, 0, 0}, {16, 0, 0}, {20, 0, 0}},
                 {{0, 0}, {0, 0}, {1, 1}, {1, 1}, {2, 2}, {2, 2}});
    hint.clear();
    ASSERT_TRUE(game->findHint(hint));
    ASSERT_EQ(hint.size(), 2u);
    EXPECT_EQ(hint[0].get(), tileAt({8, 0, 0}));
    EXPECT_EQ(hint[1].get(), tileAt({12, 0, 0}));
    EXPECT_EQ(game->countMatches(nullptr), 3);
    EXPECT_FALSE(game->isStuck(3));
    // An empty board is never stuck.
    game = start({}, {});
    EXPECT_FALSE(game->isStuck(0));
}

TEST_F(GamePlayTest, LevelValuesBeyondThirtyTwoBitsAreClampedNotWrapped) {
    Game* game = Game::create(Game::TYPE_CLASSIC);
    RefHolder<Level> level = game_test::makeLevel({{"gameType", "Classic"},
                                                   {"pointsPerMatch", "3e9"},
                                                   {"timeBonus", "-3e9"},
                                                   {"tileDistMin", "0"},
                                                   {"tileDistMax", "5e9"}});
    RefHolder<Layout> layout = game_test::makeLayout(PLAY_ROW);
    level->setLayoutObject(layout.get());
    game->setLevel(level.get());
    tileAt({8, 4, 0})->setFace(1, 1);
    tileAt({12, 4, 0})->setFace(1, 1);
    screen.calls.clear();
    click({8, 4, 0});
    ASSERT_EQ(click({12, 4, 0}), Game::CLICK_MATCH);
    ASSERT_EQ(game->getUndoHistory().size(), 1u);
    auto* removal = objectCast<CommandRemove>(game->getUndoHistory()[0].get());
    ASSERT_NE(removal, nullptr);
    EXPECT_EQ(removal->getPoints(), INT32_MAX);
    EXPECT_TRUE(recorded("addBonusPoints 2147483647"));
    EXPECT_EQ(screen.getTimeValue().getValue(), 0);
}

TEST_F(GamePlayTest, NegativeOrInfiniteMatchPointsScoreNothing) {
    for (const char* points : {"-inf", "-25"}) {
        SCOPED_TRACE(points);
        Game* game = Game::create(Game::TYPE_CLASSIC);
        RefHolder<Level> level =
            game_test::makeLevel({{"gameType", "Classic"}, {"pointsPerMatch", points}});
        RefHolder<Layout> layout = game_test::makeLayout(PLAY_ROW);
        level->setLayoutObject(layout.get());
        game->setLevel(level.get());
        game->getScore().set(500);
        tileAt({8, 4, 0})->setFace(1, 1);
        tileAt({12, 4, 0})->setFace(1, 1);
        screen.setChainCounter(2);
        screen.calls.clear();
        click({8, 4, 0});
        ASSERT_EQ(click({12, 4, 0}), Game::CLICK_MATCH);
        auto* removal = objectCast<CommandRemove>(game->getUndoHistory().back().get());
        ASSERT_NE(removal, nullptr);
        EXPECT_EQ(removal->getScore(), 0);
        EXPECT_TRUE(recorded("addBonusPoints 0"));
        EXPECT_EQ(game->getScore().getValue(), 500);
        game->undo();
        EXPECT_EQ(game->getScore().getValue(), 500);
    }
}

TEST_F(GamePlayTest, TheLastPairWinsEvenDuringASuperHint) {
    Game* game = start({{0, 0, 0}, {6, 0, 0}}, {{4, 1}, {4, 1}});
    screen.setSuperHintCounter(2);
    game->addSuperHintTile(tileAt({0, 0, 0}));
    click({0, 0, 0});
    EXPECT_EQ(click({6, 0, 0}), Game::CLICK_MATCH);
    EXPECT_EQ(game->getLayout()->getTileCount(), 0);
    EXPECT_TRUE(recorded("enterGameWon"));
    EXPECT_TRUE(recorded("markSuperHintTiles"));
}

TEST_F(GamePlayTest, HostHintsAndTutorialFlagsFollowTheRemovals) {
    PlayerHooksRecorder player;
    player.tutorial[18] = true;
    player.removedPairs = 9999;
    Game* game =
        start({{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {12, 0, 0}}, {{5, 0}, {5, 3}, {1, 2}, {1, 2}});
    click({0, 0, 0});
    click({4, 0, 0});  // suit 5 matches as a whole
    EXPECT_FALSE(player.isTutorialHintSet(18));
    EXPECT_TRUE(recorded("showHostHint 16"));  // the 10000th pair
    EXPECT_EQ(game->gameCounts.lastMatchKey, 5 << 8);

    // The same face as the last pair: hint 17, once.
    tileAt({8, 0, 0})->setFace(5, 1);
    tileAt({12, 0, 0})->setFace(5, 1);
    screen.calls.clear();
    click({8, 0, 0});
    click({12, 0, 0});
    // Suit 5 matches as a whole: no hint 17 for it.
    EXPECT_FALSE(recorded("showHostHint 17"));

    game = start({{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {12, 0, 0}}, {{1, 2}, {1, 2}, {1, 2}, {1, 2}});
    click({0, 0, 0});
    click({4, 0, 0});
    click({8, 0, 0});
    click({12, 0, 0});
    EXPECT_TRUE(recorded("showHostHint 17"));
    EXPECT_TRUE(player.wasHostHintShown(17));
}

TEST_F(GamePlayTest, ScoreChecksForSilverAndGold) {
    PlayerHooksRecorder player;
    Game* game = start({{0, 0, 0}, {4, 0, 0}}, {{1, 2}, {1, 2}});
    // silver 100, gold 300.
    EXPECT_EQ(game->checkSuperScore(120, 40), 1);
    EXPECT_EQ(game->checkSuperScore(120, 10), -1);  // already above silver before
    EXPECT_EQ(game->checkSuperScore(310, 20), 2);
    EXPECT_EQ(game->checkSuperScore(310, 250), 1);  // silver is told first
    player.best = 150;
    EXPECT_EQ(game->checkSuperScore(120, 40), -1);  // the player had silver already
    EXPECT_EQ(game->checkSuperScore(310, 20), 2);

    // Above 100000 shown points on a floor, host hint 15 (not 13, Speed's instructions)
    // shows once, kept as shown under its trophy, 13.
    game->getScore().set(100001);
    game->addScore(5);
    game->addScore(5);
    EXPECT_EQ(std::count(screen.calls.begin(), screen.calls.end(), "showHostHint 15"), 1);
    EXPECT_TRUE(player.wasHostHintShown(13));
    EXPECT_EQ(game->getScore().getValue(), 100011);
    EXPECT_EQ(game->getScore().getShown(), 100001);
    game->onScoreArrived(5);
    EXPECT_EQ(game->getScore().getShown(), 100006);
    EXPECT_TRUE(recorded("showSuperScore"));
}

}  // namespace game_play_test
