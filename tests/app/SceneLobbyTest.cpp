// The main menu driven frame by frame from the game's own definitions and art: the first run
// asks for a name typed with key events, the doors, the shine and the slide-in, and the player
// list with its add, choose and remove roads. Pictures of the lobby, the name input and the
// player list are written under build/pictures/gui.
#include "LobbyFixture.h"
#include "testsupport/platform/PixelAccess.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace scene_lobby_test {

TEST_F(LobbyRoad, TheFirstRunAsksForANameTypedWithKeysAndWelcomesThatPlayer) {
    ASSERT_NE(lobby, nullptr);
    showLobby();
    EXPECT_TRUE(load->isRemoved());
    EXPECT_EQ(welcome(), L"Welcome!");
    auto* input = dialog<DialogNameInput>("DIALOG_NEWPLAYER");
    ASSERT_NE(input, nullptr);
    // No way out but a name: no cancel button, OK midway between both buttons' places.
    GameNode* cancel = input->findChild("BUTTON_CANCEL");
    EXPECT_TRUE(cancel == nullptr || cancel->isRemoved());
    auto* ok = objectCast<Button>(input->findChild("BUTTON_OK"));
    EXPECT_EQ(ok->getX(), (40 + 220) / 2);
    EXPECT_FALSE(ok->isEnabled());

    // The menu buttons slide in one after another from the bottom edge.
    GameNode* settings = lobby->findChild("BUTTON_SETTINGS");
    GameNode* help = lobby->findChild("BUTTON_HELP");
    GameNode* trophies = lobby->findChild("BUTTON_TROPHIES");
    GameNode* quit = lobby->findChild("BUTTON_QUIT");
    frames(250);
    EXPECT_LT(settings->getY(), help->getY());
    EXPECT_LT(help->getY(), trophies->getY());
    EXPECT_LT(trophies->getY(), 600);
    EXPECT_EQ(quit->getY(), 600);

    // A leading blank is never taken; the trailing one is trimmed on OK.
    type(L" ");
    EXPECT_EQ(input->getNameInput()->getText(), L"");
    EXPECT_FALSE(ok->isEnabled());
    InputLabel* field = input->getNameInput();
    type(std::wstring(11, L'\u00E9'));  // all the store keeps of letters of two bytes
    field->getCursor()->setVisible(false);
    RefHolder<Image> eleven = writeDialogPicture(input, "name-eleven-letters", 0);
    type(L"\u00E9");
    EXPECT_TRUE(screen_test::samePicture(
        eleven.get(), writeDialogPicture(input, "name-twelfth-letter", 0).get()));
    GameHooks::installMessageBox(&messageBox);
    field->setText(std::wstring(12, L'\u00E9'), true);  // refused by the store all the same: told
    pressEnter();
    GameHooks::installMessageBox(nullptr);
    EXPECT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(dialog<DialogNameInput>("DIALOG_NEWPLAYER"), input);
    field->setText(L"", true);
    type(L"Mei Lin ");
    EXPECT_TRUE(ok->isEnabled());
    frames(600);
    writeScenePicture(lobby, "lobby-first-run-name");
    pressEnter();
    frames(600);

    EXPECT_EQ(currentName(), "Mei Lin");
    EXPECT_TRUE(std::filesystem::exists(players->getPlayerFilePath("Mei Lin")));
    EXPECT_TRUE(std::filesystem::exists(players->getPlayersFileName()));
    EXPECT_EQ(welcome(), L"Welcome, Mei Lin");
    EXPECT_FALSE(lobby->isDialogOpen("DIALOG_NEWPLAYER"));
    EXPECT_EQ(settings->getY(), 532);
    EXPECT_EQ(quit->getY(), 532);
    writeScenePicture(lobby, "lobby");

    // A new player's first hint is cleared once a player exists, even with hints switched off.
    EXPECT_FALSE(QuovelMahjongPlayer::current()->hints[0]);
}

