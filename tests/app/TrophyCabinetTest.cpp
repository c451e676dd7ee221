// The trophy cabinet as the game authors it (its definitions, pictures, texts and the level
// catalogue): the cabinet of a new player and of a player with won trophies and rooms, the
// window hit test and room texts, hovering, the award sequence with its order and landing
// times, the figures in the trophy texts, the roads out with the opener's callback, and a
// trophy file shorter than the cabinet. Pictures of the cabinet and of an award in flight are
// written under build/pictures/gui.
#include "app/ChoiceDialogsFixture.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/PlayerManager.h"
#include "game/dialogs/DialogRoomInfo.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/dialogs/DialogTrophyText.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/screen/GameDialogHost.h"
#include "gui/TextLayoutAudit.h"
#include "testsupport/platform/PixelAccess.h"

namespace trophy_cabinet_test {

constexpr int32_t FADE_AND_PAUSE = 450;

int calls = 0;
void* calledWith = nullptr;

int32_t countTrophyCall(void*, BaseObject* sender) {
    ++calls;
    calledWith = sender;
    return 0;
}

class GameScreenStandIn : public GameDialogHost {
public:
    Scene* getGameScene() const override { return scene; }
    // The cabinet opens on the game screen at the level's end.
    bool isInLevelPhase() const override { return true; }
    Scene* scene = nullptr;

protected:
    void pauseGame() override {}
    void resumeGame() override {}
};

class TrophyCabinetTest : public ChoiceDialogsTest {
protected:
    void SetUp() override {
        ChoiceDialogsTest::SetUp();
        std::vector<std::string> pictures = {"TROPHY_BACKGROUND", "WINDOW_LIGHT", "WINDOW_STAR",
                                             "TROPHY_GOLD", "TROPHY_WON_HEADER"};
        for (const char* piece : {"TL", "T", "TR", "L", "R", "BL", "B", "BR"}) {
            pictures.push_back(std::string("INFO_FRAME_") + piece);
        }
        for (int i = 0; i < DialogTrophy::TROPHY_COUNT; ++i) {
            const std::string key = "TROPHY_" + std::string(i < 10 ? "0" : "") + std::to_string(i);
            pictures.insert(pictures.end(), {key, key + "_UNCLAIMED", key + "_LARGE"});
        }
        loadResources(pictures, "trophy");
        loadResources({"TROPHY_STAR", "FADING_STAR", "TROPHY_PANEL_TOP", "TROPHY_PANEL_FOOT"},
                      "default");
        loadResources({"FONT_SMALL"}, "preloading");
        Random::createInstance(46);
        calls = 0;
        calledWith = nullptr;
    }
    void TearDown() override {
        GameDialogHost::install(nullptr);
        Game::releaseCurrent();
        Random::releaseInstance();
        ChoiceDialogsTest::TearDown();
    }

