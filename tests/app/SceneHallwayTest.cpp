// The hallway driven frame by frame on the game's own definitions, hallway file, art and level
// catalogue: a floor built from its definition with each door recoloured on a fresh copy of the
// picture, the room preview following the mouse from door to door and closing half a second
// after it leaves, entering a room by a click, a new medal landing after a win, and the
// floor-end sequence leading to the lift. Pictures go to build/pictures/gui.

#include "app/GameServicesFixture.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/iText.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/dialogs/DialogRoomPreview.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "gui/HeadlessPicture.h"

namespace scene_hallway_test {

uint32_t pixelAt(Image* image, int32_t x, int32_t y) {
    const uint8_t* row = image->getPixels() + int64_t{y} * image->getPitch();
    return *reinterpret_cast<const uint32_t*>(row + int64_t{x} * 4) & 0xFFFFFFu;
}

class HallwayTest : public SceneTest {
protected:
    HallwayTest() {
        startServices({.seed = 43,
                       .sections = {"preloading", "default", "hallway", "manual"},
                       .tiles = true});
        player->floorReached = 1;
        player->showHints = false;
        elevator = objectCast<SceneElevator>(manager->createScene("SCENE_ELEVATOR"));
        game = manager->createScene("SCENE_GAME");
        hallway = objectCast<SceneHallway>(manager->createScene("SCENE_HALLWAY"));
        gameScenes().elevator = elevator;
    }

    // The hallway of the floor made current, as the lift leaves it; run until it is ready.
    void arrive(int32_t floor) {
        hallway->setFloor(floor);
        manager->requestScene(hallway);
        ASSERT_TRUE(reach(hallway));
        ASSERT_GE(runUntil([&] { return hallway->isInputEnabled(); }, 6000), 0);
    }
    // Runs until the scene is the one the frames run, its sections loaded on the way.
    bool reach(Scene* scene) {
        waitForLoader(resources);
        return runUntil([&] { return manager->getRunningScene() == scene; }, 5000) >= 0;
    }
    void move(int32_t x, int32_t y) { hallway->getInputHandler()->onMouseMove(x, y, 0); }
    void click(GameNode* node, Scene* scene = nullptr) {
        auto* sprite = objectCast<Sprite>(node);
        clickMiddle(scene ? scene : hallway, sprite, sprite->getWidth(), sprite->getHeight());
    }
    RefHolder<Level> level(int32_t floor, int32_t door) {
        return LevelCatalog::instance()->findLevel(floor, door);
    }
    RoomRecord& record(int32_t floor, int32_t door) {
        return *player->getStats().roomRecord(floor, door);
    }
    // A win of the room as the level end leaves the records.
    void win(int32_t floor, int32_t door, int32_t score) {
        RoomRecord& room = record(floor, door);
        room.levelWinCount += 1;
        room.playCount += 1;
        room.bestScore = std::max(room.bestScore, score);
    }

    // Rooms 1 to 4 of floor 1 won (room 3 exactly at gold), then room 5 entered and won, as
    // the level end leaves it: back in the hallway with the floor just completed.
    void completeFloorOne() {
        for (int32_t d = 1; d <= 4; ++d) {
            win(1, d, level(1, d)->getSilver() - 1);
        }
        win(1, 3, level(1, 3)->getGold());
        arrive(1);
        click(hallway->getDoor(5));
        ASSERT_TRUE(reach(game));
        win(1, 5, level(1, 5)->getSilver());
        player->floorReached = 2;
        player->setRoomWon(0);
        // The level end asks for the hallway's section again (Game::returnToRoom).
        resources->requestSectionLoad("hallway");
        manager->requestScene(hallway);
        ASSERT_TRUE(reach(hallway));
    }