TEST_F(LobbyRoad, DoorsOpenUnderThePointerOnlyWithoutDialogsAndTheReturnDoesNotSlideAgain) {
    addPlayers({"Ann"});
    QuovelMahjongPlayer::current()->hints[0] = true;
    QuovelMahjongPlayer::current()->showHints = false;
    showLobby();
    EXPECT_FALSE(QuovelMahjongPlayer::current()->hints[0]);
    EXPECT_TRUE(lobby->getOpenDialogs().empty());
    EXPECT_EQ(welcome(), L"Welcome, Ann");

    // The shine runs over the closed doors at its longest interval, just behind the seam.
    EXPECT_GE(framesUntilShine(13000), 0);
    frames(400);
    writeScenePicture(lobby, "lobby-shine");

    Sprite* left = lobby->getDoorLeft();
    Sprite* right = lobby->getDoorRight();
    pointAt(360, 300);
    frames(150);
    EXPECT_TRUE(lobby->areDoorsOpen());
    EXPECT_EQ(left->getX(), lobby->getDoorLeftX() - 120);
    EXPECT_EQ(right->getX(), lobby->getDoorRightX() + 120);
    writeScenePicture(lobby, "lobby-doors-open");

    // A dialog shuts the doors on the next frame and keeps them shut under the pointer.
    click(lobby->findChild("BUTTON_CHANGENAME"));
    manager->update(FRAME_MS);
    EXPECT_FALSE(lobby->areDoorsOpen());
    EXPECT_EQ(left->getX(), lobby->getDoorLeftX());
    EXPECT_FALSE(lobby->getDoorMiddle()->isVisible());
    frames(300);
    EXPECT_FALSE(lobby->areDoorsOpening());
    EXPECT_EQ(right->getX(), lobby->getDoorRightX());
    // Nor does a new shine start while the dialog is open (a running one ends first).
    frames(1300);
    EXPECT_EQ(framesUntilShine(13000), -1);
    lobby->closeDialog(lobby->findDialog("DIALOG_PLAYERSELECT"));

    // The lit call button beside the doors goes up as the doors do.
    clickAt(lobby, 550, 321);
    EXPECT_EQ(manager->getRequestedScene(), manager->getScene("SCENE_ELEVATOR"));
    // Up in the elevator and back: no second slide-in, the ride starts again from the lobby.
    click(lobby->findChild("BUTTON_ELEVATOR"));
    EXPECT_EQ(manager->getRequestedScene(), manager->getScene("SCENE_ELEVATOR"));
    manager->setTransition("");
    frames(100);
    SceneElevator* elevator = SceneElevator::instance();
    ASSERT_NE(elevator, nullptr);
    elevator->setStop(7);
    elevator->setUnlockedItem(9);
    const int openedBefore = lobbyMusicOpenings();
    manager->requestScene(lobby);
    manager->update(FRAME_MS);
    EXPECT_EQ(lobby->findChild("BUTTON_QUIT")->getY(), 532);
    // The return plays the lobby's music again; the first show (from the loading screen) did not.
    EXPECT_EQ(openedBefore, 0);
    EXPECT_EQ(lobbyMusicOpenings(), 1);
    EXPECT_EQ(elevator->getStop(), 0);
    EXPECT_EQ(elevator->getUnlockedItem(), -1);
}