    Trophy* trophy(int32_t i) { return player().getTrophies().getTrophy(i); }
    Trophy* trophy(TrophyId id) { return player().getTrophies().getTrophy(id); }
    // The cabinet showIfNew opened (getDialog would close it).
    DialogTrophy* cabinet() { return objectCast<DialogTrophy>(scene->findDialog("DIALOG_TROPHY")); }
    DialogTrophy* openCabinet() {
        auto* dialog = objectCast<DialogTrophy>(scene->getDialog("DIALOG_TROPHY"));
        if (dialog) {
            scene->openDialog(dialog);
        }
        return dialog;
    }
    void pointAt(int32_t x, int32_t y) {
        events.cursorX = x;
        events.cursorY = y;
        GameWindow::getInstance()->windowProcedure({WM_MOUSEMOVE, 0, packCoordinates(x, y)});
    }
    static int32_t childCount(GameNode* layer) {
        int32_t n = 0;
        for (GameNode* child = layer->getFirstChild(); child; child = child->getNextSibling()) {
            n += child->isRemoved() ? 0 : 1;
        }
        return n;
    }
    static Sprite* childTagged(GameNode* layer, int32_t tag) {
        for (GameNode* child = layer->getFirstChild(); child; child = child->getNextSibling()) {
            if (child->getTag() == tag && !child->isRemoved()) {
                return objectCast<Sprite>(child);
            }
        }
        return nullptr;
    }
    static Image* image(const std::string& key, const std::string& section) {
        ResourceManager::DataLock lock;
        return objectCast<Image>(findLoadedResource(key, section));
    }
    // A won room of floor f, room r; `best` its best score.
    void winRoom(int32_t floor, int32_t room, int32_t best) {
        RoomRecord* record = player().getStats().roomRecord(floor, room);
        record->levelWinCount = 1;
        record->bestScore = best;
    }
    static int32_t gold(int32_t floor, int32_t room) {
        return LevelCatalog::instance()->findLevel(floor, room)->getGold();
    }
};

TEST_F(TrophyCabinetTest, ANewPlayersCabinetShowsTwentyUnclaimedTrophiesAndNoLitWindow) {
    // Nothing new: showIfNew opens nothing.
    EXPECT_FALSE(DialogTrophy::showIfNew({nullptr, &countTrophyCall}));
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY"));

    DialogTrophy* dialog = openCabinet();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isRevealRunning());
    frames(FADE_AND_PAUSE + 20);
    // Nothing won: the reveal ends at once and hovering works straight after the fade.
    EXPECT_FALSE(dialog->isRevealRunning());
    EXPECT_EQ(childCount(dialog->getTrophyLayer()), 20);
    EXPECT_EQ(childCount(dialog->getPlaceholderLayer()), 0);
    EXPECT_EQ(childCount(dialog->getWindowLayer()), 0);
    Sprite* first = childTagged(dialog->getTrophyLayer(), 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getImage(), image("TROPHY_00_UNCLAIMED", "trophy"));
    EXPECT_EQ(first->getX(), 75);
    EXPECT_EQ(first->getY(), 110);
    // Both text boxes opened with the cabinet.
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_TROPHY_TEXT"));
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_ROOM_INFO"));
    RefHolder<Image> shown = writeScenePicture(scene.get(), "trophy_cabinet_new_player");
    // Row 5 is wall over the roof and its sign, as 256 pixels (16 grain lines) to the left.
    const uint8_t* row = shown->getPixels() + 5 * shown->getPitch();
    EXPECT_EQ(std::memcmp(row + 276 * 4, row + 20 * 4, 248 * 4), 0);

    // An unclaimed trophy under the pointer blinks and shows its texts.
    pointAt(75, 110);
    frames(20);
    ASSERT_NE(dialog->getTrophyText(), nullptr);
    EXPECT_EQ(dialog->getTrophyText()->getHeaderLabel()->getText(), L"Steady Hand");
    frames(700);
    EXPECT_LT(first->getAlpha(), 255);
    EXPECT_EQ(childCount(dialog->getSparkleLayer()), 0);
}

