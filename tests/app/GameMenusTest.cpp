// The dialogs a player opens over a game or a room, as the game authors them: the pause with its
// delayed mute, the in-game menu with its stop question by room kind and the dialogs it opens
// above itself, the help pages, and the room menu's way back to the lobby. Pictures of the
// pause, the menu and a help page go to build/pictures/gui/.
#include <string>
#include <vector>

#include "app/GameDialogsFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/os/Messages.h"
#include "framework/scene/FullScreenHandler.h"
#include "game/dialogs/DialogHelp.h"
#include "game/dialogs/DialogMenu.h"
#include "game/dialogs/DialogPause.h"
#include "game/dialogs/DialogRoomMenu.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/screen/SceneGame.h"

namespace game_menus_test {

class GameMenusTest : public GameDialogsTest {
protected:
    Button* button(Dialog* dialog, const char* name) {
        return objectCast<Button>(dialog->findChild(name));
    }
    // A press and release through the scene's input, as the player clicks.
    void clickAt(int32_t x, int32_t y) {
        InputHandler* input = scene->getInputHandler();
        input->onMouseMove(x, y, 0);
        input->onLeftButtonDown(x, y, 1, false);
        input->onLeftButtonUp(x, y, 0);
        scenes->update(10);
    }
    void clickOn(Sprite* node) {
        clickAt(node->getAbsoluteX() + node->getWidth() / 2,
                node->getAbsoluteY() + node->getHeight() / 2);
    }
};

TEST_F(GameMenusTest, PauseMutesAfterItsDelayAndAClickAnywhereResumes) {
    SoundManager::getInstance()->setEffectsVolume(180);
    played();
    auto* pause = objectCast<DialogPause>(scene->getDialog("DIALOG_PAUSE"));
    ASSERT_NE(pause, nullptr);
    scene->openDialog(pause);
    // Its own sound instead of the generic one, and the screen behind is not darkened.
    std::vector<std::string> sounds = played();
    EXPECT_EQ(countPlayed(sounds, "pause.wav"), 1);
    EXPECT_EQ(countPlayed(sounds, "dialog_show.wav"), 0);
    EXPECT_FALSE(pause->getDarken());
    EXPECT_LT(pause->getWidth(), 800);
    frames(tuning().DIALOG_FADE_TIME + 10);
    EXPECT_FALSE(SoundManager::getInstance()->isMuted());
    frames(DialogPause::MUTE_DELAY + 20);
    EXPECT_TRUE(SoundManager::getInstance()->isMuted());
    EXPECT_EQ(mixer->effectsMasterVolume, 0);
    ASSERT_NE(writeScenePicture(scene.get(), "pause"), nullptr);
    // The window loses and regains the focus: the pause keeps the game silent.
    RefHolder<FullScreenHandler> handler(new FullScreenHandler(nullptr));
    handler->onWindowMessage(MSG_DEACTIVATED, 0, 0);
    handler->onWindowMessage(MSG_ACTIVATED, 0, 0);
    EXPECT_TRUE(SoundManager::getInstance()->isMuted());
    EXPECT_EQ(mixer->effectsMasterVolume, 0);

    // A click far from the button resumes: sound back, the unpause sound, the dialog gone.
    clickAt(pause->getComponents()->getAbsoluteX() + 4, pause->getComponents()->getAbsoluteY() + 4);
    EXPECT_FALSE(SoundManager::getInstance()->isMuted());
    EXPECT_EQ(mixer->effectsMasterVolume, 180);
    EXPECT_EQ(countPlayed(played(), "unpause.wav"), 1);
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_PAUSE"));
    EXPECT_EQ(scene->findDialog("DIALOG_PAUSE"), nullptr);

    // Resumed by its button before the mute came due: the mute never comes.
    pause = objectCast<DialogPause>(scene->getDialog("DIALOG_PAUSE"));
    ASSERT_NE(pause, nullptr);
    scene->openDialog(pause);
    frames(tuning().DIALOG_FADE_TIME + 10 + DialogPause::MUTE_DELAY / 2);
    clickOn(button(pause, "BUTTON_RESUME"));
    frames(1000);
    EXPECT_FALSE(SoundManager::getInstance()->isMuted());
    EXPECT_EQ(mixer->effectsMasterVolume, 180);
    EXPECT_EQ(countPlayed(played(), "unpause.wav"), 1);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_PAUSE"));
}

TEST_F(GameMenusTest, PauseFadesTheHeardPieceOutAndResumeEndsACrossFadeOnTheIncomingOne) {
    SoundManager* sound = SoundManager::getInstance();
    RefHolder<SoundStream> first = new SoundStream();
    first->setFileName("first.ogg");
    RefHolder<SoundStream> second = new SoundStream();
    second->setFileName("second.ogg");
    sound->playMusic(0, 1.0f, 1, first.get(), 0, 0);
    sound->update(10);
    ASSERT_EQ(sound->getCurrentStream(), first.get());
    sound->playMusic(5000, 1.0f, 5000, second.get(), 0, 0);
    ASSERT_TRUE(sound->isChangePending());
    sound->update(1000);
    ASSERT_GT(second->getFadeLevel(), 0.1f);

    auto* pause = objectCast<DialogPause>(scene->getDialog("DIALOG_PAUSE"));
    ASSERT_NE(pause, nullptr);
    scene->openDialog(pause);
    // The incoming piece is the one heard: it fades to silence in 200 ms.
    EXPECT_EQ(second->getFadeTarget(), 0.0f);
    EXPECT_FLOAT_EQ(second->getFadeStep() * 200.0f, second->getFadeLevel());
    frames(tuning().DIALOG_FADE_TIME + DialogPause::MUTE_DELAY + 30);
    EXPECT_TRUE(sound->isMuted());

    clickOn(button(pause, "BUTTON_RESUME"));
    EXPECT_FALSE(sound->isMuted());
    // The cross-fade ends on the incoming piece, which fades back in and plays.
    EXPECT_FALSE(sound->isChangePending());
    EXPECT_EQ(sound->getCurrentStream(), second.get());
    EXPECT_EQ(second->getFadeTarget(), 1.0f);
    EXPECT_FALSE(first->isOpen());
    EXPECT_TRUE(mixer->isPlaying(second->getChannel()));
}

TEST_F(GameMenusTest, TheMenuAsksToStopByRoomKindAndKeepsItselfUnderWhatItOpens) {
    playLevel(0, false, 0, 0, 0);
    auto* menu = open<DialogMenu>("DIALOG_MENU");
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(writeScenePicture(scene.get(), "game-menu"), nullptr);

    // On a floor the floors' question; "no" closes it and leaves the menu open.
    clickOn(button(menu, "BUTTON_STOP"));
    auto* question = objectCast<DialogYesNo>(scene->findDialog("TEXT_MENU_STOP_QUOVEL"));
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(scene->isDialogOpen("TEXT_MENU_STOP_QUOVEL"));
    EXPECT_EQ(question->getMessage()->getText(), getBasicText("TEXT_MENU_STOP_QUOVEL"));
    EXPECT_EQ(question->getHeader()->getText(), L"Stop the game");
    // "Yes" stops the game on the game screen.
    EXPECT_EQ(question->getYesButton()->getBound(), callback<&LevelFlow::onGameStopped>());
    frames(tuning().DIALOG_FADE_TIME + 20);
    clickOn(question->getNoButton());
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_FALSE(scene->isDialogOpen("TEXT_MENU_STOP_QUOVEL"));
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_MENU"));

    // Every other room asks the shared question.
    playLevel(1, false, 0, 0, 0);
    clickOn(button(menu, "BUTTON_STOP"));
    EXPECT_TRUE(scene->isDialogOpen("CTEXT_MENU_STOP"));
    EXPECT_FALSE(scene->isDialogOpen("TEXT_MENU_STOP_QUOVEL"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    clickOn(objectCast<DialogYesNo>(scene->findDialog("CTEXT_MENU_STOP"))->getNoButton());
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_EQ(DialogMenu::stopQuestionKey(RoomKind::ROOF), std::string("CTEXT_MENU_STOP"));

    // Help and settings open above the menu; closing them returns to it.
    clickOn(button(menu, "BUTTON_HELP"));
    auto* help = objectCast<DialogHelp>(scene->findDialog("DIALOG_HELP"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(scene->getOpenDialogs().back().get(), help);
    frames(tuning().DIALOG_FADE_TIME + 20);
    clickOn(button(help, "BUTTON_OK"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_HELP"));
    clickOn(button(menu, "BUTTON_SETTINGS"));
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_SETTINGS"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    clickOn(button(objectCast<Dialog>(scene->findDialog("DIALOG_SETTINGS")), "BUTTON_CANCEL"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_SETTINGS"));
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_MENU"));

    // Resume closes the menu.
    clickOn(button(menu, "BUTTON_RESUME"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_MENU"));
}

TEST_F(GameMenusTest, HelpTurnsItsFourPagesWithBackAndNextEnabledInRange) {
    auto* help = open<DialogHelp>("DIALOG_HELP");
    ASSERT_NE(help, nullptr);
    auto page = [](int32_t n) {
        return objectCast<Image>(findLoadedResource("HELP_PAGE" + std::to_string(n), "manual"));
    };
    EXPECT_EQ(help->getPage(), 0);
    EXPECT_EQ(help->getPageSprite()->getImage(), page(1));
    EXPECT_NE(page(1), nullptr);
    EXPECT_FALSE(help->getPreviousButton()->isEnabled());
    EXPECT_TRUE(help->getNextButton()->isEnabled());
    ASSERT_NE(writeScenePicture(scene.get(), "help-page1"), nullptr);
    for (int32_t n = 2; n <= 4; ++n) {
        clickOn(help->getNextButton());
        EXPECT_EQ(help->getPage(), n - 1);
        EXPECT_EQ(help->getPageSprite()->getImage(), page(n));
        EXPECT_NE(page(n), nullptr);
    }
    EXPECT_FALSE(help->getNextButton()->isEnabled());
    EXPECT_TRUE(help->getPreviousButton()->isEnabled());
    ASSERT_NE(writeScenePicture(scene.get(), "help-page4"), nullptr);
    // A disabled button does nothing.
    clickOn(help->getNextButton());
    EXPECT_EQ(help->getPage(), 3);
    clickOn(help->getPreviousButton());
    EXPECT_EQ(help->getPage(), 2);
    EXPECT_EQ(help->getPageSprite()->getImage(), page(3));
    // A page without a picture leaves the sprite without one.
    help->nextPage(nullptr);
    help->nextPage(nullptr);
    EXPECT_EQ(help->getPage(), 4);
    EXPECT_EQ(help->getPageSprite()->getImage(), nullptr);
}

TEST_F(GameMenusTest, TheRoomMenuGoesToTheLobbyAtOnceThroughTheDefaultTransition) {
    RefHolder<Scene> lobby = new Scene(nullptr);
    scenes->addScene("SCENE_LOBBY", lobby.get());
    auto* menu = open<DialogRoomMenu>("DIALOG_ROOM_MENU");
    ASSERT_NE(menu, nullptr);
    // Help opens above it and returns to it.
    clickOn(button(menu, "BUTTON_HELP"));
    EXPECT_EQ(scene->getOpenDialogs().back().get(), scene->findDialog("DIALOG_HELP"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    clickOn(button(objectCast<Dialog>(scene->findDialog("DIALOG_HELP")), "BUTTON_OK"));
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_ROOM_MENU"));

    clickOn(button(menu, "BUTTON_LOBBY"));
    // Closed and forgotten at once, without a fade-out.
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_ROOM_MENU"));
    EXPECT_EQ(scene->findDialog("DIALOG_ROOM_MENU"), nullptr);
    frames(20);
    EXPECT_EQ(scenes->getCurrentScene(), lobby.get());
}

}  // namespace game_menus_test