TEST_F(LobbyRoad, ThePlayerListAddsChoosesAndRemovesPlayersAndSavesBeforeEverySwitch) {
    addPlayers({"Ann", "Bo", "Cy"});
    ASSERT_TRUE(players->setCurrentPlayer(players->findPlayer("Bo")->get()));
    showLobby();
    frames(600);
    DialogPlayerSelect* select = openPlayerSelect();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(rows(select), (std::vector<std::wstring>{L"Ann", L"Bo", L"Cy", L"", L""}));
    EXPECT_EQ(select->getSelectedIndex(), 1);
    EXPECT_TRUE(select->getAddButton()->isEnabled());
    EXPECT_TRUE(select->getRemoveButton()->isEnabled());
    const int32_t rowGap = select->getNameButton(1)->getY() - select->getNameButton(0)->getY();
    writeScenePicture(lobby, "player-select");

    // Choosing a row saves the player left behind first.
    QuovelMahjongPlayer::current()->showHints = false;
    click(select->getNameButton(0));
    EXPECT_EQ(currentName(), "Ann");
    EXPECT_EQ(select->getBorder()->getY() + rowGap, select->getNameButton(1)->getY() +
                                                        select->getBorder()->getY() -
                                                        select->getNameButton(0)->getY());
    RefHolder<QuovelMahjongPlayer> reread(new QuovelMahjongPlayer("Bo"));
    ASSERT_TRUE(players->loadPlayer(reread.get()));
    EXPECT_FALSE(reread->showHints);
    // The stored list names the new choice at once.
    RefHolder<PlayerManager> stored(new PlayerManager(players->getVersion(), false));
    stored->loadPlayers();
    EXPECT_TRUE(stored->getCurrentPlayer() && stored->getCurrentPlayer()->getName() == "Ann");

    // An empty row asks for a name over the hidden list; cancel brings the list back. Asked
    // again, the kept name input stands where it stood.
    const std::vector<int32_t> listPlaces = screenPlaces(select);
    click(select->getNameButton(3));
    auto* input = dialog<DialogNameInput>("DIALOG_NEWPLAYER");
    ASSERT_NE(input, nullptr);
    EXPECT_FALSE(select->isVisible());
    const std::vector<int32_t> inputPlaces = screenPlaces(input);
    click(input->findChild("BUTTON_CANCEL"));
    EXPECT_FALSE(lobby->isDialogOpen("DIALOG_NEWPLAYER"));
    EXPECT_TRUE(select->isVisible());
    click(select->getAddButton());
    ASSERT_EQ(dialog<DialogNameInput>("DIALOG_NEWPLAYER"), input);
    EXPECT_EQ(screenPlaces(input), inputPlaces);

    // Enter in an empty field makes nobody but closes the hidden list; after cancel the next
    // "Change player" shows the list in place, with the players as they are now.
    pressEnter();
    EXPECT_EQ(players->getPlayers().size(), 3u);
    EXPECT_FALSE(lobby->isDialogOpen("DIALOG_PLAYERSELECT"));
    click(input->findChild("BUTTON_CANCEL"));
    players->addPlayer(new QuovelMahjongPlayer("Di"));
    select = openPlayerSelect();
    ASSERT_NE(select, nullptr);
    EXPECT_TRUE(select->isVisible());
    EXPECT_EQ(rows(select), (std::vector<std::wstring>{L"Ann", L"Bo", L"Cy", L"Di", L""}));
    EXPECT_EQ(screenPlaces(select), listPlaces);
    players->removePlayer("Di");
    select->rebuildList();

    // A known name selects that player; one differing in case is a new player.
    click(select->getAddButton());
    type(L"Cy");
    pressEnter();
    frames(600);
    EXPECT_EQ(players->getPlayers().size(), 3u);
    EXPECT_EQ(currentName(), "Cy");
    EXPECT_EQ(welcome(), L"Welcome, Cy");
    EXPECT_FALSE(lobby->isDialogOpen("DIALOG_PLAYERSELECT"));
    select = openPlayerSelect();
    click(select->getAddButton());
    type(L"cy");
    pressEnter();
    frames(600);
    EXPECT_EQ(players->getPlayers().size(), 4u);
    EXPECT_EQ(currentName(), "cy");

    // Removing the current player in the last row makes the row before current.
    select = openPlayerSelect();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->getSelectedIndex(), 3);
    click(select->getRemoveButton());
    auto* question = dialog<DialogYesNo>("TEXT_REMOVE_PLAYER");
    ASSERT_NE(question, nullptr);
    click(question->getYesButton());
    EXPECT_EQ(currentName(), "Cy");
    EXPECT_EQ(rows(select), (std::vector<std::wstring>{L"Ann", L"Bo", L"Cy", L"", L""}));
    EXPECT_FALSE(std::filesystem::exists(players->getPlayerFilePath("cy")));
    EXPECT_FALSE(lobby->isDialogOpen("TEXT_REMOVE_PLAYER"));

    // Removing the first row's player makes the second current; with one left, no removal.
    click(select->getNameButton(0));
    click(select->getRemoveButton());
    click(dialog<DialogYesNo>("TEXT_REMOVE_PLAYER")->getYesButton());
    EXPECT_EQ(currentName(), "Bo");
    EXPECT_EQ(rows(select), (std::vector<std::wstring>{L"Bo", L"Cy", L"", L"", L""}));
    click(select->getRemoveButton());
    click(dialog<DialogYesNo>("TEXT_REMOVE_PLAYER")->getYesButton());
    EXPECT_FALSE(select->getRemoveButton()->isEnabled());
    click(select->findChild("BUTTON_OK"));
    frames(600);
    EXPECT_EQ(welcome(), L"Welcome, Cy");
}