TEST_F(TrophyCabinetTest, WonTrophiesAppearOneAfterTheOtherAndWonRoomsLightTheirWindows) {
    for (int32_t i : {0, 7, 10, 13, 19}) {
        trophy(i)->state = Trophy::SEEN;
    }
    trophy(TrophyId::TEN_BONUSES)->state = Trophy::HELD_BACK;  // held back: still shown unclaimed
    player().getStats().quovelRecord = 1234567;
    winRoom(1, 1, gold(1, 1));      // exactly gold: a starred window
    winRoom(1, 2, gold(1, 2) - 1);  // just below: a lit one
    winRoom(20, 3, 0);
    winRoom(20, 5, 0);
    player().getStats().roomRecord(3, 3)->bestScore = gold(3, 3);  // played, never won: dark

    DialogTrophy* dialog = openCabinet();
    ASSERT_NE(dialog, nullptr);
    frames(FADE_AND_PAUSE);
    // The five won trophies fade in over 100 ms and grow over 200 ms, 100 ms apart.
    EXPECT_TRUE(dialog->isRevealRunning());
    EXPECT_EQ(childCount(dialog->getPlaceholderLayer()), 5);
    Sprite* second = childTagged(dialog->getTrophyLayer(), 7);
    Sprite* third = childTagged(dialog->getTrophyLayer(), 10);
    Sprite* last = childTagged(dialog->getTrophyLayer(), 19);
    ASSERT_TRUE(second && third && last);
    EXPECT_EQ(third->getImage(), image("TROPHY_10", "trophy"));
    frames(150);
    EXPECT_GT(second->getAlpha(), 0);
    EXPECT_EQ(third->getAlpha(), 0);
    frames(200);
    EXPECT_EQ(second->getAlpha(), 255);
    EXPECT_GT(third->getAlpha(), 0);
    frames(200);
    EXPECT_TRUE(dialog->isRevealRunning());  // the last one is still growing
    frames(100);
    EXPECT_FALSE(dialog->isRevealRunning());
    EXPECT_EQ(childCount(dialog->getPlaceholderLayer()), 0);
    EXPECT_FLOAT_EQ(last->getScale(), 1.0f);
    // Fifteen unclaimed pictures (the held-back trophy among them) and five won ones.
    EXPECT_EQ(childCount(dialog->getTrophyLayer()), 20);
    EXPECT_EQ(childTagged(dialog->getTrophyLayer(), 4)->getImage(),
              image("TROPHY_04_UNCLAIMED", "trophy"));

    // Windows: a star for the gold room, light for the others, in the grid of the building.
    ASSERT_EQ(childCount(dialog->getWindowLayer()), 4);
    auto* star = objectCast<Sprite>(dialog->getWindowLayer()->getFirstChild());
    EXPECT_EQ(star->getImage(), image("WINDOW_STAR", "trophy"));
    EXPECT_EQ(star->getX(), 298);
    EXPECT_EQ(star->getY(), 490);
    auto* lit = objectCast<Sprite>(star->getNextSibling());
    EXPECT_EQ(lit->getImage(), image("WINDOW_LIGHT", "trophy"));
    EXPECT_EQ(lit->getX(), 323);
    auto* top = objectCast<Sprite>(dialog->getWindowLayer()->getLastChild());
    EXPECT_EQ(top->getX(), 488);
    EXPECT_EQ(top->getY(), 34);
    EXPECT_NE(writeScenePicture(scene.get(), "trophy_cabinet_five_trophies"), nullptr);

    // Hovering the top-right window names room 205; the gold room reads gold, a room played
    // to gold but never won reads gold as well, as the legend goes by the score.
    pointAt(508, 34);
    frames(20);
    EXPECT_EQ(dialog->getHoveredRoom(), 5);
    EXPECT_EQ(dialog->getHoveredFloor(), 20);
    DialogRoomInfo* info = dialog->getRoomInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->getTextLabel()->getText(), L"Room 205: won");
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::APPEARING);
    frames(2 * tuning().INFO_DIALOGS_ANIM_TIME + 20);
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::SHOWN);
    // The box leaves the building whole, the lit windows at its top among it.
    RefHolder<Image> beforeHover = expectClearPicture(scene.get(), "trophy_cabinet_room_info");
    // Straight off the building to the legend, no trophy on the way: the box goes in time.
    pointAt(100, 580);
    frames(tuning().TROPHY_DIALOG_TIME + 3 * tuning().INFO_DIALOGS_ANIM_TIME);
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::HIDDEN);
    EXPECT_EQ(auditTextLayout(scene->getTree(), 800, 600), std::vector<std::string>());
    // The longest room text, of the gold room, fits beside the building as well.
    pointAt(308, 500);
    frames(2 * tuning().INFO_DIALOGS_ANIM_TIME + 20);
    EXPECT_EQ(info->getTextLabel()->getText(), L"Room 11: won with a gold score");
    EXPECT_EQ(auditTextLayout(scene->getTree(), 800, 600), std::vector<std::string>());
    pointAt(508, 34);
    frames(2 * tuning().INFO_DIALOGS_ANIM_TIME + 20);
    EXPECT_EQ(DialogTrophy::roomText(1, 1), L"Room 11: won with a gold score");
    EXPECT_EQ(DialogTrophy::roomText(1, 3), L"Room 13: not won yet");
    EXPECT_EQ(DialogTrophy::roomText(3, 3), L"Room 33: won with a gold score");

    // A won trophy: ten stars circle it and its text shows the record grouped in thousands.
    Sprite* record = childTagged(dialog->getTrophyLayer(), 13);
    pointAt(record->getX(), record->getY());
    frames(20);
    EXPECT_EQ(dialog->getHoveredRoom(), -1);
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::HIDDEN);
    EXPECT_EQ(childCount(dialog->getSparkleLayer()), 10);
    const std::wstring separator = getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL");
    const std::wstring body = dialog->getTrophyText()->getTextLabel()->getText();
    EXPECT_NE(body.find(L"1" + separator + L"234" + separator + L"567"), std::wstring::npos)
        << wstringToString(body);
    frames(2 * tuning().INFO_DIALOGS_ANIM_TIME + 20);
    EXPECT_EQ(dialog->getTrophyText()->getPopState(), DialogTrophyText::SHOWN);
    RefHolder<Image> hovered = writeScenePicture(scene.get(), "trophy_cabinet_hover");
    // The box leaves the gold cup under the building whole.
    for (const std::string& problem : auditTextLayout(scene->getTree(), 800, 600)) {
        EXPECT_EQ(problem.find("SPRITE_EMITTER"), std::string::npos) << problem;
    }
    // The text box leaves the legend under the shelves as it was.
    auto* legend = objectCast<Sprite>(dialog->findChild("LEGEND_GOLD"));
    for (int32_t y = legend->getAbsoluteY() - 8; y < 600; ++y) {
        for (int32_t x = 0; x < legend->getAbsoluteX() + legend->getWidth(); ++x) {
            ASSERT_EQ(testpixels::colorAt(beforeHover.get(), x, y),
                      testpixels::colorAt(hovered.get(), x, y))
                << x << "," << y;
        }
    }

    // Away from everything the texts stay for TROPHY_DIALOG_TIME, then go.
    pointAt(5, 5);
    frames(tuning().TROPHY_DIALOG_TIME - 100);
    EXPECT_EQ(childCount(dialog->getSparkleLayer()), 0);
    EXPECT_EQ(dialog->getTrophyText()->getPopState(), DialogTrophyText::SHOWN);
    frames(200);
    EXPECT_EQ(dialog->getTrophyText()->getPopState(), DialogTrophyText::FADING);
    frames(3 * tuning().INFO_DIALOGS_ANIM_TIME);
    EXPECT_EQ(dialog->getTrophyText()->getPopState(), DialogTrophyText::HIDDEN);
}

