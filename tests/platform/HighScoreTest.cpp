#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PlayerFilesFixture.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/HighScoreEntry.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/HighScoreTable.h"
#include "testsupport/os/FakeFileSystem.h"

namespace fs = std::filesystem;

namespace high_score_test {

RefHolder<HighScoreEntry> entry(int32_t score, const std::string& name = "p") {
    return RefHolder<HighScoreEntry>(new HighScoreEntry(name, score, true));
}

std::vector<int32_t> scoresOf(const HighScoreTable& table) {
    std::vector<int32_t> scores;
    for (const auto& e : table.getEntries()) {
        scores.push_back(e->getScore());
    }
    return scores;
}

RefHolder<HighScoreTable> tableOf(int32_t cap, bool descending, std::vector<int32_t> scores) {
    RefHolder<HighScoreTable> table(new HighScoreTable(cap, descending));
    for (const int32_t score : scores) {
        table->addScore(entry(score));
    }
    return table;
}

TEST(HighScoreTable, ADescendingTableRanksANewScoreAboveEqualOnesAndDropsTheLast) {
    RefHolder<HighScoreTable> table = tableOf(3, true, {50, 40, 30});
    ASSERT_EQ(scoresOf(*table), (std::vector<int32_t>{50, 40, 30}));
    RefHolder<HighScoreEntry> old40 = table->getEntries()[1];
    RefHolder<HighScoreEntry> old30 = table->getEntries()[2];
    RefHolder<HighScoreEntry> new40 = entry(40, "new");

    EXPECT_EQ(table->addScore(new40), 1);
    EXPECT_EQ(table->getLastScore(), 1);
    EXPECT_EQ(scoresOf(*table), (std::vector<int32_t>{50, 40, 40}));
    EXPECT_EQ(table->getEntries()[1], new40);
    EXPECT_EQ(table->getEntries()[2], old40);
    EXPECT_EQ(old30->getRefCount(), 1);  // released by the table: only this holder is left

    EXPECT_EQ(table->addScore(entry(20)), -1);
    EXPECT_EQ(table->getLastScore(), -1);
    EXPECT_EQ(scoresOf(*table), (std::vector<int32_t>{50, 40, 40}));

    RefHolder<HighScoreTable> roomy = tableOf(4, true, {50, 40, 30});
    EXPECT_EQ(roomy->addScore(entry(20)), 3);
    EXPECT_EQ(scoresOf(*roomy), (std::vector<int32_t>{50, 40, 30, 20}));
    EXPECT_EQ(roomy->addScore(entry(60)), 0);
    EXPECT_EQ(scoresOf(*roomy), (std::vector<int32_t>{60, 50, 40, 30}));
}

TEST(HighScoreTable, AnAscendingTableRanksANewScoreBelowEqualOnes) {
    RefHolder<HighScoreTable> table = tableOf(5, false, {20, 10});
    ASSERT_EQ(scoresOf(*table), (std::vector<int32_t>{10, 20}));
    RefHolder<HighScoreEntry> old20 = table->getEntries()[1];
    RefHolder<HighScoreEntry> new20 = entry(20, "new");
    EXPECT_EQ(table->addScore(new20), 2);
    EXPECT_EQ(table->getEntries()[1], old20);
    EXPECT_EQ(table->getEntries()[2], new20);
    EXPECT_EQ(table->addScore(entry(15)), 1);
    EXPECT_EQ(table->addScore(entry(-5)), 0);  // signed comparison
    EXPECT_EQ(scoresOf(*table), (std::vector<int32_t>{-5, 10, 15, 20, 20}));
}

TEST(HighScoreTable, ATableOfCapZeroStaysEmpty) {
    RefHolder<HighScoreTable> table(new HighScoreTable(0, true));
    EXPECT_EQ(table->getLastScore(), -1);
    EXPECT_EQ(table->addScore(entry(10)), -1);
    EXPECT_EQ(table->addScore(entry(-10)), -1);
    EXPECT_EQ(table->addScore(RefHolder<HighScoreEntry>()), -1);
    EXPECT_TRUE(table->getEntries().empty());
}

TEST(HighScoreTable, ContainsOnlyPlayersOwnScoresByExactName) {
    RefHolder<HighScoreTable> table(new HighScoreTable(5, true));
    table->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("Host", 900, false)));
    table->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("Ann", 100, true)));
    EXPECT_TRUE(table->containsPlayer("Ann"));
    EXPECT_FALSE(table->containsPlayer("ann"));
    EXPECT_FALSE(table->containsPlayer("Host"));  // a preset score
}