TEST_F(LobbyRoad, CancelAfterTheListWasDroppedAndRemovalWithTheCurrentPlayerBeyondTheRows) {
    addPlayers({"P1", "P2", "P3", "P4", "P5", "P6", "P7"});
    ASSERT_TRUE(players->setCurrentPlayer(players->findPlayer("P7")->get()));
    showLobby();
    DialogPlayerSelect* select = openPlayerSelect();
    ASSERT_NE(select, nullptr);
    EXPECT_FALSE(select->getAddButton()->isEnabled());
    // The current player is not among the five rows shown: nothing is selected, and a
    // confirmed removal removes nobody.
    EXPECT_EQ(select->getSelectedIndex(), -100);
    select->onRemoveConfirmed(nullptr);
    EXPECT_EQ(players->getPlayers().size(), 7u);
    EXPECT_EQ(currentName(), "P7");

    // The list is closed and dropped while the name input it opened is up: cancel must not
    // bring back a dialog the scene no longer holds.
    for (const char* name : {"P6", "P5", "P4"}) {
        players->removePlayer(name);
    }
    select->rebuildList();
    click(select->getAddButton());
    auto* input = dialog<DialogNameInput>("DIALOG_NEWPLAYER");
    ASSERT_NE(input, nullptr);
    lobby->closeDialog(select);
    lobby->dropDialog("DIALOG_PLAYERSELECT");
    select = nullptr;
    frames(50);
    click(input->findChild("BUTTON_CANCEL"));
    ASSERT_NE(input->getParentDialog(), nullptr);
    EXPECT_FALSE(input->getParentDialog()->isVisible());
    EXPECT_EQ(lobby->findDialog("DIALOG_PLAYERSELECT"), nullptr);
}

// The porter's eyes blink over a darkened dialog with one frame of their strip: the picture
// with the eyes differs from the one without them only inside one frame's place.
TEST_F(LobbyRoad, ThePortersEyesShowOneFrameOfTheirStripOverADarkenedDialog) {
    addPlayers({"Ann"});
    showLobby();
    ASSERT_NE(openPlayerSelect(), nullptr);
    auto* eyes = objectCast<Sprite>(lobby->findChild("EYES"));
    for (int32_t waited = 0; !eyes->isVisible() && waited < 6000; waited += FRAME_MS) {
        frames(FRAME_MS);
    }
    RefHolder<Image> blinking = writeScenePicture(lobby, "lobby-eyes-blinking");
    eyes->setVisible(false);
    RefHolder<Image> open = writeScenePicture(lobby, "lobby-eyes-open");
    const Rect strip{eyes->getX(), eyes->getY(), eyes->getImage()->getWidth(), eyes->getHeight()};
    int inside = 0, outside = 0;
    for (int32_t y = strip.y; y < strip.y + strip.h; ++y) {
        for (int32_t x = strip.x; x < strip.x + strip.w; ++x) {
            if (testpixels::colorAt(blinking.get(), x, y) !=
                testpixels::colorAt(open.get(), x, y)) {
                ++(x < strip.x + strip.w / 3 ? inside : outside);
            }
        }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}

}  // namespace scene_lobby_test
