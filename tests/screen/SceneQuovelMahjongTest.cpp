// The offer of a room's saved game: made only on arrival from the elevator or the lobby and
// only when the current player has a saved game of that room; closed when the room is left.

#include "app/GameServicesFixture.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/Button.h"
#include "framework/platform/DamagedFile.h"
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

}  // namespace