TEST(HighScoreEntry, ReadsItsNodeAndWritesItBack) {
    RefHolder<PropertyNode> node(new PropertyNode(""));
    node->addChild(new PropertyValue("playername", std::string("Ann")));
    node->addChild(new PropertyValue("scorevalue", std::string("#FFFFFFFF")));
    for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
             {"", false}, {"false", false}, {"true", true}, {"yes", true}, {"FALSE", true}}) {
        node->addChild(new PropertyValue("isplayerscore", text));
        RefHolder<HighScoreEntry> read(new HighScoreEntry(node.get()));
        EXPECT_EQ(read->getIsPlayerScore(), expected) << text;
        EXPECT_EQ(read->getPlayerName(), "Ann");
        EXPECT_EQ(read->getScore(), -1);
    }
    RefHolder<HighScoreEntry> absent(new HighScoreEntry(DUMMY_NODE));
    EXPECT_FALSE(absent->getIsPlayerScore());

    RefHolder<HighScoreEntry> original(new HighScoreEntry("Bob", 1234, true));
    RefHolder<PropertyNode> written(new PropertyNode("", "Something"));
    original->writeProperties(written.get());
    EXPECT_EQ(written->getTypeWord(), "HighScoreEntry");
    std::vector<std::string> order;
    for (const auto& [name, child] : written->getNameTable()) {
        order.push_back(name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"scorevalue", "playername", "isplayerscore"}));
    RefHolder<HighScoreEntry> copy(new HighScoreEntry(written.get()));
    EXPECT_EQ(copy->getPlayerName(), "Bob");
    EXPECT_EQ(copy->getScore(), 1234);
    EXPECT_TRUE(copy->getIsPlayerScore());
    original->writeProperties(DUMMY_NODE);  // nothing to write into
    EXPECT_TRUE(DUMMY_NODE->getNameTable().empty());
}

TEST(HighScoreTable, ATableFromANonNodeHasTheDefaults) {
    RefHolder<PropertyValue> value(new PropertyValue("x", 3));
    RefHolder<HighScoreTable> table(new HighScoreTable(value.get()));
    EXPECT_TRUE(table->isDescending());
    EXPECT_EQ(table->getLastScore(), -1);
    EXPECT_EQ(table->getMaxEntries(), 0);  // an absent "maxentries" reads as 0
    EXPECT_TRUE(table->getEntries().empty());
}

using HighScoreFilesTest = PlayerFilesTest;