TEST_F(TrophyCabinetTest, TheWindowHitTestKnowsTheGridAndItsGaps) {
    int32_t room = 0;
    int32_t floor = 0;
    DialogTrophy::hitTestWindow(320, 490, room, floor);
    EXPECT_EQ(room, -1);
    EXPECT_EQ(floor, -1);
    DialogTrophy::hitTestWindow(508, 34, room, floor);
    EXPECT_EQ(room, 5);
    EXPECT_EQ(floor, 20);
    DialogTrophy::hitTestWindow(298, 510, room, floor);  // below the building
    EXPECT_EQ(room, -1);
    DialogTrophy::hitTestWindow(400, 500, room, floor);
    EXPECT_EQ(room, 3);
    EXPECT_EQ(floor, 1);
    DialogTrophy::hitTestWindow(400, 488, room, floor);  // between floors 1 and 2
    EXPECT_EQ(floor, -1);
}

TEST_F(TrophyCabinetTest, NewTrophiesAreAwardedFromTheHighestDownAndLandEvery4600Ms) {
    for (int32_t i : {2, 5, 9}) {
        trophy(i)->state = Trophy::EARNED;
    }
    ASSERT_TRUE(DialogTrophy::showIfNew({nullptr, &countTrophyCall}));
    DialogTrophy* dialog = cabinet();
    ASSERT_TRUE(scene->isDialogOpen("DIALOG_TROPHY"));
    EXPECT_EQ(trophy(TrophyId::REC_ROOM_ALL_TYPES)->state, Trophy::ANNOUNCED);
    EXPECT_EQ(dialog->getNewTrophies(), (std::vector<int32_t>{2, 5, 9}));
    frames(FADE_AND_PAUSE);
    // The header slides in and the fountain rises; the first award comes 800 ms later.
    EXPECT_TRUE(dialog->getWonHeader()->isVisible());
    EXPECT_EQ(childCount(dialog->getStarLayer()), tuning().TROPHY_STAR_COUNT);
    frames(760);
    EXPECT_EQ(dialog->getCurrentTrophy(), DialogTrophy::NO_TROPHY);
    // Each award is sampled just after it starts; the one before has landed by then.
    std::vector<int32_t> order;
    Sprite* previous = nullptr;
    const auto expectLanded = [&](Sprite* sprite, int32_t index) {
        const std::string key = "TROPHY_0" + std::to_string(index);
        EXPECT_EQ(sprite->getImage(), image(key, "trophy"));
        EXPECT_EQ(sprite->getX(), trophy(index)->getInfo(0).x);
        EXPECT_EQ(childTagged(dialog->getPlaceholderLayer(), index), nullptr);
    };
    for (int32_t n = 0; n < 3; ++n) {
        frames(40);
        if (previous) {
            expectLanded(previous, order.back());
        }
        order.push_back(dialog->getCurrentTrophy());
        Sprite* flying = childTagged(dialog->getTrophyLayer(), order.back());
        ASSERT_NE(flying, nullptr);
        EXPECT_EQ(flying->getImage(),
                  image("TROPHY_0" + std::to_string(order.back()) + "_LARGE", "trophy"));
        EXPECT_EQ(childTagged(dialog->getPlaceholderLayer(), order.back())->getImage(),
                  image("TROPHY_0" + std::to_string(order.back()) + "_UNCLAIMED", "trophy"));
        if (n == 0) {
            frames(2000);
            EXPECT_TRUE(dialog->getAwardPanel()->isVisible());
            EXPECT_EQ(dialog->getHeaderLabel()->getText(), L"Rec Room Regular");
            EXPECT_NE(writeScenePicture(scene.get(), "trophy_award_in_flight"), nullptr);
            frames(2520);
        } else {
            frames(4520);
        }
        EXPECT_EQ(dialog->getCurrentTrophy(), order.back());  // not yet landed
        previous = flying;
    }
    pointAt(403, 404);  // room 53's window
    frames(40);
    expectLanded(previous, order.back());
    EXPECT_EQ(order, (std::vector<int32_t>{9, 5, 2}));
    // After the last landing the sequence ends, the fountain dies out and the reveal is over.
    EXPECT_EQ(dialog->getCurrentTrophy(), DialogTrophy::NO_TROPHY);
    EXPECT_FALSE(dialog->getRoomInfo()->isVisible()) << "over the banner sliding out";
    frames(2000);
    EXPECT_EQ(childCount(dialog->getStarLayer()), 0);
    EXPECT_FALSE(dialog->isRevealRunning());
    EXPECT_FALSE(dialog->getWonHeader()->isVisible());
    for (int32_t i : {2, 5, 9}) {
        EXPECT_EQ(trophy(i)->state, Trophy::SEEN);
    }
    EXPECT_EQ(childCount(dialog->getTrophyLayer()), 20);
}

