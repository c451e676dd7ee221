// The rec room and its layout preview driven frame by frame on the game's own definitions, art,
// texts and level files: a visit from the lift (the host, the switches the profile opens, a new
// type shining three times, the host's hint instead of the saved-game offer), choosing Split
// (the preview's title, layouts and first page, the glow column drawn to the switch), the
// preview's pages (locks, page buttons, sliding with input off, records growing), starting a
// layout (the game, the game screen, the first-choice event once), the room's trophy, and the
// visit after that starting over. Pictures go to build/pictures/gui.

#include <algorithm>

#include "app/GameServicesFixture.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"
#include "framework/platform/Image.h"
#include "game/app/GlowColumn.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneRecRoom.h"
#include "game/dialogs/DialogLayoutPreview.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/GameHooks.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"
#include "rules/ScopedStatistics.h"

namespace scene_rec_room_test {

int32_t brightness(Image* image, int32_t x, int32_t y) {
    const uint8_t* pixel =
        image->getPixels() + y * image->getPitch() + x * image->getBytesPerPixel();
    return pixel[0] + pixel[1] + pixel[2];
}

// Whether every pixel of the picture is grey (its three colour bytes alike).
bool allGrey(Image* image) {
    for (int32_t y = 0; y < image->getHeight(); ++y) {
        for (int32_t x = 0; x < image->getWidth(); ++x) {
            const uint8_t* p =
                image->getPixels() + y * image->getPitch() + x * image->getBytesPerPixel();
            if (std::abs(p[0] - p[1]) > 2 || std::abs(p[1] - p[2]) > 2) {
                return false;
            }
        }
    }
    return true;
}

std::wstring nodeText(GameNode* node) {
    auto* label = objectCast<Label>(node);
    return label ? label->getText() : L"<none>";
}

class RecRoomTest : public SceneTest {
protected:
    RecRoomTest() {
        startServices({.seed = 45,
                       .sections = {"preloading", "default", "elevator", "recroom", "casrecroof"}});
        statistics.collector()->startPlayingSession(0, 1);  // as the lobby does
        player->showHints = false;
        player->floorReached = 5;
        player->modesUnlocked = {2, 2, 2, 2};
        player->unlockedStuff[3] = 2;   // Classic
        player->unlockedStuff[11] = 2;  // Split
        gameScenes().lobby = manager->createScene("SCENE_LOBBY");
        gameScenes().elevator = manager->createScene("SCENE_ELEVATOR");
        elevator = objectCast<SceneElevator>(gameScenes().elevator.get());
        room = objectCast<SceneRecRoom>(manager->createScene("SCENE_RECROOM"));
        RefHolder<PropertyNode> definition(new PropertyNode("SCENE_GAME", "SceneQuovelMahjong"));
        gameScreen = new SceneQuovelMahjong(definition.get());
        manager->addScene("SCENE_GAME", gameScreen);
    }

    // From the lift's rec room stop into the room, as its button does.
    void enterFromElevator() {
        manager->requestScene(elevator);
        runUntil([&] { return manager->getCurrentScene() == elevator; }, 3000);
        waitForLoader(resources);
        run(1000);  // the rest of the transition
        elevator->setStop(SceneElevator::STOP_RECROOM);
        elevator->arrive(SceneElevator::STOP_RECROOM);
        waitForLoader(resources);
        ASSERT_GE(runUntil([&] { return manager->getCurrentScene() == room; }, 3000), 0);
        run(1000);  // the rest of the transition
    }
    void chooseType(int32_t gameType) {
        Switch* widget = room->getGameTypeSwitch(static_cast<GameType>(gameType));
        clickMiddle(room, widget, widget->getWidth(), widget->getHeight());
    }
    DialogLayoutPreview* preview() const { return room->getLayoutPreview(); }
    // The entry panel of a slot on the page on screen.
    Panel* entry(int32_t slot) const {
        Button* button = preview()->getSlotButton(slot);
        return button ? objectCast<Panel>(button->getParent()->getParent()) : nullptr;
    }
    std::vector<RefHolder<Level>> firstLayouts(int32_t count) const {
        std::vector<RefHolder<Level>> all;
        LevelCatalog::instance()->levelsOfRoom(all, 0);
        all.resize(static_cast<size_t>(count));
        return all;
    }

