// The offer of a room's saved game: made only on arrival from the elevator or the lobby and
// only when the current player has a saved game of that room; closed when the room is left.

#include "app/GameServicesFixture.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/Button.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/rules/GameHooks.h"
#include "game/rules/PlayerFileReport.h"
#include "game/screen/SceneQuovelMahjong.h"

namespace {

class SavedGameOffer : public SceneTest {
protected:
    SavedGameOffer() {
        startDefinitions();
        addPlayer();
        writeSavedGame("1", "Ann");

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

TEST_F(SavedGameOffer, NoOfferBackFromTheGameForAnotherRoomOrForAGameThatDoesNotReadBack) {
    enterCasinoFrom("SCENE_GAME");
    SceneQuovelMahjong::askContinueSavedGame(1, casino);
    EXPECT_EQ(offer(), nullptr);

    enterCasinoFrom("SCENE_LOBBY");
    SceneQuovelMahjong::askContinueSavedGame(3, casino);
    EXPECT_EQ(offer(), nullptr);
    SceneQuovelMahjong::askContinueSavedGame(1, casino);
    EXPECT_NE(offer(), nullptr);
    casino->hide();

    // A file without a game is read before any offer: set aside and told once, never offered.
    RefHolder<PropertyStore> noGame(new PropertyStore());
    noGame->addChild(new PropertyValue("score", 120));
    ASSERT_TRUE(PlayerManager::getInstance()->writeSaveGame(noGame.get(), "1", "Ann"));
    GameHooks::installMessageBox(&messageBox);
    setSetAsideListener(&PlayerFileReport::keptUnreadable);
    for (int arrival = 0; arrival < 2; ++arrival) {
        enterCasinoFrom("SCENE_ELEVATOR");
        SceneQuovelMahjong::askContinueSavedGame(1, casino);
        EXPECT_EQ(offer(), nullptr);
    }
    setSetAsideListener(nullptr);
    GameHooks::installMessageBox(nullptr);
    EXPECT_FALSE(PlayerManager::getInstance()->saveGameExists("1", "Ann"));
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text.rfind("A saved game of Ann could not be read.\n", 0), 0u);
}

// The system's message box (SDL's under X) is as wide as its widest line plus margins of twice
// its line height, at least 200 pixels. Its font under X, measured: lines of 21 pixels, and no
// letter wider than 16.
int32_t fileMessageBoxWidth(const std::string& text) {
    size_t widest = 0, characters = 0;
    for (const char c : text + "\n") {
        if (c == '\n') {
            widest = std::max(widest, characters);
            characters = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    return std::max(200, 2 * (21 + 2) + 16 * static_cast<int32_t>(widest));
}

TEST(FileMessages, EveryLineFitsAnEightHundredPixelScreenAndNoNameIsCut) {
    FakeMessageBox box;
    GameHooks::installMessageBox(&box);
    PlayerFileReport::reset();
    // The longest name the name input takes, of letters that escape to ten characters each.
    std::string owner;
    for (int i = 0; i < 20; ++i) {
        owner += "\xC3\xA9";
    }
    const std::string folder =
        "/home/someone-with-a-long-account-name/.local/share/Brastel/Games/"
        "Quovel Mahjong/savegames/" +
        escapeName(owner);
    std::vector<std::string> names;
    for (int kind = 0; kind <= static_cast<int>(StoredFileKind::settings); ++kind) {
        for (const bool otherVersion : {false, true}) {
            const StoredFile what{static_cast<StoredFileKind>(kind), owner, otherVersion};
            const std::string stored = folder + "/" + escapeName(owner) + std::to_string(kind) +
                                       (otherVersion ? ".plr.!" : ".sav.!");
            const std::string kept =
                stored + (otherVersion ? ".other-version" : ".damaged") + "-2026-12-08-16-44-39";
            PlayerFileReport::keptUnreadable(what, stored, kept);
            PlayerFileReport::keptUnreadable(what, stored, "");
            names.push_back(kept.substr(folder.size() + 1));
            names.push_back(stored.substr(folder.size() + 1));
        }
    }
    for (const auto files :
         {PlayerFileReport::SavedFiles::players, PlayerFileReport::SavedFiles::highScores,
          PlayerFileReport::SavedFiles::savedGame}) {
        PlayerFileReport::saved(files, false);
    }
    GameHooks::installMessageBox(nullptr);
    ASSERT_EQ(box.shown.size(), names.size() + 3);
    for (size_t i = 0; i < box.shown.size(); ++i) {
        const std::string& text = box.shown[i].text;
        EXPECT_LE(fileMessageBoxWidth(text), 800) << text;
        std::string joined = text;
        std::erase(joined, '\n');
        if (i < names.size()) {
            EXPECT_NE(joined.find(names[i] + "in the folder" + folder), std::string::npos) << text;
        } else {
            EXPECT_NE(joined.find(getGameDataFolder()), std::string::npos) << text;
        }
    }
    EXPECT_EQ(box.shown[4].text.substr(0, box.shown[4].text.find("It is")),
              "The profile of " + owner + " could not\nbe read.\n");
}

}  // namespace