    SceneElevator* elevator = nullptr;
    Scene* game = nullptr;
    SceneHallway* hallway = nullptr;
};

TEST_F(HallwayTest, AFloorIsBuiltFromItsDefinitionWithEachDoorRecolouredOnAFreshCopy) {
    ASSERT_NE(hallway, nullptr);
    arrive(12);
    // Floor 12 uses the second definition: its doors, plates and picture.
    EXPECT_EQ(hallway->getDefinitionIndex(), 1);
    Button* door5 = hallway->getDoor(5);
    EXPECT_EQ(door5->getX(), 656);
    EXPECT_EQ(door5->getY(), 230);
    EXPECT_EQ(door5->getWidth(), 104);
    EXPECT_EQ(door5->getHeight(), 214);
    EXPECT_EQ(hallway->getRoomNumber(5)->getImage(),
              findLoadedResource("ROOM_NUMBER125", "hallway"));
    EXPECT_EQ(hallway->getDoorKnob(5)->getX(), 656 + 104 - 24);
    EXPECT_FLOAT_EQ(hallway->getHue(TYPE_FREECELL), 0.58f);
    EXPECT_EQ(hallway->getPreviewOffset(4).x, 208);
    EXPECT_EQ(hallway->getMedalPosition(3).y, 200 + 62);

    // Each door is shifted by its room's game type; outside the masks the picture is its own.
    Image* original = hallway->getHallwayImage();
    Image* shown = hallway->getBackgroundImage();
    ASSERT_NE(original, nullptr);
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(original, shown);
    int32_t recoloured = 0;
    for (int32_t d = 1; d <= 5; ++d) {
        Button* door = hallway->getDoor(d);
        const int32_t x = door->getX() + 6;
        const int32_t y = door->getY() + door->getHeight() / 2;
        const int32_t type = level(12, d)->getGameType();
        if (hallway->getHue(static_cast<GameType>(type)) != 0.0f) {
            EXPECT_NE(pixelAt(shown, x, y), pixelAt(original, x, y)) << "door " << d;
            ++recoloured;
        } else {
            EXPECT_EQ(pixelAt(shown, x, y), pixelAt(original, x, y)) << "door " << d;
        }
    }
    EXPECT_GE(recoloured, 3);
    EXPECT_EQ(pixelAt(shown, 400, 100), pixelAt(original, 400, 100));
    writeScenePicture(hallway, "hallway-floor12");

    // Shown again, the floor looks the same: the shift starts again from the picture.
    RefHolder<Image> first(shown);
    manager->requestScene(elevator);
    ASSERT_TRUE(reach(elevator));
    arrive(12);
    Image* again = hallway->getBackgroundImage();
    ASSERT_NE(again, first.get());
    for (int32_t d = 1; d <= 5; ++d) {
        Button* door = hallway->getDoor(d);
        EXPECT_EQ(pixelAt(again, door->getX() + 6, door->getY() + 20),
                  pixelAt(first.get(), door->getX() + 6, door->getY() + 20));
    }
}

TEST_F(HallwayTest, ThePreviewFollowsTheMouseFromDoorToDoorAndClosesHalfASecondAfterIt) {
    ASSERT_NE(hallway, nullptr);
    RoomRecord& played = record(1, 3);
    played.bestTime = 65000;
    played.bestScore = 1234567;
    played.playCount = 4;
    played.levelWinCount = 1;
    arrive(1);
    DialogRoomPreview* preview = hallway->getRoomPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->getPreviewState(), DialogRoomPreview::CLOSED);
    const int32_t anim = tuning().INFO_DIALOGS_ANIM_TIME;