TEST_F(HighScoreFilesTest, TablesRoundTripInTheScrambledFileWithLastScoreReset) {
    {
        RefHolder<HighScoreManager> manager(new HighScoreManager("5", true));
        RefHolder<HighScoreTable> best(new HighScoreTable(3, true));
        best->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("Host", 500, false)));
        best->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("Ann", 700, true)));
        EXPECT_EQ(best->getLastScore(), 0);
        manager->setTable("best", best.get());
        manager->setTable("fast", tableOf(2, false, {30, 20}).get());
        ASSERT_TRUE(manager->save());
    }
    EXPECT_TRUE(fs::exists(gameFolder() / "players/scores.xml.!"));
    EXPECT_FALSE(fs::exists(gameFolder() / "players/scores.xml"));
    const std::string text = readScrambled("players/scores.xml.!");
    EXPECT_NE(text.find("<HighScoreTables id=\"highscoretables\""), std::string::npos);
    EXPECT_NE(text.find("<ScoreTable id=\"best\""), std::string::npos);
    EXPECT_NE(text.find("<Integer id=\"lastscore\" value=\"0\""), std::string::npos);

    RefHolder<HighScoreManager> loaded(new HighScoreManager("5", true));
    loaded->load();
    ASSERT_EQ(loaded->getTables().size(), 2u);
    HighScoreTable* best = loaded->getTable("best");
    ASSERT_NE(best, nullptr);
    EXPECT_TRUE(best->isDescending());
    EXPECT_EQ(best->getMaxEntries(), 3);
    EXPECT_EQ(best->getLastScore(), -1);
    ASSERT_EQ(scoresOf(*best), (std::vector<int32_t>{700, 500}));
    EXPECT_EQ(best->getEntries()[0]->getPlayerName(), "Ann");
    EXPECT_TRUE(best->getEntries()[0]->getIsPlayerScore());
    EXPECT_FALSE(best->getEntries()[1]->getIsPlayerScore());
    HighScoreTable* fast = loaded->getTable("fast");
    ASSERT_NE(fast, nullptr);
    EXPECT_FALSE(fast->isDescending());
    EXPECT_EQ(scoresOf(*fast), (std::vector<int32_t>{20, 30}));
    EXPECT_EQ(fast->getLastScore(), -1);
    EXPECT_EQ(loaded->getTable("none"), nullptr);
}

TEST_F(HighScoreFilesTest, AFileOfAnotherVersionOrKindIsKeptAsideAndTheTablesStartEmpty) {
    {
        RefHolder<HighScoreManager> old(new HighScoreManager("1", true));
        old->setTable("best", tableOf(3, true, {10}).get());
        ASSERT_TRUE(old->save());
    }
    RefHolder<HighScoreManager> manager(new HighScoreManager("2", true));
    manager->load();
    EXPECT_TRUE(manager->getTables().empty());
    manager->setTable("best", tableOf(3, true, {99}).get());
    ASSERT_TRUE(manager->save());

    RefHolder<HighScoreManager> reloaded(new HighScoreManager("2", true));
    reloaded->load();
    ASSERT_NE(reloaded->getTable("best"), nullptr);
    EXPECT_EQ(scoresOf(*reloaded->getTable("best")), std::vector<int32_t>{99});
    writeScrambled("players/scores.xml.!", "<root><Players id=\"players\"/></root>");
    RefHolder<HighScoreManager>(new HighScoreManager("2", true))->load();
    EXPECT_EQ(std::distance(fs::directory_iterator(gameFolder() / "players"), {}), 2);  // kept
}

TEST_F(HighScoreFilesTest, AnUnreadableFileIsKeptAndNeverSavedOver) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });
    // Moved aside under a dated name; the next save writes a fresh file beside it.
    writeScrambled("players/scores.xml.!", "<root><HighScoreTables id=\"highscoret");
    const std::string damaged = readTestFile(gameFolder() / "players/scores.xml.!");
    RefHolder<HighScoreManager> manager(new HighScoreManager("1", true));
    manager->load();
    EXPECT_TRUE(manager->getTables().empty());
    std::vector<fs::path> aside;
    for (const auto& entry : fs::directory_iterator(gameFolder() / "players")) {
        aside.push_back(entry.path());
    }
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].filename().string().rfind("scores.xml.!.damaged-20", 0), 0u);
    EXPECT_EQ(readTestFile(aside[0]), damaged);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find(aside[0].filename().string()), std::string::npos);
    manager->setTable("best", tableOf(3, true, {99}).get());
    ASSERT_TRUE(manager->save());
    EXPECT_EQ(readTestFile(aside[0]), damaged);

    // A damaged file that cannot be moved stays, with no copy beside it, and no save replaces it.
    FakeFileSystem fake;
    FileSystem::setCurrent(&fake);
    resetFolderCache();
    RefHolder<HighScoreManager> stuck(new HighScoreManager("1", false));
    const std::string path = stuck->getScoresFileName();
    for (size_t slash = 1; (slash = path.find('/', slash + 1)) != std::string::npos;) {
        fake.folders.insert(path.substr(0, slash));
    }
    fake.files[path] = {'<', 'r', 'o'};
    fake.undeletable.insert(path);
    stuck->load();
    stuck->setTable("best", tableOf(3, true, {99}).get());
    EXPECT_TRUE(stuck->save());
    RefHolder<HighScoreManager>(new HighScoreManager("1", false))->load();
    EXPECT_EQ(fake.files.size(), 1u) << fake.files.rbegin()->first;
    EXPECT_EQ(fake.files[path], (std::vector<uint8_t>{'<', 'r', 'o'}));
    FileSystem::setCurrent(nullptr);
    resetFolderCache();
    EXPECT_EQ(logged.size(), 3u);
    setProblemSink(nullptr);
}