TEST_F(TrophyCabinetTest, TheAwardPanelShowsTheRecordInPlainDigitsAndFitsTwoLines) {
    trophy(TrophyId::BIG_SCORE)->state = Trophy::EARNED;
    player().getStats().quovelRecord = 123456;
    ASSERT_TRUE(DialogTrophy::showIfNew({nullptr, &countTrophyCall}));
    DialogTrophy* dialog = cabinet();
    frames(FADE_AND_PAUSE + 800 + 1020);
    ASSERT_EQ(dialog->getCurrentTrophy(), 13);
    Label* description = dialog->getDescriptionLabel();
    EXPECT_NE(description->getText().find(L"123456."), std::wstring::npos)
        << wstringToString(description->getText());
    EXPECT_LE(description->getLines().size(), 2u);
    EXPECT_GE(dialog->getAwardPanel()->getWidth(), description->getWidth() + 60);
    // The panel is centred under the header label.
    EXPECT_EQ(dialog->getAwardPanel()->getX(), 400);
    EXPECT_EQ(dialog->getAwardPanel()->getY(), dialog->getHeaderLabel()->getY() - 20);
}

TEST_F(TrophyCabinetTest, TheOpenersCallbackRunsOnceOnEveryRoadOut) {
    // Another scene (a transition's target, the lobby...): once, after the fade-out.
    trophy(TrophyId::SPLIT_NO_SHUFFLE)->state = Trophy::SEEN;
    DialogTrophy* dialog = openCabinet();
    dialog->setCallback(this, &countTrophyCall);
    frames(FADE_AND_PAUSE + 400);
    click(dialog, objectCast<Sprite>(dialog->findChild("BUTTON_MENU")));
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY_TEXT"));
    frames(tuning().DIALOG_FADE_TIME + 100);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY"));

    // The hallway: at the button, and not again after the fade-out.
    calls = 0;
    scenes->addScene("SCENE_HALLWAY", scene.get());
    trophy(TrophyId::PLENTY_OF_TIME)->state = Trophy::EARNED;
    ASSERT_TRUE(DialogTrophy::showIfNew({this, &countTrophyCall}));
    dialog = cabinet();  // the closed cabinet left its scene: a new one was made
    ASSERT_NE(dialog, nullptr);
    frames(FADE_AND_PAUSE + 4600 + 800 + 1000);
    click(dialog, objectCast<Sprite>(dialog->findChild("BUTTON_MENU")));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(calledWith, dialog);
    frames(tuning().DIALOG_FADE_TIME + 100);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY"));
}