    // Door 2: the card grows with door 2's room; a room never played shows dashes and zeros.
    Button* door2 = hallway->getDoor(2);
    move(door2->getX() + 10, door2->getY() + 10);
    EXPECT_EQ(hallway->getHoveredDoor(), door2);
    EXPECT_EQ(preview->getPreviewState(), DialogRoomPreview::OPENING);
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::BESTSCORE)->getText(), L"-");
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::BESTTIME)->getText(), L"-");
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::TIMESCOMPLETED)->getText(), L"0");
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::TIMESPLAYED)->getText(), L"0");
    EXPECT_EQ(preview->getX(), preview->getWidth() / 2 + hallway->getPreviewOffset(2).x);
    run(anim / 2);
    const float halfGrown = preview->getScale();
    EXPECT_GT(halfGrown, 0.0f);
    EXPECT_LT(halfGrown, 1.0f);

    // Straight on to door 3 while it grows: refilled at once, still growing, not restarted.
    Button* door3 = hallway->getDoor(3);
    move(door3->getX() + 10, door3->getY() + 10);
    EXPECT_EQ(hallway->getHoveredDoor(), door3);
    EXPECT_EQ(preview->getPreviewState(), DialogRoomPreview::OPENING);
    EXPECT_GE(preview->getScale(), halfGrown);
    const std::wstring separator = getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL");
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::BESTSCORE)->getText(),
              formatGroupedNumber(1234567, separator));
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::BESTTIME)->getText(), L"1:05");
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::TIMESPLAYED)->getText(), L"4");
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::GOLD)->getText(),
              formatGroupedNumber(static_cast<uint32_t>(level(1, 3)->getGold()), separator));
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::GAMETYPE)->getText(),
              BasicProperties::instance()->getVector("GAMETYPE_HEADERS")->getChildAt(0)->getText());
    // The record is the room's, whatever the level's index says.
    RefHolder<Level> unindexed = level(1, 3);
    unindexed->setIndex(0);
    preview->setGameType(unindexed.get());
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::TIMESPLAYED)->getText(), L"4");
    const auto previewIs = [&](int32_t state) {
        return [&, state] { return preview->getPreviewState() == state; };
    };
    ASSERT_GE(runUntil(previewIs(DialogRoomPreview::OPEN), 3 * anim), 0);
    EXPECT_FLOAT_EQ(preview->getScale(), 1.0f);
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::GOLD)->getAlpha(), 255);
    writeScenePicture(hallway, "hallway-room-preview");

    // Off the doors and back within half a second: the card stays.
    move(400, 500);
    EXPECT_EQ(hallway->getHoveredDoor(), nullptr);
    run(300);
    move(door3->getX() + 10, door3->getY() + 10);
    run(400);
    EXPECT_EQ(preview->getPreviewState(), DialogRoomPreview::OPEN);

    // Off for good: it closes 500 ms later, fades its contents, shrinks and is hidden.
    move(400, 500);
    const int32_t closing =
        runUntil([&] { return preview->getPreviewState() != DialogRoomPreview::OPEN; }, 2000);
    EXPECT_NEAR(closing, SceneHallway::PREVIEW_LINGER_MS, 2 * SCENE_FRAME_MS);
    EXPECT_EQ(preview->getPreviewState(), DialogRoomPreview::FADING_OUT);
    ASSERT_GE(runUntil(previewIs(DialogRoomPreview::CLOSED), 4 * anim), 0);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(preview->getLabel(DialogRoomPreview::GOLD)->getAlpha(), 0);

    // Leaving while it grows: it shrinks from where it stands, without the fade.
    move(door2->getX() + 10, door2->getY() + 10);
    run(anim / 2);
    preview->close();
    EXPECT_EQ(preview->getPreviewState(), DialogRoomPreview::SHRINKING);
}