TEST_F(HighScoreFilesTest, EntriesThatAreNoScoreEntriesAreSkipped) {
    writeScrambled("players/scores.xml.!",
                   "<root><HighScoreTables id=\"highscoretables\" version=\"1\">"
                   "<Vector id=\"scoretables\"><ScoreTable id=\"best\">"
                   "<Boolean id=\"descending\" value=\"false\"/>"
                   "<Integer id=\"maxentries\" value=\"4\"/>"
                   "<Integer id=\"lastscore\" value=\"2\"/>"
                   "<Vector id=\"entries\">"
                   "<HighScoreEntry scorevalue=\"5\" playername=\"Ann\" isplayerscore=\"true\"/>"
                   "<NoSuchEntry scorevalue=\"6\"/>"
                   "<GameNode scorevalue=\"7\"/>"
                   "<TestPlayer name=\"Bob\"/>"
                   "<HighScoreEntry scorevalue=\"8\" playername=\"Cy\"/>"
                   "</Vector></ScoreTable></Vector></HighScoreTables></root>");
    RefHolder<HighScoreManager> manager(new HighScoreManager("1", true));
    manager->load();
    HighScoreTable* best = manager->getTable("best");
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(scoresOf(*best), (std::vector<int32_t>{5, 8}));
    EXPECT_FALSE(best->isDescending());
    EXPECT_EQ(best->getMaxEntries(), 4);
    EXPECT_EQ(best->getLastScore(), -1);
    EXPECT_EQ(TestPlayer::live, 0);  // built, found to be no entry, and released
}

TEST_F(HighScoreFilesTest, SetTableReplacesAndReleasesTheOldTable) {
    RefHolder<HighScoreManager> manager(new HighScoreManager("1", true));
    RefHolder<HighScoreTable> first(new HighScoreTable(3, true));
    RefHolder<HighScoreTable> second(new HighScoreTable(3, true));
    manager->setTable("best", first.get());
    EXPECT_EQ(first->getRefCount(), 2);
    manager->setTable("best", second.get());
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(manager->getTable("best"), second.get());
    // Absent or broken files leave the manager without tables.
    RefHolder<HighScoreManager> empty(new HighScoreManager("1", true));
    empty->load();
    EXPECT_TRUE(empty->getTables().empty());
    writeTestFile(gameFolder() / "players/scores.xml.!", "<root>");
    empty->load();
    EXPECT_TRUE(empty->getTables().empty());
}

TEST_F(HighScoreFilesTest, TheSingletonTakesItsVersionFromTheGlobalsWhenGivenNone) {
    BasicProperties::releaseInstance();
    BasicProperties::createInstance();
    BasicProperties::instance()->setString("HIGHSCORES_VERSION", "h3");
    HighScoreManager::createInstance("", true);
    ASSERT_NE(HighScoreManager::getInstance(), nullptr);
    EXPECT_EQ(HighScoreManager::getInstance()->getVersion(), "h3");
    HighScoreManager::releaseInstance();
    EXPECT_EQ(HighScoreManager::getInstance(), nullptr);
    BasicProperties::releaseInstance();
}

}  // namespace high_score_test
