#include "game/profile/QuovelMahjongPlayer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <locale>
#include <string>
#include <tuple>
#include <vector>

#include "app/ProfileTestSupport.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/Folders.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/PlayerManager.h"
#include "game/profile/QuovelMahjongScoreEntry.h"
#include "testsupport/ScopedEnvironment.h"

namespace quovel_mahjong_player_test {

// Profiles written to and read from the player files of a game folder inside the test's folder.
class PlayerProfileTest : public ProfileTest {
protected:
    DataFolderScope dataFolder{folder.str(), "Quovel Profile Test"};
};

// The keys of a node in their written order.
std::vector<std::string> keysOf(const PropertyNode& node) {
    std::vector<std::string> keys;
    for (const auto& entry : node.getNameTable()) {
        keys.push_back(entry.first);
    }
    return keys;
}

std::vector<std::string> valuesOf(const PropertyVector* list) {
    std::vector<std::string> values;
    for (int32_t i = 0; i < list->getChildCount(); ++i) {
        values.push_back(list->getChildAt(i)->getValue());
    }
    return values;
}

std::vector<int32_t> statesOf(const QuovelMahjongPlayer& player) {
    std::vector<int32_t> states;
    for (const auto& trophy : player.getTrophies().trophies) {
        states.push_back(trophy->state);
    }
    return states;
}

// Every field that is saved, apart from the statistics.
void expectSameProfile(const QuovelMahjongPlayer& a, const QuovelMahjongPlayer& b) {
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.showHints, b.showHints);
    EXPECT_EQ(a.hints, b.hints);
    EXPECT_EQ(a.background, b.background);
    EXPECT_EQ(a.tileSet, b.tileSet);
    EXPECT_EQ(a.floorReached, b.floorReached);
    EXPECT_EQ(a.unlockedStuff, b.unlockedStuff);
    EXPECT_EQ(a.modesUnlocked, b.modesUnlocked);
    EXPECT_EQ(statesOf(a), statesOf(b));
    expectSameStats(a.getStats(), b.getStats());
}