    game_test::ScopedStatistics statistics;
    SceneElevator* elevator = nullptr;
    SceneRecRoom* room = nullptr;
    Scene* gameScreen = nullptr;
};

TEST_F(RecRoomTest, AVisitShowsTheHostThenSplitLightsItsSwitchAndOpensItsLayouts) {
    ASSERT_NE(room, nullptr);
    player->unlockedStuff[12] = 1;  // FreeCell, opened since the last visit
    enterFromElevator();

    EXPECT_EQ(room->getSelectedGameType(), NO_GAME_TYPE);
    EXPECT_TRUE(room->getHostPicture()->isVisible());
    EXPECT_FALSE(room->getGlowMiddle()->isVisible());
    EXPECT_EQ(room->getLayoutPreview(), nullptr);
    const bool enabled[] = {true, true, true, false, false};
    for (int32_t g = 0; g < SceneRecRoom::GAME_TYPES; ++g) {
        EXPECT_EQ(room->getGameTypeSwitch(static_cast<GameType>(g))->isEnabled(), enabled[g]) << g;
    }
    EXPECT_EQ(player->unlockedStuff[12], 2);
    std::vector<std::wstring> visits;
    for (PropertyNode* event : statistics.events()) {
        if (AbstractProperty* floor = event->getChild("floorNumber")) {
            visits.push_back(floor->getText());
            EXPECT_EQ(event->getChild("playerName")->getText(), L"Ann");
        }
    }
    EXPECT_EQ(visits, std::vector<std::wstring>{L"22"});
    // His raised arm ends in his white glove.
    RefHolder<Image> host = writeScenePicture(room, "recroom-host");
    EXPECT_GT(brightness(host.get(), 400 + 230, 140 + 214), 675);

    // The new type's switch shines three times, half a second apart.
    Switch* freeCell = room->getGameTypeSwitch(TYPE_FREECELL);
    RefHolder<Image> plain(freeCell->getImage());
    int32_t sweeps = 0;
    bool sweeping = false;
    const auto countSweeps = [&] {
        const bool now = freeCell->getImage() != plain.get();
        sweeps += now && !sweeping ? 1 : 0;
        sweeping = now;
        return false;
    };
    runUntil(countSweeps, 3500);
    EXPECT_EQ(sweeps, 3);
    EXPECT_EQ(freeCell->getImage(), plain.get());

    chooseType(2);
    EXPECT_EQ(room->getSelectedGameType(), 2);
    EXPECT_TRUE(room->getGameTypeSwitch(TYPE_SPLIT)->isOn());
    EXPECT_FALSE(room->getHostPicture()->isVisible());
    ASSERT_NE(preview(), nullptr);
    EXPECT_TRUE(room->isDialogOpen("DIALOG_LAYOUTPREVIEW"));
    EXPECT_EQ(nodeText(preview()->getHeader()), getBasicText("TEXT_GAMETYPE3"));
    EXPECT_EQ(nodeText(preview()->getHeader()), L"Split");
    EXPECT_EQ(preview()->getGameType(), 2);
    EXPECT_EQ(preview()->getPageStart(), 0);
    ASSERT_EQ(preview()->getLayouts().size(), 30u);
    for (size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(preview()->getLayouts()[i]->getGameType(), 2);
        EXPECT_EQ(preview()->getLayouts()[i]->getIndex(), static_cast<int32_t>(i));
    }
    EXPECT_FALSE(preview()->getPreviousButton()->isEnabled());
    EXPECT_TRUE(preview()->getNextButton()->isEnabled());

    // The glow: the middle piece centred on the switch, the halo a pixel higher, and the fill
    // stacked in whole copies from the top cap down to the middle and from it toward the bottom
    // cap, where a gap shorter than one copy stays dark.
    Switch* split = room->getGameTypeSwitch(TYPE_SPLIT);
    Sprite* middle = room->getGlowMiddle();
    EXPECT_EQ(middle->getY(), split->getY() + (split->getHeight() - middle->getHeight()) / 2);
    EXPECT_EQ(room->getGlowButton()->getY(),
              split->getY() + (split->getHeight() - room->getGlowButton()->getHeight()) / 2 - 1);
    EXPECT_TRUE(middle->isVisible() && room->getGlowButton()->isVisible() &&
                room->getGlowDialog()->isVisible());
    auto* top = objectCast<Sprite>(room->findChild("GLOW_TOP_NORMAL"));
    auto* bottom = objectCast<Sprite>(room->findChild("GLOW_BOTTOM_NORMAL"));
    ASSERT_TRUE(top->isVisible() && bottom->isVisible());
    auto* plainRoom =
        objectCast<Image>(resources->getLoadedResourceHandle("BACKGROUND", "recroom"));
    Image* lit = room->getBackgroundImage();
    ASSERT_NE(plainRoom, nullptr);
    ASSERT_NE(lit, plainRoom);
    const int32_t x = middle->getX() + middle->getWidth() / 2;
    const int32_t fill = 16;
    const int32_t below = middle->getY() + middle->getHeight();
    const int32_t lastBelow = below + (bottom->getY() - below) / fill * fill;
    ASSERT_LT(lastBelow, bottom->getY()) << "the layout should leave a gap above the bottom cap";
    for (int32_t y :
         {top->getY() + top->getHeight() + 1, middle->getY() - 2, below + 1, lastBelow - 2}) {
        EXPECT_GT(brightness(lit, x, y), brightness(plainRoom, x, y) + 100) << y;
    }
    EXPECT_EQ(brightness(lit, x, lastBelow + 2), brightness(plainRoom, x, lastBelow + 2));
    run(1000);
    writeScenePicture(room, "recroom-split-page-1");

    // With the preview open, the switches still answer: Classic takes the same preview over.
    DialogLayoutPreview* open = preview();
    chooseType(0);
    EXPECT_EQ(room->getSelectedGameType(), 0);
    EXPECT_FALSE(room->getGameTypeSwitch(TYPE_SPLIT)->isOn());
    EXPECT_EQ(preview(), open);
    EXPECT_EQ(nodeText(preview()->getHeader()), L"Classic");
    EXPECT_EQ(preview()->getLayouts()[0]->getGameType(), 0);

    // Leaving and coming back from the lift starts over: the host, no glow, no switch on.
    enterFromElevator();
    EXPECT_EQ(room->getSelectedGameType(), NO_GAME_TYPE);
    EXPECT_TRUE(room->getHostPicture()->isVisible());
    EXPECT_FALSE(room->getGlowMiddle()->isVisible());
    EXPECT_FALSE(top->isVisible());
    EXPECT_EQ(room->getLayoutPreview(), nullptr);
    EXPECT_FALSE(room->isDialogOpen("DIALOG_LAYOUTPREVIEW"));
    EXPECT_FALSE(room->getGameTypeSwitch(TYPE_SPLIT)->isOn());
    // The plain picture as the section holds it now: a left scene's pictures may be read anew.
    EXPECT_EQ(room->getBackgroundImage(),
              objectCast<Image>(resources->getLoadedResourceHandle("BACKGROUND", "recroom")));

    // The lift button leads back to the elevator.
    GameNode* lift = room->findChild("BUTTON_ELEVATOR");
    clickMiddle(room, lift, objectCast<Sprite>(lift)->getWidth(),
                objectCast<Sprite>(lift)->getHeight());
    EXPECT_EQ(manager->getRequestedScene(), elevator);
}

TEST_F(RecRoomTest, PagesOpenWithProgressSlideWithInputOffAndGrowTheRecords) {
    player->unlockedStuff[13] = 2;  // opens page 2, not page 3
    player->getStats().recRoom[0].clear();
    RecRoomRecord* played = player->getStats().recRoomRecordFor(TYPE_CLASSIC, 7);
    played->bestTime = 83'000;
    played->playCount = 4;
    played->levelWinCount = 3;
    enterFromElevator();
    chooseType(0);
    ASSERT_NE(preview(), nullptr);
    run(1000);  // the fade-in

    // Page 0: six entries in three columns and two rows, every one open.
    for (int32_t slot = 0; slot < DialogLayoutPreview::PAGE_SIZE; ++slot) {
        ASSERT_NE(entry(slot), nullptr) << slot;
        EXPECT_TRUE(preview()->getSlotButton(slot)->isEnabled());
        EXPECT_EQ(preview()->getSlotButton(slot)->getTag(), slot);
        EXPECT_EQ(entry(slot)->getX(), entry(0)->getX() + (168 + 23) * (slot % 3)) << slot;
        EXPECT_EQ(entry(slot)->getY(), entry(0)->getY() + (190 + 32) * (slot / 3)) << slot;
        EXPECT_FALSE(entry(slot)->findChild("LOCK")->isVisible());
    }
    EXPECT_EQ(nodeText(entry(0)->findChild("TIME")), L"-");
    EXPECT_EQ(nodeText(entry(0)->findChild("PLAYED")), L"0");
    EXPECT_EQ(nodeText(entry(0)->findChild("COMPLETED")), L"0");
    EXPECT_FALSE(allGrey(objectCast<Sprite>(entry(0)->findChild("SPRITE"))->getImage()));

    // Next: both pages slide, and neither the room nor the preview listens until they stand.
    RefHolder<Panel> first(preview()->getPagePanel());  // kept: the purge frees the old page
    preview()->onNext(preview()->getNextButton());
    Panel* second = preview()->getPagePanel();
    EXPECT_NE(first.get(), second);
    EXPECT_EQ(preview()->getPageStart(), 6);
    EXPECT_TRUE(preview()->getPreviousButton()->isEnabled());
    EXPECT_FALSE(preview()->getComponentsContainer().isActive());
    EXPECT_FALSE(room->getComponentsContainer().isActive());
    const int32_t restX = first->getX();
    EXPECT_GT(second->getX(), restX);
    const int32_t settled =
        runUntil([&] { return preview()->getComponentsContainer().isActive(); }, 2000);
    EXPECT_NEAR(settled, tuning().PREVIEW_SCROLL_DURATION, 2 * FRAME_MS);
    EXPECT_TRUE(room->getComponentsContainer().isActive());
    EXPECT_EQ(second->getX(), restX);
    EXPECT_TRUE(first->isRemoved() || first->getParent() == nullptr);
    // Page 1 covers layouts 6 to 11, and the records grew to cover them.
    EXPECT_EQ(preview()->getSlotButton(0)->getTag(), 6);
    EXPECT_EQ(nodeText(entry(1)->findChild("TIME")), L"1:23");
    EXPECT_EQ(nodeText(entry(1)->findChild("PLAYED")), L"4");
    EXPECT_EQ(nodeText(entry(1)->findChild("COMPLETED")), L"3");
    EXPECT_GE(player->getStats().recRoom[0].size(), 12u);

    // Page 2 opens with entry 13; page 3 does not, and shows locks over grey miniatures.
    preview()->onNext(nullptr);
    run(600);
    EXPECT_TRUE(preview()->getSlotButton(0)->isEnabled());
    preview()->onNext(nullptr);
    run(600);
    EXPECT_EQ(preview()->getPageStart(), 18);
    for (int32_t slot = 0; slot < DialogLayoutPreview::PAGE_SIZE; ++slot) {
        EXPECT_FALSE(preview()->getSlotButton(slot)->isEnabled()) << slot;
        EXPECT_TRUE(entry(slot)->findChild("LOCK")->isVisible());
        EXPECT_FALSE(entry(slot)->findChild("TIME")->isVisible());
        EXPECT_FALSE(entry(slot)->findChild("PLAYED_TEXT")->isVisible());
        EXPECT_TRUE(allGrey(objectCast<Sprite>(entry(slot)->findChild("SPRITE"))->getImage()));
    }
    writeScenePicture(room, "recroom-locked-page");
    EXPECT_EQ(player->getStats().recRoom[0].size(), 24u);

    // The page locks by progress.
    QuovelMahjongPlayer fresh("Bob");
    EXPECT_TRUE(DialogLayoutPreview::isPageUnlocked(&fresh, 1));
    EXPECT_FALSE(DialogLayoutPreview::isPageUnlocked(&fresh, 2));
    fresh.unlockedStuff[15] = 1;
    EXPECT_TRUE(DialogLayoutPreview::isPageUnlocked(&fresh, 2));
    EXPECT_TRUE(DialogLayoutPreview::isPageUnlocked(&fresh, 3));
    EXPECT_FALSE(DialogLayoutPreview::isPageUnlocked(&fresh, 4));
    fresh.unlockedStuff[18] = 1;
    EXPECT_TRUE(DialogLayoutPreview::isPageUnlocked(&fresh, 4));

    // Six layouts fit one page: no page button; a seventh opens the next button on page 0 only,
    // and its page holds one entry.
    preview()->setLayouts(firstLayouts(6));
    preview()->setPageStart(0);
    preview()->showPage(0);
    EXPECT_FALSE(preview()->getPreviousButton()->isEnabled());
    EXPECT_FALSE(preview()->getNextButton()->isEnabled());
    preview()->setLayouts(firstLayouts(7));
    preview()->setPageStart(0);
    preview()->showPage(0);
    EXPECT_TRUE(preview()->getNextButton()->isEnabled());
    preview()->showPage(1);
    run(600);
    EXPECT_FALSE(preview()->getNextButton()->isEnabled());
    EXPECT_TRUE(preview()->getPreviousButton()->isEnabled());
    EXPECT_NE(preview()->getSlotButton(0), nullptr);
    for (int32_t slot = 1; slot < DialogLayoutPreview::PAGE_SIZE; ++slot) {
        EXPECT_EQ(preview()->getSlotButton(slot), nullptr) << slot;
    }
}

TEST_F(RecRoomTest, ALayoutStartsOnTheGameScreenAndOnlyTheFirstChoiceIsReportedAsFirst) {
    enterFromElevator();
    chooseType(2);
    ASSERT_NE(preview(), nullptr);
    run(1000);
    Button* slot = preview()->getSlotButton(4);
    ASSERT_NE(slot, nullptr);
    // A layout whose file cannot be read is told and not played; nothing of it is noted.
    Level* chosen = preview()->getLayouts()[4].get();
    RefHolder<Layout> layout(chosen->getLayoutObject());
    chosen->setLayoutObject(game_test::makeLayout({}).get());
    GameHooks::installMessageBox(&messageBox);
    clickMiddle(room, slot, slot->getWidth(), slot->getHeight());
    GameHooks::installMessageBox(nullptr);
    chosen->setLayoutObject(layout.get());
    EXPECT_EQ(Game::current(), nullptr);
    EXPECT_EQ(messageBox.shown.size(), 1u);
    EXPECT_NE(messageBox.shown.at(0).text.find("choose another layout."), std::string::npos);
    EXPECT_FALSE(player->getStats().firstRecrLayoutClicked);
    clickMiddle(room, slot, slot->getWidth(), slot->getHeight());

    Game* game = Game::current();
    ASSERT_NE(game, nullptr);
    ASSERT_NE(game->getLevel(), nullptr);
    EXPECT_EQ(game->getLevel()->getGameType(), 2);
    EXPECT_EQ(game->getLevel()->getIndex(), 4);
    EXPECT_EQ(game->getLevel()->getGameMode(), RoomKind::RECROOM);
    EXPECT_EQ(manager->getRequestedScene(), gameScreen);
    EXPECT_TRUE(player->getStats().firstRecrLayoutClicked);

    preview()->startLayout(preview()->getSlotButton(0));
    std::vector<PropertyNode*> choices;
    for (PropertyNode* event : statistics.events()) {
        if (event->getChild("layoutIndex")) {
            choices.push_back(event);
        }
    }
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_NE(choices[0]->getChild("firstTimeRecr"), nullptr);
    EXPECT_EQ(choices[1]->getChild("firstTimeRecr"), nullptr);
    EXPECT_EQ(choices[0]->getChild("layoutIndex")->getInt(), 4);
    EXPECT_EQ(choices[1]->getChild("layoutIndex")->getInt(), 0);
    EXPECT_EQ(choices[0]->getChild("gameType")->getInt(), 2);
    EXPECT_EQ(choices[0]->getChild("playerName")->getText(), L"Ann");
}

TEST_F(RecRoomTest, TheRoomTrophyNeedsAWonLayoutOfEveryTypeAndTheHostsHintReplacesTheOffer) {
    writeSavedGame("2", RoomKind::RECROOM);
    for (int32_t g = 0; g < 4; ++g) {
        player->getStats().recRoomRecordFor(static_cast<GameType>(g), 3 + g)->levelWinCount = 1;
    }
    EXPECT_FALSE(SceneRecRoom::everyTypeWon(*player));
    player->showHints = true;
    player->hints[SceneRecRoom::HOST_HINT] = true;
    enterFromElevator();
    EXPECT_EQ(player->getTrophies().getTrophy(SceneRecRoom::ROOM_TROPHY)->state, 0);
    EXPECT_TRUE(room->isDialogOpen("DIALOG_DORRICK_HINT"));
    EXPECT_FALSE(room->isDialogOpen(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY));
    EXPECT_FALSE(player->hints[SceneRecRoom::HOST_HINT]);

    // The next visit, with River won too and FreeCell newly opened: the trophy is earned and
    // the cabinet opens and announces it, the offer is made, and the new type's shine waits
    // until the cabinet has closed.
    room->closeDialog(room->findDialog("DIALOG_DORRICK_HINT"));
    player->getStats().recRoomRecordFor(TYPE_RIVER, 29)->levelWinCount = 2;
    player->unlockedStuff[12] = 1;
    EXPECT_TRUE(SceneRecRoom::everyTypeWon(*player));
    enterFromElevator();
    EXPECT_EQ(player->getTrophies().getTrophy(SceneRecRoom::ROOM_TROPHY)->state, Trophy::ANNOUNCED);
    EXPECT_TRUE(room->isDialogOpen("DIALOG_TROPHY"));
    EXPECT_TRUE(room->isDialogOpen(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY));
    EXPECT_FALSE(room->isDialogOpen("DIALOG_DORRICK_HINT"));
    run(2000);
    EXPECT_EQ(player->unlockedStuff[12], 1);
    auto* cabinet = objectCast<DialogQuovelMahjong>(room->findDialog("DIALOG_TROPHY"));
    ASSERT_NE(cabinet, nullptr);
    cabinet->close();
    run(1000);
    EXPECT_FALSE(room->isDialogOpen("DIALOG_TROPHY"));
    EXPECT_EQ(player->unlockedStuff[12], 2);
    EXPECT_TRUE(room->getGameTypeSwitch(TYPE_FREECELL)->isEnabled());
}

TEST(RecRoomGlow, WholeFillCopiesStackFromTheCapWithoutPassingTheMiddle) {
    EXPECT_EQ(GlowColumn::fillRows(40, 140, 16), (std::vector<int32_t>{40, 56, 72, 88, 104, 120}));
    EXPECT_EQ(GlowColumn::fillRows(40, 136, 16).size(), 6u);
    EXPECT_TRUE(GlowColumn::fillRows(40, 55, 16).empty());
    EXPECT_TRUE(GlowColumn::fillRows(140, 40, 16).empty());
    EXPECT_TRUE(GlowColumn::fillRows(40, 140, 0).empty());
}

}  // namespace scene_rec_room_test