TEST_F(TrophyCabinetTest, InTheGameAWonCasinoClosesTheCabinetAndAWonFloorOnlyCallsBack) {
    GameScreenStandIn screen;
    screen.scene = scene.get();
    GameDialogHost::install(&screen);
    Game* game = Game::create(TYPE_CLASSIC);
    ASSERT_NE(game, nullptr);
    RefHolder<Level> level = LevelCatalog::instance()->findLevel(1, 1);
    game->setLevel(level.get());
    game->setHasWon(true);

    // A won floor level: the callback runs and the cabinet stays for the opener to handle.
    DialogTrophy* dialog = openCabinet();
    dialog->setCallback(this, &countTrophyCall);
    frames(FADE_AND_PAUSE + 20);
    click(dialog, objectCast<Sprite>(dialog->findChild("BUTTON_MENU")));
    EXPECT_EQ(calls, 1);
    frames(tuning().DIALOG_FADE_TIME + 100);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_TROPHY"));
    EXPECT_FALSE(dialog->isClosing());

    // A won casino game: the cabinet closes and the callback runs once, at the button.
    calls = 0;
    level->setGameMode(RoomKind::CASINO);
    click(dialog, objectCast<Sprite>(dialog->findChild("BUTTON_MENU")));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(dialog->isClosing());
    frames(tuning().DIALOG_FADE_TIME + 100);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY"));
    EXPECT_TRUE(screen.getOpenDialogs().empty());
}

TEST_F(TrophyCabinetTest, ATrophyFileShorterThanTheCabinetIsShownAsFarAsItGoes) {
    TrophyList& list = player().getTrophies();
    list.trophies.resize(3);
    list.getTrophy(TrophyId::SPLIT_NO_SHUFFLE)->infos.resize(1);  // no award entry
    list.getTrophy(TrophyId::SPLIT_NO_SHUFFLE)->state = Trophy::EARNED;
    list.getTrophy(TrophyId::PLENTY_OF_TIME)->state = Trophy::SEEN;
    ASSERT_TRUE(DialogTrophy::showIfNew({nullptr, &countTrophyCall}));
    DialogTrophy* dialog = cabinet();
    frames(FADE_AND_PAUSE + 800 + 4600 + 2000);
    EXPECT_EQ(dialog->getCurrentTrophy(), DialogTrophy::NO_TROPHY);
    EXPECT_EQ(childCount(dialog->getTrophyLayer()), 3);
    EXPECT_EQ(list.getTrophy(TrophyId::SPLIT_NO_SHUFFLE)->state, Trophy::SEEN);
    // Hovering the trophy without texts shows empty texts.
    Sprite* shown = childTagged(dialog->getTrophyLayer(), 2);
    ASSERT_NE(shown, nullptr);
    pointAt(shown->getX(), shown->getY());
    frames(20);
    EXPECT_EQ(childCount(dialog->getSparkleLayer()), 10);
}

