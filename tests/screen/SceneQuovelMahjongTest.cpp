// The offer of a room's saved game: made only on arrival from the elevator or the lobby and
// only when the current player has a saved game of that room; closed when the room is left.

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <regex>

#include "app/GameServicesFixture.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/Button.h"
#include "framework/os/FileSystem.h"
#include "framework/os/Utf8.h"
#include "framework/platform/DamagedFile.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/profile/PlayerFileReport.h"
#include "game/rules/GameHooks.h"
#include "game/screen/SceneQuovelMahjong.h"

namespace scene_quovel_mahjong_test {

class SavedGameOffer : public SceneTest {
protected:
    SavedGameOffer() {
        startDefinitions();
        addPlayer();
        writeSavedGame("1");

        manager = SceneManager::createInstance();
        gameScenes().lobby = manager->createScene("SCENE_LOBBY");
        for (const char* name : {"SCENE_ELEVATOR", "SCENE_GAME", "SCENE_CASINO"}) {
            RefHolder<PropertyNode> definition(new PropertyNode(name, "SceneQuovelMahjong"));
            manager->addScene(name, new SceneQuovelMahjong(definition.get()));
        }
        gameScenes().elevator = manager->getScene("SCENE_ELEVATOR");
        casino = objectCast<SceneQuovelMahjong>(manager->getScene("SCENE_CASINO"));
    }

    // Shows `from`, then the casino, each for a frame.
    void enterCasinoFrom(const char* from) {
        manager->requestScene(manager->getScene(from));
        manager->update(16);
        manager->requestScene(casino);
        manager->update(16);
        manager->update(16);
    }

    DialogYesNo* offer() const {
        return objectCast<DialogYesNo>(casino->findDialog("CTEXT_START_RECENT_SAVEGAME"));
    }