TEST_F(HallwayTest, ADoorClickStartsItsRoomAndAWinBringsTheMedalBackToTheDoor) {
    ASSERT_NE(hallway, nullptr);
    player->keepSavedGame(new PropertyNode("savedGame"));
    arrive(1);
    writeScenePicture(hallway, "hallway-before-win");
    EXPECT_EQ(player->getStats().firstDoorClicked[0], -1);
    for (int32_t d = 1; d <= 5; ++d) {
        EXPECT_FALSE(hallway->getMedal(d)->isVisible());
    }

    // A room whose layout file cannot be read is told and not entered; nothing is noted.
    auto* floorOne =
        static_cast<PropertyVector*>(LevelCatalog::instance()->getHallway()->getChildAt(0));
    PropertyValue* layout =
        static_cast<PropertyNode*>(floorOne->getChildAt(0))->getChildValue("layout");
    const std::wstring layoutName = layout->getText();
    layout->setText(L"unreadable.xml");
    GameHooks::installMessageBox(&messageBox);
    click(hallway->getDoor(1));
    layout->setText(layoutName);
    GameHooks::installMessageBox(nullptr);
    EXPECT_EQ(Game::current(), nullptr);
    EXPECT_NE(messageBox.shown.at(0).text.find("room is damaged,\nso it cannot"),
              std::string::npos);
    EXPECT_EQ(player->getStats().firstDoorClicked[0], -1);
    EXPECT_NE(manager->getRequestedScene(), game);

    // The knob of door 2 enters room 2: its level in the floors' mode, the first door noted.
    click(hallway->getDoorKnob(2));
    ASSERT_NE(Game::current(), nullptr);
    const Level* entered = Game::current()->getLevel();
    ASSERT_NE(entered, nullptr);
    EXPECT_EQ(entered->getFloor(), 1);
    EXPECT_EQ(entered->getRoom(), 2);
    EXPECT_EQ(entered->getGameMode(), RoomKind::FLOORS);
    EXPECT_EQ(hallway->getChosenDoor(), 2);
    EXPECT_EQ(hallway->getMedalBefore(), -1);
    EXPECT_EQ(player->getStats().firstDoorClicked[0], 2);
    EXPECT_EQ(player->getSavedGame(), nullptr);
    EXPECT_EQ(manager->getRequestedScene(), game);
    ASSERT_TRUE(reach(game));

    // Won below the silver score: back in the hallway the bronze medal lands on door 2 with
    // one flash star left of its centre, the input off until the star has flashed.
    win(1, 2, level(1, 2)->getSilver() - 10);
    manager->requestScene(hallway);
    ASSERT_TRUE(reach(hallway));
    Sprite* medal = hallway->getMedal(2);
    EXPECT_TRUE(medal->isVisible());
    EXPECT_EQ(medal->getImage(), findLoadedResource("MEDAL_BRONZE02", "hallway"));
    EXPECT_EQ(medal->getX(), hallway->getMedalPosition(2).x);
    EXPECT_FALSE(hallway->isInputEnabled());
    EXPECT_FALSE(hallway->getDoor(1)->isEnabled());
    auto* star = objectCast<Sprite>(medal->getFirstChild());
    ASSERT_NE(star, nullptr);
    EXPECT_EQ(star->getNextSibling(), nullptr);
    EXPECT_EQ(star->getX(), -(medal->getWidth() / 4 + 3));
    const int32_t landed = runUntil([&] { return medal->getScale() == 1.0f; }, 1000);
    EXPECT_NEAR(landed, 500, 2 * SCENE_FRAME_MS);
    const int32_t ready = runUntil([&] { return hallway->isInputEnabled(); }, 3000);
    EXPECT_GE(ready, 200 + 80 + 500 - 3 * SCENE_FRAME_MS);
    EXPECT_EQ(hallway->getChosenDoor(), -1);
    EXPECT_EQ(hallway->getMedalBefore(), -1);
    EXPECT_TRUE(hallway->getDoor(1)->isEnabled());
    writeScenePicture(hallway, "hallway-after-win");

    // Entered again with a gold best (gold on equality) and won lower: no animation at all.
    record(1, 2).bestScore = level(1, 2)->getGold();
    click(hallway->getDoor(2));
    EXPECT_EQ(hallway->getMedalBefore(), 2);
    EXPECT_EQ(player->getStats().firstDoorClicked[0], 2);
    ASSERT_TRUE(reach(game));
    win(1, 2, 10);
    manager->requestScene(hallway);
    ASSERT_TRUE(reach(hallway));
    EXPECT_EQ(hallway->getMedal(2)->getImage(), findLoadedResource("MEDAL_GOLD02", "hallway"));
    EXPECT_EQ(hallway->getMedal(2)->getFirstChild(), nullptr);
    EXPECT_TRUE(hallway->isInputEnabled());
}

TEST_F(HallwayTest, TheLastRoomOfAFloorPlaysTheFloorEndAndItsButtonLeadsToTheLift) {
    ASSERT_NE(hallway, nullptr);
    completeFloorOne();
    EXPECT_FALSE(hallway->isInputEnabled());

    // The silver medal with two stars, then the floor end: the plates become star numbers.
    ASSERT_GE(runUntil([&] { return hallway->isClearSequenceRunning(); }, 3000), 0);
    EXPECT_EQ(player->currentFloor, 2);
    EXPECT_EQ(hallway->getRoomNumber(4)->getImage(),
              findLoadedResource("STAR_NUMBER14", "hallway"));
    GameNode* layer = hallway->getFloorEndLayer();
    int32_t stars = 0;
    int32_t full = 0;
    Image* fullImage = objectCast<Image>(findLoadedResource("STAR_FULL", "hallway"));
    for (GameNode* node = layer->getFirstChild(); node; node = node->getNextSibling(), ++stars) {
        full += objectCast<Sprite>(node)->getImage() == fullImage ? 1 : 0;
    }
    EXPECT_EQ(stars, 15);
    EXPECT_EQ(full, 5 + 2 + 1);  // every room won; rooms 3 and 5 silver; room 3 gold

    Button* ok = hallway->getOkButton();
    ASSERT_GE(runUntil([&] { return ok->isVisible(); }, 10000), 0);
    run(600);
    EXPECT_TRUE(hallway->getFloorEndDialog()->isVisible());
    const TuningConstants& tune = tuning();
    EXPECT_EQ(hallway->getRoomNumber(5)->getX(), tune.STARS_LEFT_PADDING + 4 * tune.STAR_WIDTH);
    EXPECT_EQ(hallway->getRoomNumber(5)->getY(), tune.STAR_Y);
    EXPECT_FALSE(hallway->getMedal(1)->isVisible());
    EXPECT_EQ(hallway->getDoor(1)->isEnabled(), false);
    // The win and the floor end's text read one entry of the floors' unlocks (the lift's in
    // LevelFlowTest).
    const int32_t item = floorUnlockIndex(1);
    EXPECT_EQ(item, unlockIndex(UnlockItem::CASINO_CLASSIC));
    EXPECT_EQ(player->unlockedStuff[item], UNLOCKED_NEW);
    EXPECT_EQ(interfaceCast<iText>(hallway->findChild("GOODIE"))->getText(),
              getBasicText(unlockTextKey(item)));
    writeScenePicture(hallway, "hallway-floor-end");

    click(ok);
    EXPECT_EQ(manager->getRequestedScene(), elevator);
    EXPECT_EQ(layer->getFirstChild(), nullptr);
    EXPECT_FALSE(hallway->getFloorEndDialog()->isVisible());
    EXPECT_EQ(hallway->getChosenDoor(), -1);

    // Back to the completed floor and a room won again: no second floor end.
    ASSERT_TRUE(reach(elevator));
    arrive(1);
    click(hallway->getDoor(1));
    ASSERT_TRUE(reach(game));
    win(1, 1, level(1, 1)->getGold());
    manager->requestScene(hallway);
    ASSERT_GE(runUntil([&] { return hallway->isInputEnabled(); }, 6000), 0);
    EXPECT_FALSE(hallway->isClearSequenceRunning());
}