TEST_F(TrophyCabinetTest, ClosedAtAnyMomentOfTheAwardTheCabinetStopsAndShowsTheRestNextTime) {
    // Closed during the fade-in, while the fountain waits for the first award, with each new
    // trophy in the air, and during the reveal that follows; by the menu button once it takes
    // clicks, else directly.
    struct Moment {
        int32_t at;
        bool byButton;
    };
    const int32_t firstAward = FADE_AND_PAUSE + 800;
    const Moment moments[] = {{200, false},
                              {FADE_AND_PAUSE + 300, false},
                              {FADE_AND_PAUSE + 300, true},
                              {firstAward + 2000, true},
                              {firstAward + 4600 + 1000, false},
                              {firstAward + 2 * 4600 + 50, true}};
    trophy(TrophyId::SPLIT_NO_SHUFFLE)->state = Trophy::SEEN;
    for (const Moment& moment : moments) {
        SCOPED_TRACE(moment.at);
        SCOPED_TRACE(moment.byButton ? "by the button" : "directly");
        for (int32_t i : {3, 8}) {
            trophy(i)->state = Trophy::EARNED;
        }
        calls = 0;
        ASSERT_TRUE(DialogTrophy::showIfNew({this, &countTrophyCall}));
        // Kept past its close, to see that nothing goes on behind it.
        RefHolder<DialogTrophy> dialog(cabinet());
        ASSERT_NE(dialog.get(), nullptr);
        frames(moment.at);
        if (moment.byButton) {
            click(dialog.get(), objectCast<Sprite>(dialog->findChild("BUTTON_MENU")));
        } else {
            dialog->closeCabinet();
        }
        EXPECT_TRUE(dialog->isClosing());
        EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY_TEXT"));
        EXPECT_FALSE(scene->isDialogOpen("DIALOG_ROOM_INFO"));
        // Closed during the fade-in, it fades out once it is in.
        frames(FADE_AND_PAUSE + tuning().DIALOG_FADE_TIME + 100);
        EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY"));
        frames(12000);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(dialog->getCurrentTrophy(), DialogTrophy::NO_TROPHY);
        EXPECT_TRUE(dialog->getNewTrophies().empty());
        EXPECT_EQ(childCount(dialog->getTrophyLayer()), 0);
        EXPECT_EQ(childCount(dialog->getStarLayer()), 0);
        EXPECT_FALSE(dialog->getAwardPanel()->isVisible());
        EXPECT_FALSE(dialog->getHeaderLabel()->isVisible());

        // The trophies the close cut short are won all the same: the next opening shows them
        // on their shelves without an award.
        DialogTrophy* again = openCabinet();
        ASSERT_NE(again, nullptr);
        ASSERT_NE(again, dialog.get());
        frames(FADE_AND_PAUSE + 600);
        EXPECT_EQ(again->getCurrentTrophy(), DialogTrophy::NO_TROPHY);
        EXPECT_FALSE(again->isRevealRunning());
        for (int32_t i : {1, 3, 8}) {
            EXPECT_EQ(trophy(i)->state, Trophy::SEEN) << i;
            Sprite* shown = childTagged(again->getTrophyLayer(), i);
            ASSERT_NE(shown, nullptr) << i;
            EXPECT_EQ(shown->getImage(), image("TROPHY_0" + std::to_string(i), "trophy")) << i;
        }
        again->closeCabinet();
        frames(tuning().DIALOG_FADE_TIME + 100);
        ASSERT_FALSE(scene->isDialogOpen("DIALOG_TROPHY"));
        // Written as seen when the cabinet closes: a kill now does not show them again.
        RefHolder<QuovelMahjongPlayer> stored(new QuovelMahjongPlayer("Ann"));
        ASSERT_TRUE(PlayerManager::getInstance()->loadPlayer(stored.get()));
        EXPECT_EQ(stored->getTrophies().getTrophy(TrophyId::SPEED_FREAK)->state, Trophy::SEEN);
    }

    // Nothing holds the cabinet: what ran behind a closed one would run on freed memory.
    for (int32_t at : {200, FADE_AND_PAUSE + 300, firstAward + 2000}) {
        trophy(TrophyId::SPEED_FREAK)->state = Trophy::EARNED;
        ASSERT_TRUE(DialogTrophy::showIfNew({nullptr, nullptr}));
        frames(at);
        cabinet()->closeCabinet();
        frames(12000);
        EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY")) << at;
        EXPECT_EQ(trophy(TrophyId::SPEED_FREAK)->state, Trophy::ANNOUNCED) << at;
    }
}

}  // namespace trophy_cabinet_test