// Digits grouped by '.' and a decimal comma, as in many of the players' own locales.
template <class Char>
struct GroupingPunct : std::numpunct<Char> {
    Char do_thousands_sep() const override { return '.'; }
    Char do_decimal_point() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(ProfileTest, ANewProfileWritesItsResetStateInOrder) {
    RefHolder<QuovelMahjongPlayer> player(new QuovelMahjongPlayer("Ann"));
    RefHolder<PropertyNode> node(new PropertyNode("player", "Player"));
    player->save(node.get());
    EXPECT_EQ(keysOf(*node), (std::vector<std::string>{"showhints", "background", "tileset",
                                                       "floorReached", "trophies", "hints",
                                                       "unlockedStuff", "modesUnlocked", "stats"}));
    EXPECT_EQ(node->getChildValue("showhints")->getValue(), "true");
    EXPECT_EQ(node->getChildValue("showhints")->getTypeWord(), "");  // untyped: an attribute
    EXPECT_EQ(valuesOf(node->getChildNode("trophies")->getChildVector("trophyVector")),
              std::vector<std::string>(20, "0"));
    EXPECT_EQ(valuesOf(node->getChildVector("hints")), std::vector<std::string>(29, "true"));
    EXPECT_EQ(node->getChildVector("hints")->getChildAt(0)->getTypeWord(), "Boolean");
    EXPECT_EQ(valuesOf(node->getChildVector("unlockedStuff")), std::vector<std::string>(20, "0"));
    EXPECT_EQ(valuesOf(node->getChildVector("modesUnlocked")),
              (std::vector<std::string>{"2", "0", "0", "0"}));

    // The statistics: key, groups, records per group and the groups' name of each list.
    const PropertyNode* stats = node->getChildNode("stats");
    const std::tuple<const char*, int32_t, int32_t, const char*> lists[] = {{"rooms", 20, 5, "_"},
                                                                            {"casino", 3, 5, "_"},
                                                                            {"recroom", 5, 0, ""},
                                                                            {"rooftop", 3, 2, "_"}};
    for (const auto& [key, groups, records, groupName] : lists) {
        const PropertyVector* list = stats->getChildVector(key);
        ASSERT_EQ(list->getChildCount(), groups) << key;
        for (int32_t i = 0; i < groups; ++i) {
            EXPECT_EQ(vectorOrDummy(list->getChildAt(i))->getName(), groupName);
            EXPECT_EQ(vectorOrDummy(list->getChildAt(i))->getChildCount(), records) << key;
        }
    }
    const PropertyNode* room =
        nodeOrDummy(vectorOrDummy(stats->getChildVector("rooms")->getChildAt(19))->getChildAt(4));
    EXPECT_EQ(room->getTypeWord(), "Data");
    EXPECT_EQ(room->getChildValue("gameType")->getValue(), "-1");
    EXPECT_EQ(room->getChildValue("bestTime")->getValue(), "0");
    for (int32_t door = 0; door < 20; ++door) {
        EXPECT_EQ(stats->getChildValue("firstDoorClicked_" + std::to_string(door))->getInt(), -1);
    }
    EXPECT_EQ(stats->getChildValue("shuffleTokens")->getInt(), 2);
    EXPECT_EQ(stats->getChildValue("hintTokens")->getInt(), 3);
}

TEST_F(PlayerProfileTest, AFullProfileComesBackFromItsFilesFieldByField) {
    // Trophy states are saved as they are.
    writeTrophies(trophyDefinitions(20, "<Boolean id=\"SAVE_NOT_SHOWN_AS_NEW\" value=\"false\"/>"));
    const std::string name = "Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC";
    RefHolder<QuovelMahjongPlayer> written(new QuovelMahjongPlayer(name));
    written->showHints = false;
    for (int32_t i = 0; i < QuovelMahjongPlayer::HINT_COUNT; ++i) {
        written->hints[i] = i % 3 == 0;
    }
    written->background = 8;
    written->tileSet = 3;
    written->floorReached = 17;
    for (int32_t i = 0; i < QuovelMahjongPlayer::UNLOCKABLE_COUNT; ++i) {
        written->unlockedStuff[i] = i % 3;
    }
    written->modesUnlocked = {2, 2, 0, 2};
    for (int32_t i = 0; i < 20; ++i) {
        written->getTrophies().getTrophy(i)->state = i % 5;
    }
    fillStats(written->getStats(), 3);

    const std::locale previous = std::locale::global(std::locale(
        std::locale(std::locale::classic(), new GroupingPunct<char>), new GroupingPunct<wchar_t>));
    {
        RefHolder<PlayerManager> manager(new PlayerManager("7", true));
        manager->addPlayer(new QuovelMahjongPlayer("Bob"));
        manager->addPlayer(written.get());
        ASSERT_TRUE(manager->setCurrentPlayer(written.get()));
        ASSERT_TRUE(manager->savePlayers());
    }
    RefHolder<PlayerManager> manager(new PlayerManager("7", true));
    manager->loadPlayers();
    std::locale::global(previous);

    ASSERT_EQ(manager->getPlayers().size(), 2u);
    auto* loaded = objectCast<QuovelMahjongPlayer>(manager->getCurrentPlayer());
    ASSERT_NE(loaded, nullptr);
    // Held for a floor's end, which a loaded profile can no longer play: earned (4, 9, 19 stay).
    written->getTrophies().getTrophy(TrophyId::ALL_SILVER)->state = Trophy::EARNED;
    expectSameProfile(*loaded, *written);
    EXPECT_EQ(loaded->currentFloor, 17);
}

TEST_F(ProfileTest, APartialProfileReadsOnlyWhatFitsAndAbsentKeysAsEmpty) {
    RefHolder<QuovelMahjongPlayer> player(new QuovelMahjongPlayer("Ann"));
    player->unlockedStuff[19] = 2;
    player->getTrophies().getTrophy(TrophyId::QUICK_BONUS)->state = Trophy::HELD_BACK;
    QuovelMahjongStats& stats = player->getStats();
    stats.casino[4].bestScore = 77;
    stats.recRoom[1].assign(6, RecRoomRecord{5, 5, 5});
    std::string xml =
        "<root><Player id=\"player\" background=\"0x1F\" tileset=\"9\" "
        "floorReached=\"#7FFFFFFF\">"
        "<Vector id=\"hints\">";
    for (int32_t i = 0; i < 40; ++i) {
        xml += i == 28 ? "<Boolean>true</Boolean>" : "<Boolean>false</Boolean>";
    }
    xml +=
        "</Vector><Vector id=\"modesUnlocked\"><Integer>2</Integer><Integer>1</Integer>"
        "<Integer>0</Integer><Integer>1</Integer></Vector><Data id=\"stats\">"
        "<Vector id=\"rooms\">";
    for (int32_t floor = 0; floor < 25; ++floor) {
        xml += "<Vector id=\"_\">";
        for (int32_t room = 0; room < 7; ++room) {
            xml += "<Data bestScore=\"" + std::to_string(10 * floor + room) + "\"/>";
        }
        xml += "</Vector>";
    }
    writeTestFile("partial.xml",
                  xml +
                      "</Vector><Vector id=\"recroom\"><Vector/><Vector><Data bestTime=\"9\"/>"
                      "<Integer>4</Integer></Vector><Vector><Data/><Data/><Data/>"
                      "<Data playCount=\"2\"/></Vector></Vector>"
                      "<Integer id=\"hintTokens\">12</Integer>"
                      "<Integer id=\"shuffleTokens\">-3</Integer></Data></Player></root>");
    RefHolder<PropertyStore> store(new PropertyStore());
    ASSERT_TRUE(store->loadFile("partial.xml"));
    player->load(store->getChildNode("player"));

    EXPECT_FALSE(player->showHints);
    EXPECT_EQ(
        std::tie(player->background, player->tileSet, player->floorReached, player->currentFloor),
        std::make_tuple(10, 3, 21, 21));
    EXPECT_EQ(player->roomsReached(), 100);
    EXPECT_FALSE(player->hints[0]);
    EXPECT_TRUE(player->hints[28]);  // 29 of the 40 read
    EXPECT_EQ(player->modesUnlocked, (std::array<int32_t, 4>{2, 2, 0, 2}));
    // Absent lists, trophies and record groups keep their values.
    EXPECT_EQ(player->unlockedStuff[19], 2);
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::QUICK_BONUS)->state, Trophy::HELD_BACK);
    EXPECT_EQ(stats.casino[4].bestScore, 77);
    // 20 floors of 5 rooms are read, the rest ignored; an absent record key reads 0.
    EXPECT_EQ(stats.rooms[99], (RoomRecord{194, 0, 0, TYPE_CLASSIC, 0}));
    // A shorter saved rec room list keeps the records beyond it; a longer one grows the list.
    EXPECT_EQ(stats.recRoom[1][0].bestTime, 9);
    EXPECT_EQ(stats.recRoom[1][1], RecRoomRecord{});  // a value where a record belongs
    EXPECT_EQ(stats.recRoom[1][5], (RecRoomRecord{5, 5, 5}));
    ASSERT_EQ(stats.recRoom[2].size(), 4u);
    EXPECT_EQ(stats.recRoom[2][3].playCount, 2);
    // Tokens are clamped to their bounds; absent door keys and counters read 0.
    EXPECT_EQ(stats.hintTokens.getShown(), 9);
    EXPECT_EQ(stats.shuffleTokens.getValue(), 0);
    EXPECT_EQ(stats.firstDoorClicked[7], 0);

    store->getChildNode("player")->addChild(new PropertyValue("tileset", "abc", true));
    EXPECT_FALSE(player->load(store->getChildNode("player")));  // a value that is no number
    EXPECT_EQ(player->floorReached, 21);                        // leaves the profile unread
    // Not a node at all: every scalar reads empty, the statistics too.
    player->load(nullptr);
    EXPECT_EQ(player->background, 0);
    EXPECT_EQ(stats.hintTokens.getValue(), 0);
}