TEST_F(HallwayTest, AHeldBackFloorTrophyIsAnnouncedBeforeTheFloorEndGoesToTheLift) {
    ASSERT_NE(hallway, nullptr);
    completeFloorOne();
    player->getTrophies().getTrophy(TrophyId::FLOOR_DONE)->state = Trophy::HELD_BACK;
    Button* ok = hallway->getOkButton();
    ASSERT_GE(runUntil([&] { return ok->isVisible(); }, 10000), 0);
    click(ok);
    EXPECT_NE(player->getTrophies().getTrophy(TrophyId::FLOOR_DONE)->state, Trophy::HELD_BACK);
    EXPECT_TRUE(hallway->isDialogOpen("DIALOG_TROPHY"));
    run(200);
    EXPECT_NE(manager->getRequestedScene(), elevator);
    EXPECT_EQ(manager->getRunningScene(), hallway);
}

TEST_F(HallwayTest, FromTheFirstDoorOfFloorOneIntoItsLevelWonByClicksOnTheGameScreen) {
    ASSERT_NE(hallway, nullptr);
    arrive(1);
    click(hallway->getDoor(1));
    ASSERT_TRUE(reach(game));
    auto* screen = objectCast<SceneGame>(game);
    ASSERT_NE(screen, nullptr);
    Game* played = Game::current();
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(played->getLevel()->getFloor(), 1);
    EXPECT_EQ(played->getLevel()->getRoom(), 1);
    ASSERT_NE(played->getLayout(), nullptr);
    // The level notice closes by itself, the host's hint by its OK, then the board is built.
    ASSERT_GE(
        runUntil([&] { return !objectCast<StateRoomInfo>(screen->getFlow().getCurrentState()); },
                 10000),
        0);
    const auto closeHint = [&] {
        if (screen->isDialogOpen("DIALOG_DORRICK_HINT")) {
            objectCast<DialogQuovelMahjong>(screen->findDialog("DIALOG_DORRICK_HINT"))
                ->closeAsOwnTarget(nullptr);
        }
    };
    closeHint();
    ASSERT_GE(runUntil([&] { return screen->isPlaying(); }, 20000), 0);

    // Every pair in the order the board was built, clicked where the renderer draws it.
    const Game::TileList order = played->getBuildOrder();
    ASSERT_EQ(order.size() % 2, 0u);
    const auto clickTile = [&](const Tile* tile) {
        LayoutRenderer* renderer = screen->getRenderer();
        const int32_t x = renderer->gridToScreenX(tile->getGridZ(), tile->getGridX()) +
                          tuning().RENDERER_TILE_FACE_WIDTH / 2;
        const int32_t y = renderer->gridToScreenY(tile->getGridZ(), tile->getGridY()) +
                          tuning().RENDERER_TILE_FACE_HEIGHT / 2;
        clickAt(screen, x, y);
        return played->getClickOutcome();
    };
    for (size_t k = 0; k < order.size(); k += 2) {
        ASSERT_EQ(clickTile(order[k].get()), Game::CLICK_SELECT) << k;
        ASSERT_EQ(clickTile(order[k + 1].get()), Game::CLICK_MATCH) << k;
        run(2 * SCENE_FRAME_MS);
    }
    EXPECT_EQ(played->getLayout()->getTileCount(), 0);
    EXPECT_TRUE(played->getHasWon());
    EXPECT_NE(objectCast<StateGameWon>(screen->getFlow().getCurrentState()), nullptr);

    // The level end comes up; its continue leads back to the hallway, where the medal lands.
    ASSERT_GE(runUntil([&] { return screen->isDialogOpen("DIALOG_LEVEL_END"); }, 20000), 0);
    Dialog* levelEnd = screen->findDialog("DIALOG_LEVEL_END");
    ASSERT_NE(levelEnd, nullptr);
    RefHolder<Button> next(objectCast<Button>(levelEnd->findChild("BUTTON_CONTINUE")));
    ASSERT_NE(next.get(), nullptr);
    // The first win's trophy is awarded in the cabinet on the way; its menu button closes it
    // once the shelves are revealed.
    const auto pressContinue = [&] {
        auto* cabinet = objectCast<DialogTrophy>(screen->findDialog("DIALOG_TROPHY"));
        if (cabinet && screen->isDialogOpen("DIALOG_TROPHY")) {
            if (!cabinet->isRevealRunning() &&
                cabinet->getCurrentTrophy() == DialogTrophy::NO_TROPHY) {
                click(cabinet->findChild("BUTTON_MENU"), screen);
            }
            return;
        }
        if (screen->isDialogOpen("DIALOG_LEVEL_END")) {
            click(next.get(), screen);
        }
    };
    const auto backInTheHallway = [&] {
        pressContinue();
        closeHint();
        waitForLoader(resources);
        return manager->getRunningScene() == hallway;
    };
    ASSERT_GE(runUntil(backInTheHallway, 30000), 0);
    EXPECT_EQ(record(1, 1).levelWinCount, 1);
    Sprite* medal = hallway->getMedal(1);
    EXPECT_TRUE(medal->isVisible());
    EXPECT_NE(medal->getImage(), nullptr);
    ASSERT_GE(runUntil([&] { return hallway->isInputEnabled(); }, 6000), 0);
    EXPECT_FLOAT_EQ(medal->getScale(), 1.0f);
    writeScenePicture(hallway, "hallway-walk-back-with-medal");
}

