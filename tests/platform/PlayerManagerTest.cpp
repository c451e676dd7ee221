#include "framework/platform/PlayerManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PlayerFilesFixture.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/DamagedFile.h"

QUOVEL_DEFINE_TYPE(TestPlayer, &AbstractPlayer::typeRecord)

namespace fs = std::filesystem;

namespace player_manager_test {

std::vector<std::string> namesOf(const PlayerManager& manager) {
    std::vector<std::string> names;
    for (const auto& player : manager.getPlayers()) {
        names.push_back(player->getName());
    }
    return names;
}

TestPlayer* current(const PlayerManager& manager) {
    return objectCast<TestPlayer>(manager.getCurrentPlayer());
}

// A player list in the stored form, with the given elements of "playernames".
std::string listText(const std::string& version, const std::string& currentName,
                     const std::string& elements) {
    return "<root><Players id=\"players\" version=\"" + version + "\" currentplayer=\"" +
           currentName + "\"><Vector id=\"playernames\">" + elements + "</Vector></Players></root>";
}

// A manager of version 1, and a saved game's store holding one value.
class PlayerManagerTest : public PlayerFilesTest {
protected:
    PlayerManagerTest() { game->addChild(new PropertyValue("level", 3)); }

    RefHolder<PlayerManager> manager{new PlayerManager("1", true)};
    RefHolder<PropertyStore> game{new PropertyStore()};
};
using enum PlayerManager::SaveGameWrite;

std::string told;  // whose missing files were told

TEST_F(PlayerManagerTest, ListAndCurrentProfileRoundTripInScrambledFiles) {
    {
        RefHolder<PlayerManager> saving(new PlayerManager("3", true));
        auto* ann = new TestPlayer("Ann");
        ann->pairs = 5;
        EXPECT_EQ(saving->addPlayer(ann), ann);
        EXPECT_EQ(saving->getCurrentPlayer(), ann);  // the first player becomes current
        auto* bob = new TestPlayer("Bob");
        bob->pairs = 8;
        EXPECT_EQ(saving->addPlayer(bob), bob);
        EXPECT_EQ(saving->getCurrentPlayer(), ann);  // a second one does not
        ASSERT_TRUE(saving->savePlayers());
    }
    EXPECT_EQ(TestPlayer::live, 0);  // the manager released its players

    // Stored names end in ".!" and the bytes are scrambled.
    EXPECT_TRUE(fs::exists(gameFolder() / "players/players.plrs.!"));
    EXPECT_FALSE(fs::exists(gameFolder() / "players/players.plrs"));
    EXPECT_TRUE(fs::exists(gameFolder() / "players/-41-nn.plr.!"));
    // Only the current player's profile is written.
    EXPECT_FALSE(fs::exists(gameFolder() / "players/-42-ob.plr.!"));
    EXPECT_EQ(readTestFile(gameFolder() / "players/players.plrs.!").find("Players"),
              std::string::npos);
    const std::string list = readScrambled("players/players.plrs.!");
    EXPECT_NE(list.find("<Players"), std::string::npos);
    EXPECT_NE(list.find("<TestPlayer name=\"Bob\""), std::string::npos);

    RefHolder<PlayerManager> reloaded(new PlayerManager("3", true));
    reloaded->loadPlayers();
    EXPECT_EQ(namesOf(*reloaded), (std::vector<std::string>{"Ann", "Bob"}));
    ASSERT_NE(current(*reloaded), nullptr);
    EXPECT_EQ(current(*reloaded)->getName(), "Ann");
    EXPECT_EQ(current(*reloaded)->pairs, 5);
    // The other profiles are not read.
    EXPECT_EQ(objectCast<TestPlayer>(reloaded->getPlayers()[1].get())->pairs, 0);
}

TEST_F(PlayerManagerTest, TheSavedCurrentPlayerIsCurrentAgain) {
    manager->addPlayer(new TestPlayer("Ann"));
    auto* bob = static_cast<TestPlayer*>(manager->addPlayer(new TestPlayer("Bob")));
    bob->pairs = 2;
    RefHolder<TestPlayer> stranger(new TestPlayer("Bob"));
    EXPECT_FALSE(manager->setCurrentPlayer(stranger.get()));  // not one of the list
    EXPECT_TRUE(manager->setCurrentPlayer(bob));
    ASSERT_TRUE(manager->savePlayers());

    RefHolder<PlayerManager> reloaded(new PlayerManager("1", true));
    reloaded->loadPlayers();
    ASSERT_NE(current(*reloaded), nullptr);
    EXPECT_EQ(current(*reloaded)->getName(), "Bob");
    EXPECT_EQ(current(*reloaded)->pairs, 2);
    // Bob's profile gone: told once, when looked for, then written anew.
    fs::remove(gameFolder() / "players/-42-ob.plr.!");
    fileMissing.install([](const StoredFile& what, const std::string&) { told += what.owner; });
    RefHolder<PlayerManager> missing(new PlayerManager("1", true));
    missing->loadPlayers();
    EXPECT_FALSE(missing->loadPlayer(missing->getCurrentPlayer()));
    current(*missing)->pairs = 4;
    EXPECT_TRUE(missing->savePlayers() && fs::exists(gameFolder() / "players/-42-ob.plr.!"));
    fileMissing.install(nullptr);
    EXPECT_EQ(told, "Bob");
}

TEST_F(PlayerManagerTest, AnUnscrambledManagerUsesPlainNames) {
    RefHolder<PlayerManager> plain(new PlayerManager("3", false));
    static_cast<TestPlayer*>(plain->addPlayer(new TestPlayer("ann")))->pairs = 1;
    ASSERT_TRUE(plain->savePlayers());
    EXPECT_NE(readTestFile(gameFolder() / "players/players.plrs").find("<Players"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(gameFolder() / "players/ann.plr"));
    EXPECT_FALSE(fs::exists(gameFolder() / "players/ann.plr.!"));
}

TEST_F(PlayerManagerTest, ADamagedListIsMovedAsideAndRebuiltFromTheProfiles) {
    {
        RefHolder<PlayerManager> before(new PlayerManager("1", true));
        static_cast<TestPlayer*>(before->addPlayer(new TestPlayer("Ann")))->pairs = 1;
        ASSERT_TRUE(before->savePlayers());
    }
    // The list loses its end (a crash while copying, a full disk elsewhere).
    std::string text = readTestFile(gameFolder() / "players/players.plrs.!");
    text.resize(text.size() / 2);
    writeTestFile(gameFolder() / "players/players.plrs.!", text);
    for (const char* file : {"-41nn.plr.!", "-0-nn.plr.!", "-A-x.plr.!", "-FFFFFFC3-.plr.!"}) {
        writeTestFile(gameFolder() / "players" / file, "");  // no name, or none a player types
    }

    manager->setRebuiltPlayerClass("TestPlayer");
    manager->loadPlayers();
    ASSERT_EQ(namesOf(*manager), std::vector<std::string>{"Ann"});
    EXPECT_EQ(current(*manager)->pairs, 1);
    manager->addPlayer(new TestPlayer("Bob"));
    ASSERT_TRUE(manager->savePlayers());

    std::vector<std::string> aside;
    for (const auto& entry : fs::directory_iterator(gameFolder() / "players")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("players.plrs.!.damaged-", 0) == 0) {
            aside.push_back(name);
            EXPECT_EQ(readTestFile(entry.path()), text);
        }
    }
    EXPECT_EQ(aside.size(), 1u);
    // A missing list is rebuilt too.
    fs::remove(gameFolder() / "players/players.plrs.!");
    RefHolder<PlayerManager> reloaded(new PlayerManager("1", true));
    reloaded->setRebuiltPlayerClass("TestPlayer");
    reloaded->loadPlayers();
    EXPECT_EQ(namesOf(*reloaded), std::vector<std::string>{"Ann"});  // Bob had no profile

    // A list that can be neither read nor moved (a folder) is left alone: that is no failure.
    fs::remove(gameFolder() / "players/players.plrs.!");
    fs::create_directory(gameFolder() / "players/players.plrs.!");
    RefHolder<PlayerManager> held(new PlayerManager("1", true));
    held->loadPlayers();
    held->addPlayer(new TestPlayer("Ann"));
    EXPECT_TRUE(held->savePlayers());
}

TEST_F(PlayerManagerTest, ListsOfAnotherVersionOrKindAreKeptAsideAndEmptyOnesFindTheProfiles) {
    static_cast<TestPlayer*>(manager->addPlayer(new TestPlayer("Ann")))->pairs = 1;
    ASSERT_TRUE(manager->savePlayers());
    const auto names = [] {
        RefHolder<PlayerManager> loaded(new PlayerManager("1", true));
        loaded->setRebuiltPlayerClass("TestPlayer");
        loaded->loadPlayers();
        return namesOf(*loaded);
    };
    writeScrambled("players/players.plrs.!", listText("0", "Bob", "<TestPlayer name=\"Bob\"/>"));
    EXPECT_EQ(names(), std::vector<std::string>{"Ann"});
    writeScrambled("players/scores.xml.!", "<root/>");
    fs::create_symlink("scores.xml.!", gameFolder() / "players/players.plrs.!");  // another kind
    EXPECT_EQ(names(), std::vector<std::string>{"Ann"});
    ASSERT_TRUE(RefHolder<PlayerManager>(new PlayerManager("1", true))->savePlayers());  // empty
    EXPECT_EQ(names(), std::vector<std::string>{"Ann"});
    // Ann, the scores linked to, the empty list and the two lists kept aside.
    EXPECT_EQ(std::distance(fs::directory_iterator(gameFolder() / "players"), {}), 5);
}

TEST_F(PlayerManagerTest, AProfileOfAnotherVersionIsKeptAsideAndANewcomerTakesAStoredOne) {
    {
        RefHolder<PlayerManager> old(new PlayerManager("1", true));
        RefHolder<TestPlayer> ann(new TestPlayer("Ann"));
        ann->pairs = 7;
        ASSERT_TRUE(old->savePlayer(ann.get()));
    }
    RefHolder<PlayerManager> newer(new PlayerManager("2", true));
    RefHolder<TestPlayer> ann(new TestPlayer("Ann"));
    EXPECT_FALSE(newer->loadPlayer(ann.get()));
    EXPECT_EQ(ann->pairs, 0);  // as constructed
    const fs::path kept = fs::directory_iterator(gameFolder() / "players")->path();
    EXPECT_EQ(kept.filename().string().rfind("-41-nn.plr.!.other-version-20", 0), 0u);

    ann->pairs = 4;
    ASSERT_TRUE(newer->savePlayer(ann.get()));
    RefHolder<TestPlayer> again(new TestPlayer("Ann"));
    EXPECT_TRUE(newer->loadPlayer(again.get()));
    EXPECT_EQ(again->pairs, 4);
    EXPECT_NE(readScrambled("players/-41-nn.plr.!").find("<String id=\"version\" value=\"2\""),
              std::string::npos);
    // A list that lost her: typed again, Ann gets her stored profile, never a blank one.
    RefHolder<PlayerManager> forgetful(new PlayerManager("2", true));
    EXPECT_EQ(static_cast<TestPlayer*>(forgetful->addPlayer(new TestPlayer("Ann")))->pairs, 4);
    // Damaged, never read as empty: no profile (nor version) at all, or a value not read.
    for (const char* text : {"<root/>", "<root><Player id=\"player\" pairs=\"abc\"/></root>"}) {
        writeScrambled("players/-41-nn.plr.!", text);
        EXPECT_FALSE(RefHolder<PlayerManager>(new PlayerManager("", true))->loadPlayer(ann.get()));
        EXPECT_FALSE(fs::exists(gameFolder() / "players/-41-nn.plr.!"));
    }
    // One that cannot be moved is held: never written, and no save of it is a failure.
    fs::create_directory(gameFolder() / "players/-41-nn.plr.!");
    EXPECT_FALSE(newer->loadPlayer(ann.get()));
    ann->pairs = 5;
    EXPECT_TRUE(newer->savePlayer(ann.get()));
    EXPECT_TRUE(fs::is_directory(gameFolder() / "players/-41-nn.plr.!"));
}

TEST_F(PlayerManagerTest, AProfileWithoutKeysWritesNoFile) {
    RefHolder<TestPlayer> ann(new TestPlayer("Ann"));
    EXPECT_TRUE(manager->savePlayer(ann.get()));
    EXPECT_FALSE(fs::exists(gameFolder() / "players/-41-nn.plr.!"));
    EXPECT_FALSE(manager->loadPlayer(ann.get()));
}

TEST_F(PlayerManagerTest, NamesDifferingOnlyInCaseAreTwoPlayers) {
    auto* upper = static_cast<TestPlayer*>(manager->addPlayer(new TestPlayer("Ann")));
    auto* lower = static_cast<TestPlayer*>(manager->addPlayer(new TestPlayer("ann")));
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    EXPECT_TRUE(manager->hasPlayer("Ann"));
    EXPECT_TRUE(manager->hasPlayer("ann"));
    EXPECT_FALSE(manager->hasPlayer("ANN"));
    EXPECT_FALSE(manager->hasPlayer(""));
    EXPECT_EQ(manager->findPlayer("ann")->get(), lower);
    EXPECT_EQ(manager->findPlayer("Ann")->get(), upper);
    EXPECT_EQ(manager->findPlayer("aNN"), manager->getPlayers().end());
    EXPECT_EQ(manager->findPlayer(""), manager->getPlayers().end());

    upper->pairs = 1;
    lower->pairs = 2;
    ASSERT_TRUE(manager->savePlayer(upper));
    ASSERT_TRUE(manager->savePlayer(lower));
    RefHolder<TestPlayer> check(new TestPlayer("ann"));
    ASSERT_TRUE(manager->loadPlayer(check.get()));
    EXPECT_EQ(check->pairs, 2);
}

TEST_F(PlayerManagerTest, AddPlayerRefusesEmptyKnownAndOverlongNames) {
    EXPECT_EQ(manager->addPlayer(nullptr), nullptr);
    EXPECT_EQ(manager->addPlayer(new TestPlayer("")), nullptr);
    ASSERT_NE(manager->addPlayer(new TestPlayer("Ann")), nullptr);
    EXPECT_EQ(manager->addPlayer(new TestPlayer("Ann")), nullptr);
    // Refused players that nobody held are released; the list keeps one.
    EXPECT_EQ(TestPlayer::live, 1);
    RefHolder<TestPlayer> held(new TestPlayer("Ann"));
    EXPECT_EQ(manager->addPlayer(held.get()), nullptr);
    EXPECT_EQ(held->getRefCount(), 1);  // a holder's player stays

    // The longest escaped name whose files can still be written, and one byte more.
    auto* longest =
        static_cast<TestPlayer*>(manager->addPlayer(new TestPlayer(std::string(239, 'a'))));
    ASSERT_NE(longest, nullptr);
    longest->pairs = 1;
    EXPECT_TRUE(manager->savePlayer(longest));
    EXPECT_EQ(manager->writeSaveGame(game.get(), "0", longest->getName()), WRITTEN);
    EXPECT_EQ(manager->addPlayer(new TestPlayer(std::string(240, 'a'))), nullptr);
    // Non-ASCII bytes escape to ten characters each.
    EXPECT_NE(manager->addPlayer(new TestPlayer(std::string(23, '\xE9'))), nullptr);
    EXPECT_EQ(manager->addPlayer(new TestPlayer(std::string(24, '\xE9'))), nullptr);
    EXPECT_EQ(namesOf(*manager).size(), 3u);
}

TEST_F(PlayerManagerTest, SavedGamesAreWrittenFoundReadAndDeleted) {
    game->addChild(new PropertyNode("game", "GameClassic"));
    game->getChildNode("game")->addChild(new PropertyValue("score", 1200));

    EXPECT_FALSE(manager->saveGameExists("2", "Ann"));
    ASSERT_EQ(manager->writeSaveGame(game.get(), "2", "Ann"), WRITTEN);
    EXPECT_TRUE(fs::exists(gameFolder() / "savegames/-41-nn/2.sav.!"));
    EXPECT_TRUE(manager->saveGameExists("2", "Ann"));
    EXPECT_FALSE(manager->saveGameExists("3", "Ann"));
    EXPECT_FALSE(manager->saveGameExists("2", "ann"));

    RefHolder<PropertyStore> loaded(new PropertyStore());
    ASSERT_TRUE(manager->loadSaveGame(loaded.get(), "2", "Ann"));
    EXPECT_EQ(loaded->getChildNode("game")->getTypeWord(), "GameClassic");
    EXPECT_EQ(loaded->getChildNode("game")->getChildValue("score")->getInt(), 1200);
    RefHolder<PropertyStore> missing(new PropertyStore());
    EXPECT_FALSE(manager->loadSaveGame(missing.get(), "3", "Ann"));

    // A folder where the file should be is found and held: not written over, nor a failure.
    fs::create_directories(gameFolder() / "savegames/-41-nn/5.sav.!");
    EXPECT_TRUE(manager->saveGameExists("5", "Ann") && !manager->setAsideSaveGame("5", "Ann"));
    EXPECT_EQ(manager->writeSaveGame(game.get(), "5", "Ann"), HELD);
    fs::create_symlink("6.sav.!", gameFolder() / "savegames/-41-nn/6.sav.!");  // a link, nowhere
    EXPECT_TRUE(manager->saveGameExists("6", "Ann") && !manager->setAsideSaveGame("6", "Ann"));
    EXPECT_TRUE(manager->writeSaveGame(game.get(), "6", "Ann") == HELD &&
                fs::is_symlink(gameFolder() / "savegames/-41-nn/6.sav.!"));

    manager->deleteSaveGame("2", "Ann");
    EXPECT_FALSE(manager->saveGameExists("2", "Ann"));
    EXPECT_FALSE(fs::exists(gameFolder() / "savegames/-41-nn/2.sav.!"));
    manager->deleteSaveGame("2", "Ann");  // nothing left to delete
}

TEST_F(PlayerManagerTest, EmptyNamesAreRefusedEverywhere) {
    ASSERT_EQ(manager->writeSaveGame(game.get(), "0", "Ann"), WRITTEN);
    ASSERT_EQ(manager->writeSaveGame(game.get(), "1", "Bob"), WRITTEN);

    EXPECT_EQ(manager->writeSaveGame(game.get(), "0", ""), FAILED);
    EXPECT_FALSE(fs::exists(gameFolder() / "savegames/0.sav.!"));
    EXPECT_FALSE(manager->loadSaveGame(game.get(), "0", ""));
    EXPECT_FALSE(manager->saveGameExists("0", ""));
    manager->deleteSaveGame("0", "");
    EXPECT_EQ(manager->getPlayerFilePath(""), "");
    EXPECT_EQ(manager->getPlayerFileName("0", ""), "");

    // This would have deleted the folder of every player's saved games.
    EXPECT_FALSE(manager->removePlayer(""));
    EXPECT_TRUE(fs::exists(gameFolder() / "savegames/-41-nn/0.sav.!"));
    EXPECT_TRUE(fs::exists(gameFolder() / "savegames/-42-ob/1.sav.!"));
}

TEST_F(PlayerManagerTest, RemovalDeletesThePlayersFilesAndNothingElse) {
    for (const char* name : {"Ann", "ann", "Bob", "Zed"}) {
        auto* player = static_cast<TestPlayer*>(manager->addPlayer(new TestPlayer(name)));
        player->pairs = 1;
        ASSERT_TRUE(manager->savePlayer(player));
        ASSERT_EQ(manager->writeSaveGame(game.get(), "0", name), WRITTEN);
        ASSERT_EQ(manager->writeSaveGame(game.get(), "1", name), WRITTEN);
    }
    ASSERT_TRUE(manager->setCurrentPlayer(manager->findPlayer("Bob")->get()));
    writeTestFile(gameFolder() / "players/scores.xml.!", "kept");

    EXPECT_TRUE(manager->removePlayer("Ann"));
    EXPECT_FALSE(fs::exists(gameFolder() / "savegames/-41-nn"));
    EXPECT_FALSE(fs::exists(gameFolder() / "players/-41-nn.plr.!"));
    for (const char* other : {"ann", "-42-ob", "-5A-ed"}) {
        EXPECT_TRUE(fs::exists(gameFolder() / "savegames" / other / "0.sav.!")) << other;
        EXPECT_TRUE(fs::exists(gameFolder() / "savegames" / other / "1.sav.!")) << other;
        EXPECT_TRUE(fs::exists(gameFolder() / "players" / (std::string(other) + ".plr.!")));
    }
    EXPECT_EQ(readTestFile(gameFolder() / "players/scores.xml.!"), "kept");
    EXPECT_EQ(namesOf(*manager), (std::vector<std::string>{"ann", "Bob", "Zed"}));
    EXPECT_EQ(manager->getCurrentPlayer()->getName(), "Bob");
    // The list was saved without the player.
    RefHolder<PlayerManager> reloaded(new PlayerManager("1", true));
    reloaded->loadPlayers();
    EXPECT_EQ(namesOf(*reloaded), (std::vector<std::string>{"ann", "Bob", "Zed"}));

    // A player the list does not hold still loses its files.
    RefHolder<PlayerManager> other(new PlayerManager("1", true));
    EXPECT_TRUE(other->removePlayer("Zed"));
    EXPECT_FALSE(fs::exists(gameFolder() / "savegames/-5A-ed"));
    EXPECT_FALSE(fs::exists(gameFolder() / "players/-5A-ed.plr.!"));
    EXPECT_TRUE(fs::exists(gameFolder() / "savegames/-42-ob/0.sav.!"));
}

TEST_F(PlayerManagerTest, RemovingTheCurrentPlayerMakesTheFirstRemainingCurrent) {
    {
        RefHolder<PlayerManager> setup(new PlayerManager("1", true));
        static_cast<TestPlayer*>(setup->addPlayer(new TestPlayer("Ann")))->pairs = 1;
        auto* bob = static_cast<TestPlayer*>(setup->addPlayer(new TestPlayer("Bob")));
        bob->pairs = 9;
        ASSERT_TRUE(setup->savePlayer(bob));
        ASSERT_TRUE(setup->savePlayers());
    }
    manager->loadPlayers();
    ASSERT_EQ(manager->getCurrentPlayer()->getName(), "Ann");

    EXPECT_TRUE(manager->removePlayer("Ann"));
    ASSERT_NE(current(*manager), nullptr);
    EXPECT_EQ(current(*manager)->getName(), "Bob");
    // Its profile was read before the list saved it again, so it keeps its data.
    EXPECT_EQ(current(*manager)->pairs, 9);
    RefHolder<TestPlayer> check(new TestPlayer("Bob"));
    ASSERT_TRUE(manager->loadPlayer(check.get()));
    EXPECT_EQ(check->pairs, 9);

    EXPECT_TRUE(manager->removePlayer("Bob"));
    EXPECT_EQ(manager->getCurrentPlayer(), nullptr);
    EXPECT_EQ(TestPlayer::live, 1);  // only `check`
    const std::string list = readScrambled("players/players.plrs.!");
    EXPECT_EQ(list.find("currentplayer"), std::string::npos);
    RefHolder<PlayerManager> reloaded(new PlayerManager("1", true));
    reloaded->loadPlayers();
    EXPECT_TRUE(reloaded->getPlayers().empty());
    EXPECT_EQ(reloaded->getCurrentPlayer(), nullptr);
}

TEST_F(PlayerManagerTest, EntriesThatAreNoPlayersAreSkipped) {
    BasicProperties::releaseInstance();
    BasicProperties::createInstance();
    BasicProperties::instance()->setString("PLAYERS_VERSION", "1");
    writeScrambled("players/players.plrs.!", listText("1", "Nobody",
                                                      "<NoSuchClass name=\"Ann\"/>"
                                                      "<GameNode name=\"Bob\"/>"
                                                      "<String id=\"PLAYERS_VERSION\" value=\"0\"/>"
                                                      "<HighScoreEntry playername=\"Cy\"/>"
                                                      "<TestPlayer name=\"Dee\"/>"
                                                      "<TestPlayer name=\"\"/>"
                                                      "<TestPlayer name=\"Dee\"/>"
                                                      "<TestPlayer name=\"Eve\"/>"));
    manager->loadPlayers();
    EXPECT_EQ(namesOf(*manager), (std::vector<std::string>{"Dee", "Eve"}));
    EXPECT_EQ(TestPlayer::live, 2);
    // "currentplayer" names nobody: the first player is current.
    ASSERT_NE(manager->getCurrentPlayer(), nullptr);
    EXPECT_EQ(manager->getCurrentPlayer()->getName(), "Dee");
    // A value in the list was not handed on as a global value.
    ASSERT_NE(BasicProperties::instance(), nullptr);
    EXPECT_EQ(BasicProperties::instance()->getString("PLAYERS_VERSION"), "1");
    BasicProperties::releaseInstance();
}

TEST_F(PlayerManagerTest, BrokenOrMissingListsAddNobody) {
    const std::string ann = listText("1", "Ann", "<TestPlayer name=\"Ann\"/>");
    manager->loadPlayers();  // no file yet
    EXPECT_TRUE(manager->getPlayers().empty());
    writeScrambled("players/players.plrs.!", ann);
    std::string truncated = readTestFile(gameFolder() / "players/players.plrs.!");
    truncated.resize(truncated.size() / 2);
    writeTestFile(gameFolder() / "players/players.plrs.!", truncated);
    manager->loadPlayers();
    EXPECT_TRUE(manager->getPlayers().empty());
    // A stored list that is not scrambled does not read either.
    writeTestFile(gameFolder() / "players/players.plrs.!", ann);
    manager->loadPlayers();
    EXPECT_TRUE(manager->getPlayers().empty());
    // The same list, whole and scrambled, reads.
    writeScrambled("players/players.plrs.!", ann);
    manager->loadPlayers();
    EXPECT_EQ(namesOf(*manager), std::vector<std::string>{"Ann"});
}

TEST_F(PlayerManagerTest, TheSingletonTakesItsVersionFromTheGlobalsWhenGivenNone) {
    BasicProperties::releaseInstance();
    BasicProperties::createInstance();
    BasicProperties::instance()->setString("PLAYERS_VERSION", "7");
    PlayerManager::createInstance("", true);
    PlayerManager* manager = PlayerManager::getInstance();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->getVersion(), "7");
    EXPECT_TRUE(manager->isScrambled());
    PlayerManager::createInstance("9", false);  // already made
    EXPECT_EQ(PlayerManager::getInstance(), manager);
    PlayerManager::releaseInstance();
    EXPECT_EQ(PlayerManager::getInstance(), nullptr);

    RefHolder<PlayerManager> given(new PlayerManager("4", false));
    EXPECT_EQ(given->getVersion(), "4");
    BasicProperties::releaseInstance();
}

}  // namespace player_manager_test