    SceneQuovelMahjong* casino = nullptr;
};

TEST_F(SavedGameOffer, ArrivingFromTheElevatorOffersTheGameWithItsTooltipsAndLeavingClosesIt) {
    enterCasinoFrom("SCENE_ELEVATOR");
    SceneQuovelMahjong::askContinueSavedGame(1, casino);
    ASSERT_NE(offer(), nullptr);
    EXPECT_TRUE(casino->isDialogOpen("CTEXT_START_RECENT_SAVEGAME"));
    EXPECT_EQ(casino->getTag(), 1);
    EXPECT_EQ(offer()->getYesButton()->getToolTip().value_or(L""),
              getBasicText("CTOOLTIP_SAVEGAME_YES"));
    EXPECT_EQ(offer()->getNoButton()->getToolTip().value_or(L""),
              getBasicText("CTOOLTIP_SAVEGAME_NO"));
    EXPECT_FALSE(getBasicText("CTOOLTIP_SAVEGAME_NO").empty());

    casino->hide();
    EXPECT_EQ(offer(), nullptr);
    EXPECT_TRUE(casino->getOpenDialogs().empty());
}

TEST_F(SavedGameOffer, NoOfferBackFromTheGameForAnotherRoomOrForAFileWithoutAGame) {
    enterCasinoFrom("SCENE_GAME");
    SceneQuovelMahjong::askContinueSavedGame(1, casino);
    EXPECT_EQ(offer(), nullptr);

    enterCasinoFrom("SCENE_LOBBY");
    SceneQuovelMahjong::askContinueSavedGame(3, casino);
    EXPECT_EQ(offer(), nullptr);
    SceneQuovelMahjong::askContinueSavedGame(1, casino);
    EXPECT_NE(offer(), nullptr);
    casino->hide();
    RefHolder<PropertyStore> noGame(new PropertyStore());
    ASSERT_EQ(PlayerManager::getInstance()->writeSaveGame(noGame.get(), "1", "Ann"),
              PlayerManager::SaveGameWrite::WRITTEN);
    GameHooks::installMessageBox(&messageBox);
    fileSetAside.install(&PlayerFileReport::keptUnreadable);
    for (const char* from : {"SCENE_ELEVATOR", "SCENE_LOBBY"}) {
        enterCasinoFrom(from);
        SceneQuovelMahjong::askContinueSavedGame(1, casino);
        EXPECT_EQ(offer(), nullptr);
    }
    fileSetAside.install(nullptr);
    GameHooks::installMessageBox(nullptr);
    EXPECT_EQ(offer(), nullptr);
    EXPECT_EQ(messageBox.shown.size(), 1u);
}

// The system's box under X: its widest line + 2 line heights (21 pixels), letters at most 16 wide.
TEST_F(SavedGameOffer, EveryFileMessageFitsAnEightHundredPixelScreenAndCutsNoName) {
    GameHooks::installMessageBox(&messageBox);
    const std::string folder = "/home/a-long-account-name/.local/share/Brastel/Games/Quovel";
    const std::string owner(20, 'W'), kept = escapeName(owner) + ".plr.!.damaged-2026-12-08-16";
    const std::string nine = escapeName(std::string(9, 'W')),
                      keptLines = nine + "-57--57-\n" + nine + ".plr.!\n.damaged-2026-12-08-16";
    size_t keptTold = 0;
    // A game in progress is named with its player and room before its stored name, then "as".
    PlayerFileReport::saved(PlayerFileReport::SavedFiles::SAVED_GAME, false,
                            getGameDataFolder() + "/3.sav.!",
                            PlayerFileReport::gameInProgress(owner, RoomKind::ROOF));
    EXPECT_TRUE(std::regex_search(messageBox.shown[0].text,
                                  std::regex(owner + "\\son the roof could not be saved\nas\n3")));
    for (int kind = 0; kind <= static_cast<int>(StoredFileKind::STATISTICS); ++kind) {
        const StoredFile what{static_cast<StoredFileKind>(kind), owner, kind % 2 == 0};
        PlayerFileReport::keptUnreadable(what, folder + "/x", folder + "/" + kept);
        PlayerFileReport::keptUnreadable(what, folder + "/" + std::to_string(kind) + kept, "");
        PlayerFileReport::saved(static_cast<PlayerFileReport::SavedFiles>(kind % 4), false);
    }
    PlayerFileReport::gatherFailures(PlayerFileReport::Gathered::UNTOLD_FAILURES);  // a stop's
    PlayerFileReport::saved(PlayerFileReport::SavedFiles::PLAYERS, false);  // told: not again
    PlayerFileReport::tellGathered();
    // At the end, a kind that met a full disk once is told as such, whatever else it met.
    PlayerFileReport::gatherFailures();
    for (const int error : {ENOSPC, EACCES}) {
        FileSystem::noteWriteFailure(error);
        PlayerFileReport::saved(PlayerFileReport::SavedFiles::PLAYERS, false);
    }
    PlayerFileReport::tellGathered();
    EXPECT_NE(messageBox.shown.back().text.find("The disk is full."), std::string::npos);
    GameHooks::installMessageBox(nullptr);
    EXPECT_EQ(messageBox.shown.size(), 17u);  // each save failure told once, and the end's
    for (auto [title, text] : messageBox.shown) {
        size_t widest = 0;
        for (size_t start = 0, end = 0; start <= text.size(); start = end + 1) {
            end = std::min(text.find('\n', start), text.size());
            widest = std::max(widest, end - start);
        }
        EXPECT_LE(std::max<size_t>(200, 2 * (21 + 2) + 16 * widest), 800u) << text;
        EXPECT_LE((std::ranges::count(text, '\n') + 1 + 6) * 21 - 8, 600) << text;
        EXPECT_FALSE(std::regex_search(text, std::regex("(scores|statistics|settings) (was|is)")));
        EXPECT_FALSE(std::regex_search(text, std::regex("saved game of(.|\n)*saved game of")));
        keptTold += text.find(" kept\nin the file\n" + keptLines + "\n") != std::string::npos;
        std::erase(text, '\n');
        EXPECT_TRUE(text.find(kept + "in the folder" + folder) != std::string::npos ||
                    text.find("in the folder" + getGameDataFolder()) != std::string::npos)
            << text;
    }
    EXPECT_EQ(keptTold, 6u);
}

// What failed is told as it is: a folder in the profile's place, each file in a folder's place at
// the end, a link round in a circle. A long path is shortened in its middle, whole in the log.
TEST_F(SavedGameOffer, FailuresAreToldAsTheyAreAndLongPathsAreShortenedToFit) {
    GameHooks::installMessageBox(&messageBox);
    std::string log;
    setProblemSink([&log](const std::string& line) { log += line + "\n"; });
    PlayerManager* players = PlayerManager::getInstance();
    const std::string data = getGameDataFolder(), part = "/" + std::string(99, 'd');
    std::filesystem::create_directories(data + "/players/-41-nn.plr/in");
    EXPECT_FALSE(PlayerFileReport::savePlayer(QuovelMahjongPlayer::current()));
    for (const char* folder : {"/players", "/savegames"}) {
        std::filesystem::remove_all(data + folder);
        writeTestFile(data + folder, "in the way");
    }
    PlayerFileReport::gatherFailures();
    PlayerFileReport::saved(PlayerFileReport::SavedFiles::PLAYERS, players->savePlayers());
    RefHolder<PropertyStore> game(new PropertyStore());
    PlayerFileReport::saved(
        PlayerFileReport::SavedFiles::SAVED_GAME,
        players->writeSaveGame(game.get(), "1", "Ann") == PlayerManager::SaveGameWrite::WRITTEN);
    PlayerFileReport::tellGathered();
    std::filesystem::create_symlink("scores.xml", data + "/scores.xml");
    PlayerFileReport::keptUnreadable({StoredFileKind::HIGH_SCORES, "", false, true},
                                     data + "/scores.xml", "");
    std::string deep = data;
    while (deep.size() < 4000) {
        deep += part;
    }
    PlayerFileReport::keptUnreadable({StoredFileKind::PROFILE, "Ann"}, deep + "/-41-nn.plr",
                                     deep + "/-41-nn.plr.damaged");
    // Every kind failing in a file of its own at the end: too much for the box, which is cut.
    PlayerFileReport::gatherFailures();
    for (int kind = 0; kind < 4; ++kind) {
        FileSystem::noteWriteFailure(EISDIR, WriteStep::REPLACE_FILE, data + "/x");
        PlayerFileReport::saved(static_cast<PlayerFileReport::SavedFiles>(kind), false);
    }
    PlayerFileReport::tellGathered();
    setProblemSink({});
    GameHooks::installMessageBox(nullptr);
    ASSERT_EQ(messageBox.shown.size(), 5u);
    std::vector<std::string> joined;  // paths put together again
    for (auto [title, text] : messageBox.shown) {
        EXPECT_LE(std::ranges::count(text, '\n') + 1, PlayerFileReport::MESSAGE_LINES) << text;
        // The system's box draws Latin-1 alone; "..." is never broken over two lines.
        EXPECT_TRUE(std::ranges::all_of(stringToWString(text), [](wchar_t c) { return c < 256; }));
        EXPECT_FALSE(std::regex_search(text, std::regex("\\.\n\\."))) << text;
        std::erase(text, '\n');
        joined.push_back(text);
    }
    const std::pair<const std::string&, std::string> told[] = {
        {joined[0], "in the file-41-nn.plrin the folder" + data +
                        "/playersA folder stands where the game keeps this"},
        {joined[1], "needs the folder" + data + "/playersPlease move"},
        {joined[1], "needs the folder" + data + "/savegamesPlease move"},
        {joined[2], "high scores could not be read: their fileis a link that leads round"},
        {joined[3], "in the folder" + data + part + part},
        {joined[3], "ddd...ddd"},
        {joined[3], part + part + "Ann starts anew."},
        {log, "\"" + deep + "\" is shown shortened"},
        {log, "The settings could not be saved in the file x"}};
    for (const auto& [in, words] : told) {
        EXPECT_NE(in.find(words), std::string::npos) << words;
    }
    EXPECT_TRUE(joined[4].ends_with("..."));
}

}  // namespace scene_quovel_mahjong_test