TEST_F(PlayerProfileTest, AFailedWriteLeavesThePreviousProfileWhole) {
    RefHolder<PlayerManager> manager(new PlayerManager("7", true));
    auto* player = new QuovelMahjongPlayer("Ann");
    manager->addPlayer(player);
    player->floorReached = 4;
    ASSERT_TRUE(manager->savePlayers());
    const std::string stored = getStoredFileName(3, manager->getPlayerFilePath("Ann"));
    const std::string before = readTestFile(stored);

    // A full disk: no file may grow past 1 KiB.
    player->floorReached = 9;
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit full{1024, limit.rlim_max};
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool saved = manager->savePlayer(player);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readTestFile(stored), before);
    RefHolder<QuovelMahjongPlayer> reread(new QuovelMahjongPlayer("Ann"));
    ASSERT_TRUE(manager->loadPlayer(reread.get()));
    EXPECT_EQ(reread->floorReached, 4);
}

TEST_F(ProfileTest, ProgressUnlocksOneWayAndCountsTheRoomsReached) {
    RefHolder<QuovelMahjongPlayer> player(new QuovelMahjongPlayer("Ann"));
    player->setRoomWon(19);
    EXPECT_EQ(player->unlockedStuff[19], 1);
    EXPECT_EQ(player->modesUnlocked, (std::array<int32_t, 4>{2, 0, 0, 1}));
    player->unlockedStuff[19] = 2;
    player->modesUnlocked[3] = 2;
    player->setRoomWon(4);
    player->setRoomWon(19);
    player->setRoomWon(20);
    EXPECT_EQ(player->modesUnlocked, (std::array<int32_t, 4>{2, 1, 0, 2}));
    EXPECT_EQ(player->unlockedStuff[19], 2);

    QuovelMahjongStats& stats = player->getStats();
    EXPECT_EQ(player->roomsReached(), 0);
    player->floorReached = 3;
    stats.roomRecord(3, 1)->levelWinCount = 1;
    stats.roomRecord(3, 4)->levelWinCount = 2;
    EXPECT_EQ(player->roomsReached(), 12);
    player->floorReached = 5000;
    EXPECT_EQ(player->roomsReached(), 100);
    player->floorReached = INT32_MAX;
    EXPECT_EQ(player->roomsReached(), 100);

    EXPECT_FALSE(QuovelMahjongPlayer::isFloorComplete(3, stats));
    for (int32_t room = 1; room <= 5; ++room) {
        stats.roomRecord(20, room)->levelWinCount = 1;
    }
    EXPECT_TRUE(QuovelMahjongPlayer::isFloorComplete(20, stats));
    EXPECT_FALSE(QuovelMahjongPlayer::isFloorComplete(21, stats));

    player->getTrophies().getTrophy(TrophyId::SPLIT_NO_SHUFFLE)->state = Trophy::HELD_BACK;
    player->getTrophies().getTrophy(TrophyId::PLENTY_OF_TIME)->state = Trophy::ANNOUNCED;
    player->setTrophiesSeen();
    EXPECT_EQ(statesOf(*player)[0], Trophy::NOT_EARNED);
    EXPECT_EQ(statesOf(*player)[1], Trophy::SEEN);
}