TEST_F(HallwayTest, TheArrivalOffersTheWinsHostHintOnceAndTheBarOpensItsDialogsByName) {
    ASSERT_NE(hallway, nullptr);
    player->showHints = true;
    player->hints[1] = true;
    player->hints[3] = true;
    hallway->setHintSelector(3);
    arrive(2);
    EXPECT_TRUE(hallway->isDialogOpen("DIALOG_DORRICK_HINT"));
    EXPECT_FALSE(player->hints[3]);
    EXPECT_FALSE(player->hints[1]) << "hint 1 is spent with any arrival";
    EXPECT_EQ(hallway->getHintSelector(), 0);
    hallway->closeDialog(hallway->findDialog("DIALOG_DORRICK_HINT"));

    // Nothing pending: the next arrival opens no hint.
    manager->requestScene(elevator);
    ASSERT_TRUE(reach(elevator));
    arrive(2);
    EXPECT_FALSE(hallway->isDialogOpen("DIALOG_DORRICK_HINT"));

    click(hallway->findChild("BUTTON_CUSTOMIZE"));
    EXPECT_TRUE(hallway->isDialogOpen("DIALOG_SELECT_BACKGROUND"));
}

TEST(HallwayMedal, GoldAndSilverCountOnEqualityAndNoWinIsNoMedal) {
    EXPECT_EQ(SceneHallway::medalCode(0, 9999, 10, 20), -1);
    EXPECT_EQ(SceneHallway::medalCode(1, 20, 10, 20), 2);
    EXPECT_EQ(SceneHallway::medalCode(1, 19, 10, 20), 1);
    EXPECT_EQ(SceneHallway::medalCode(1, 10, 10, 20), 1);
    EXPECT_EQ(SceneHallway::medalCode(1, 9, 10, 20), 0);
}

}  // namespace scene_hallway_test