TEST_F(PlayerProfileTest, TheRulesPlayForThePlayerManagersCurrentProfile) {
    PlayerManager::createInstance("7", false);
    auto* ann = new QuovelMahjongPlayer("Ann");
    PlayerManager::getInstance()->addPlayer(ann);
    // The manager makes its current profile the rules' player; the getter only reads.
    IPlayerHooks* hooks = getCurrentPlayer();
    ASSERT_EQ(hooks, ann);
    EXPECT_EQ(QuovelMahjongPlayer::current(), ann);

    // Tutorial hints need the hints switch; clearing one stays cleared.
    EXPECT_TRUE(hooks->isTutorialHintSet(18));
    hooks->clearTutorialHint(18);
    EXPECT_FALSE(hooks->isTutorialHintSet(18));
    EXPECT_TRUE(hooks->isTutorialHintSet(19));
    ann->showHints = false;
    EXPECT_FALSE(hooks->isTutorialHintSet(19));
    EXPECT_FALSE(hooks->isTutorialHintSet(29));
    // The rules' host hints are the trophies of play: shown once, announced by state 1.
    EXPECT_FALSE(hooks->wasHostHintShown(16));
    hooks->setHostHintShown(16);
    EXPECT_EQ(ann->getTrophies().getTrophy(TrophyId::PAIRS)->state, Trophy::EARNED);
    ann->getTrophies().getTrophy(TrophyId::SAME_FACE_TWICE)->state = Trophy::SEEN;
    hooks->setHostHintShown(17);
    EXPECT_EQ(ann->getTrophies().getTrophy(TrophyId::SAME_FACE_TWICE)->state, Trophy::SEEN);

    hooks->addRemovedPair();
    EXPECT_EQ(ann->getStats().numMatches, 1);
    ann->getStats().roomRecord(2, 5)->bestScore = 640;
    EXPECT_EQ(hooks->getBestScore(2, 5), 640);
    EXPECT_EQ(hooks->getBestScore(0, 5), 0);
    RefHolder<PropertyNode> game(new PropertyNode("game"));
    hooks->keepSavedGame(game.get());
    EXPECT_EQ(ann->getSavedGame(), game.get());
    ann->clearSavedGame();
    EXPECT_EQ(ann->getSavedGame(), nullptr);
    EXPECT_EQ(game->getRefCount(), 1);

    // The next current profile plays at once; a removed or released one no longer does.
    const RefHolder<QuovelMahjongPlayer> bo(new QuovelMahjongPlayer("Bo"));
    PlayerManager::getInstance()->addPlayer(bo.get());
    PlayerManager::getInstance()->removePlayer("Ann");
    EXPECT_EQ(getCurrentPlayer(), bo.get());
    RefHolder<PlayerManager> other(new PlayerManager("7", false));
    other->addPlayer(new QuovelMahjongPlayer("Cy"));
    EXPECT_EQ(getCurrentPlayer(), bo.get()) << "only the process's manager chooses";
    PlayerManager::releaseInstance();
    EXPECT_EQ(getCurrentPlayer(), nullptr);
    EXPECT_EQ(QuovelMahjongPlayer::current(), nullptr);
}

TEST(QuovelMahjongScoreEntry, AScoreTableKeepsTheLevelOfItsEntries) {
    RefHolder<HighScoreTable> table(new HighScoreTable(5, true));
    table->addScore(RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry("Ann", 900, true, 7)));
    RefHolder<PropertyNode> node(new PropertyNode("casino", "ScoreTable"));
    table->toProperties(node.get());
    const PropertyNode* entry = nodeOrDummy(node->getChildVector("entries")->getChildAt(0));
    EXPECT_EQ(entry->getTypeWord(), "QuovelMahjongScore");
    EXPECT_EQ(entry->getChildValue("level")->getTypeWord(), "");

    RefHolder<HighScoreTable> reread(new HighScoreTable(node.get()));
    ASSERT_EQ(reread->getEntries().size(), 1u);
    const auto* score = objectCast<QuovelMahjongScoreEntry>(reread->getEntries()[0].get());
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(std::make_tuple(score->getPlayerName(), score->getScore(), score->getIsPlayerScore(),
                              score->getLevel()),
              std::make_tuple("Ann", 900, true, 7));
}

}  // namespace quovel_mahjong_player_test
