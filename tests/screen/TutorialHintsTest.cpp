// The tutorial hints on the game scene: the paced board check, the hold while a hint is open,
// the OK button's minimum open time, each hint once per player, the hints switch, the arrow's
// corner and the clamp to the screen, the flower page's tiles and the click check that drops
// the click's outcome.
#include "screen/BarsFixture.h"

#include "framework/core/BasicProperties.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/scene/SceneManager.h"
#include "game/dialogs/DialogHint.h"
#include "game/dialogs/DialogHintPainter.h"
#include "game/rules/GameFreeCell.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
#include "gui/HeadlessPicture.h"
#include "gui/TextLayoutAudit.h"

namespace tutorial_hints_test {

class TutorialHintsTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        loadResources(
            {"SOUND_HELPDIALOG_OPEN", "SOUND_HELPDIALOG_CLOSE", "IMAGE_FRAME_TL", "IMAGE_FRAME_T",
             "IMAGE_FRAME_TR", "IMAGE_FRAME_L", "IMAGE_FRAME_R", "IMAGE_FRAME_BL", "IMAGE_FRAME_B",
             "IMAGE_FRAME_BR", "HINT_ARROW_TOP_LEFT", "HINT_ARROW_TOP_RIGHT",
             "HINT_ARROW_BOTTOM_LEFT", "HINT_ARROW_BOTTOM_RIGHT", "DORRICK_FOOTER"},
            "default");
        loadResources({"IMAGE_BUTTON_OK"}, "preloading");
        // Hints open on the scene manager's current scene.
        manager = SceneManager::createInstance();
        manager->addScene("SCENE_GAME", scene.get());
    }
    void TearDown() override {
        DialogHint::clearOpen();
        SceneManager::releaseInstance();
        BarsTest::TearDown();
    }
    Game* start(int32_t floor, int32_t room) {
        return start(LevelCatalog::instance()->findLevel(floor, room));
    }
    Game* start(const RefHolder<Level>& level) {
        Game* game = Game::create(level->getGameType());
        game->setLevel(level.get());
        manager->requestScene(scene.get());
        manager->update(16);
        reachPlay();
        return game;
    }
    DialogHint* openHint() const {
        return scene->isDialogOpen("DIALOG_HINT")
                   ? objectCast<DialogHint>(scene->findDialog("DIALOG_HINT"))
                   : nullptr;
    }
    // Frames until a hint is open; the frames run, or -1.
    int32_t framesUntilHint(int32_t limit) {
        for (int32_t n = 1; n <= limit; ++n) {
            frame(16);
            if (openHint()) {
                return n;
            }
        }
        return -1;
    }
    // Clicks the middle of the tile's face; the click's outcome.
    int32_t click(const Tile* tile) {
        const Rect rect = HintTriggers::tileRect(scene->getRenderer(), tile);
        scene->onLeftButtonDown(rect.x + tuning().RENDERER_TILE_FACE_WIDTH / 2,
                                rect.y + tuning().RENDERER_TILE_FACE_HEIGHT / 2, 1, false);
        return Game::current()->getClickOutcome();
    }
    // The free tiles, the first matching pair of them in front; empty when there is no pair.
    static std::vector<RefHolder<Tile>> freeTilesPairFirst(Game* game) {
        std::vector<RefHolder<Tile>> free;
        game->getLayout()->getFreeTiles(free);
        for (size_t i = 0; i < free.size(); ++i) {
            for (size_t j = i + 1; j < free.size(); ++j) {
                if (game->canMatch(free[i].get(), free[j].get())) {
                    std::swap(free[0], free[i]);
                    std::swap(free[1], free[j]);
                    return free;
                }
            }
        }
        return {};
    }
    // Parks one tile of a free pair in the first free cell, as the game takes a click on the
    // cell; the twin left on the board, or null.
    Tile* parkOneOfAPair(Game* game) {
        const std::vector<RefHolder<Tile>> free = freeTilesPairFirst(game);
        if (free.empty()) {
            return nullptr;
        }
        EXPECT_EQ(click(free[0].get()), Game::CLICK_SELECT);
        game->setMoveTarget(0, 0);
        game->setClickOutcome(Game::CLICK_MOVE);
        game->update();
        runFrames(120, 16);
        EXPECT_TRUE(free[0]->isOnSideBoard());
        EXPECT_EQ(openHint(), nullptr);
        return free[1].get();
    }
    void pressOk(DialogHint* dialog) { dialog->onOk(dialog->getOkButton()); }

    SceneManager* manager = nullptr;
};

int32_t hintChildCount(const GameNode* node) {
    int32_t n = 0;
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        ++n;
    }
    return n;
}

bool insideScreen(const DialogHint& dialog) {
    return dialog.getX() >= 0 && dialog.getY() >= 0 && dialog.getX() + dialog.getWidth() <= 800 &&
           dialog.getY() + dialog.getHeight() <= 600;
}

TEST_F(TutorialHintsTest, TheLowTimeHintHoldsTheGameTurnsOnOkAfterItsTimeAndShowsOnce) {
    start(1, 1);
    ASSERT_TRUE(player->isHintPending(HINT_TIME_LOW));
    timeBar().getTime().set(timeBar().getTime().getMaximum() / 5);

    // With the player's hints off nothing shows and the flag stays.
    player->showHints = false;
    EXPECT_EQ(framesUntilHint(60), -1);
    player->showHints = true;
    EXPECT_TRUE(player->isHintPending(HINT_TIME_LOW));

    // The board is examined on every 22nd frame; the pacer may stand anywhere in its count.
    const int32_t waited = framesUntilHint(HintTriggers::PACER_FRAMES + 2);
    ASSERT_GT(waited, 0);
    DialogHint* hint = openHint();
    EXPECT_EQ(DialogHint::getOpen(), hint);
    EXPECT_EQ(hint->getHintId(), HINT_TIME_LOW);
    EXPECT_FALSE(player->isHintPending(HINT_TIME_LOW));
    EXPECT_NE(getBasicText("HINT_TIME_LOW"), L"");
    EXPECT_EQ(hint->getTextLabel()->getText(), getBasicText("HINT_TIME_LOW"));
    // The arrow points at the clock at the right edge: the dialog stands left of it.
    Sprite* clock = objectCast<Sprite>(scene->findChild("TIMEBAR_CLOCK"));
    ASSERT_NE(clock, nullptr);
    auto* painter = objectCast<DialogHintPainter>(hint->getPainter());
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(painter->getCorner() == DialogHint::TOP_RIGHT ||
                painter->getCorner() == DialogHint::BOTTOM_RIGHT);
    const int32_t clockLeft = clock->getAbsoluteX() - static_cast<int32_t>(clock->getAnchor().x);
    EXPECT_EQ(hint->getX() + hint->getWidth(), clockLeft + DialogHint::ARROW_OVERLAP);
    EXPECT_TRUE(insideScreen(*hint));
    EXPECT_EQ(painter->getImage(painter->getCorner()),
              painter->getImage(painter->getCorner() + DialogHintPainter::ALTERNATE_OFFSET));
    EXPECT_NE(painter->getImage(painter->getCorner()), nullptr);
    runFrames(40, 16);
    EXPECT_NE(writeScenePicture(scene.get(), "tutorial_hint_time"), nullptr);

    // The game holds: the clock stands and the hint button does nothing.
    const int32_t timeLeft = timeBar().getTime().getValue();
    runFrames(30, 16);
    EXPECT_EQ(timeBar().getTime().getValue(), timeLeft);
    if (Button* hintButton = scene->getHud().getHintButton()) {
        EXPECT_FALSE(hintButton->isEnabled());
    }

    // OK before the page's minimum time only sounds; after it, the single page closes.
    const int32_t minimum = tuning().HINT_ENTER_FROM_OPEN;
    ASSERT_LT(hint->getOpenTime(), minimum);
    pressOk(hint);
    EXPECT_FALSE(hint->isClosing());
    while (hint->getOpenTime() < minimum) {
        frame(100);
    }
    pressOk(hint);
    EXPECT_TRUE(hint->isClosing());
    for (int i = 0; i < 100 && scene->isDialogOpen("DIALOG_HINT"); ++i) {
        frame(16);
    }
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_HINT"));
    frame(16);
    EXPECT_EQ(DialogHint::getOpen(), nullptr);
    frame(100);
    EXPECT_LT(timeBar().getTime().getValue(), timeLeft);
    // Shown once per player: the time stays low and the hint stays away.
    EXPECT_EQ(framesUntilHint(100), -1);
}

TEST_F(TutorialHintsTest, TheArrowFacesItsTargetAndTheDialogStaysOnTheScreen) {
    start(1, 1);
    // A centre exactly in the middle counts as top left: the dialog goes to its lower right,
    // pushed back left by the screen's edge.
    const Rect middle{390, 290, 20, 20};
    DialogHint* hint = DialogHint::showHint(&middle, HINT_MULTIPLIER, nullptr);
    ASSERT_NE(hint, nullptr);
    auto* painter = objectCast<DialogHintPainter>(hint->getPainter());
    ASSERT_NE(painter, nullptr);
    EXPECT_EQ(painter->getCorner(), DialogHint::TOP_LEFT);
    EXPECT_EQ(painter->getImageNames()[DialogHint::TOP_LEFT + 9], "HINT_ARROW_TOP_LEFT");
    EXPECT_EQ(hint->getX(), 800 - hint->getWidth());
    EXPECT_EQ(hint->getY(), 290 + 20 - DialogHint::ARROW_OVERLAP);
    const int32_t w = hint->getWidth();
    const int32_t h = hint->getHeight();

    // Every corner of the screen: the arrow faces the target and the dialog stays inside.
    const struct {
        Rect target;
        int32_t corner;
    } cases[] = {{{0, 0, 10, 10}, DialogHint::TOP_LEFT},
                 {{790, 0, 10, 10}, DialogHint::TOP_RIGHT},
                 {{0, 590, 10, 10}, DialogHint::BOTTOM_LEFT},
                 {{790, 590, 10, 10}, DialogHint::BOTTOM_RIGHT},
                 {{700, 100, 40, 40}, DialogHint::TOP_RIGHT}};
    for (const auto& c : cases) {
        hint->placeArrow(&c.target);
        EXPECT_EQ(painter->getCorner(), c.corner) << c.target.x << "," << c.target.y;
        EXPECT_TRUE(insideScreen(*hint)) << hint->getX() << "," << hint->getY();
    }
    // Away from the edges the dialog overlaps the target's far edge by 20 pixels.
    EXPECT_EQ(hint->getX(), 700 + 20 - w);
    EXPECT_EQ(hint->getY(), 100 + 40 - 20);
    // Wider than the screen: the right edge wins and x turns negative.
    hint->setWidth(900);
    hint->placeArrow(&cases[1].target);
    EXPECT_EQ(hint->getX() + hint->getWidth(), 800);
    EXPECT_LT(hint->getX(), 0);
    hint->setWidth(w);
    // No rectangle: centred, the corner kept.
    hint->placeArrow(nullptr);
    EXPECT_EQ(hint->getX(), 400 - w / 2);
    EXPECT_EQ(hint->getY(), 300 - h / 2);
    EXPECT_EQ(painter->getCorner(), DialogHint::TOP_RIGHT);
}

TEST_F(TutorialHintsTest, TheFlowerPageShowsFourTilesAndShowingItAgainReplacesThem) {
    start(1, 1);
    std::vector<RefHolder<Tile>> free;
    Game::current()->getLayout()->getFreeTiles(free);
    ASSERT_FALSE(free.empty());
    Tile* tile = free.front().get();
    const Rect rect = HintTriggers::tileRect(scene->getRenderer(), tile);
    DialogHint* hint = DialogHint::showHint(&rect, HINT_FLOWERS, tile);
    ASSERT_NE(hint, nullptr);
    ASSERT_EQ(hint->getTileSprites().size(), 4u);
    EXPECT_EQ(hint->getSecondLabel()->getText(), getBasicText("HINT_FLOWER_TILES2"));
    EXPECT_GT(hint->getSecondLabel()->getY(), hint->getTextLabel()->getY());
    EXPECT_GT(hint->getOkButton()->getY(), hint->getSecondLabel()->getY());
    EXPECT_LE(hint->getOkButton()->getY() + hint->getOkButton()->getHeight(), hint->getHeight());
    GameNode* holder = hint->getTileSprites().front()->getParent();
    ASSERT_NE(holder, nullptr);
    const int32_t children = hintChildCount(holder);
    hint->showPage();
    hint->showPage();
    frame(16);
    EXPECT_EQ(hint->getTileSprites().size(), 4u);
    EXPECT_EQ(hintChildCount(holder), children);
    for (const RefHolder<Sprite>& sprite : hint->getTileSprites()) {
        EXPECT_EQ(sprite->getParent(), holder);
    }
    runFrames(40, 16);
    EXPECT_NE(writeScenePicture(scene.get(), "tutorial_hint_flowers"), nullptr);
    // The season text takes a line more: its page grows, and OK covers none of either text.
    hint->close();
    for (int i = 0; i < 100; ++i, frame(16)) {
        if (i == 60) {
            DialogHint::clearOpen();
            hint = DialogHint::showHint(&rect, HINT_SEASONS, tile);
        }
    }
    const RefHolder<Image> seasons = writeScenePicture(scene.get(), "tutorial_hint_seasons");
    EXPECT_EQ(auditTextLayout(hint, 800, 600, seasons.get()), std::vector<std::string>());
}

TEST_F(TutorialHintsTest, TheFlowerHintWaitsItsTimeAfterAMatchInARestartedCasinoLevel) {
    Game* game = start(LevelCatalog::instance()->casinoLevel(TYPE_CLASSIC, 0, RoomKind::CASINO));
    for (int32_t id : {HINT_MULTIPLIER, HINT_TIME_LOW, HINT_BONUS_HALF}) {
        player->clearTutorialHint(id);
    }
    // Long played, then restarted: the real time runs on, the time since the restart anew.
    game->runCounts.realTime = 10 * 60 * 1000;
    game->levelCounts.timeSinceLastRestart = 0;
    game->screenCounts.lastSubmitTime = 0;
    // Two free tiles become flowers; a free pair is matched.
    const std::vector<RefHolder<Tile>> free = freeTilesPairFirst(game);
    ASSERT_GE(free.size(), 4u);
    free[2]->setFace(5, 0);
    free[3]->setFace(5, 1);
    ASSERT_EQ(click(free[0].get()), Game::CLICK_SELECT);
    ASSERT_EQ(click(free[1].get()), Game::CLICK_MATCH);
    EXPECT_EQ(framesUntilHint(3 * HintTriggers::PACER_FRAMES), -1) << "right after a match";
    game->levelCounts.timeSinceLastRestart += tuning().HINT_CLICK_TIME_SEASONFLOWERS * 1000;
    ASSERT_EQ(click(free[2].get()), Game::CLICK_SELECT);
    ASSERT_EQ(click(free[2].get()), Game::CLICK_DESELECT);
    EXPECT_EQ(framesUntilHint(3 * HintTriggers::PACER_FRAMES), -1) << "right after any click";
    game->levelCounts.timeSinceLastRestart += tuning().HINT_CLICK_TIME_SEASONFLOWERS * 1000;
    ASSERT_GT(framesUntilHint(3 * HintTriggers::PACER_FRAMES), 0) << "once its time has passed";
    EXPECT_EQ(openHint()->getHintId(), HINT_FLOWERS);
}

TEST_F(TutorialHintsTest, ARiverClickOnAnUnjoinedTwinShowsItsHintAndItsOutcomeIsDropped) {
    Game* game = start(LevelCatalog::instance()->casinoLevel(TYPE_RIVER, 0, RoomKind::CASINO));
    ASSERT_EQ(game->getLevel()->getGameType(), Game::TYPE_RIVER);
    // Two free twins that no line joins, and that are no neighbours.
    std::vector<RefHolder<Tile>> free;
    game->getLayout()->getFreeTiles(free);
    Tile* first = nullptr;
    Tile* twin = nullptr;
    for (size_t i = 0; i < free.size() && !twin; ++i) {
        for (size_t j = 0; j < free.size() && !twin; ++j) {
            Tile* a = free[i].get();
            Tile* b = free[j].get();
            if (a != b && a->getMatchKey() == b->getMatchKey() && !game->canMatch(a, b) &&
                !a->isNeighbourOf(b)) {
                first = a;
                twin = b;
            }
        }
    }
    if (!twin) {
        GTEST_SKIP() << "the level's first board holds no unjoined free twins";
    }
    const int32_t expected =
        first->getGridZ() == twin->getGridZ() ? HINT_RIVER_SAME_LAYER : HINT_RIVER_LAYERS;
    ASSERT_EQ(click(first), Game::CLICK_SELECT);
    ASSERT_EQ(game->getSelection().size(), 1u);
    ASSERT_EQ(click(twin), Game::CLICK_SELECT);
    DialogHint* hint = openHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->getHintId(), expected);
    EXPECT_FALSE(player->isHintPending(expected));
    // The click's new selection was not made: the first tile is still the one selected.
    ASSERT_EQ(game->getSelection().size(), 1u);
    EXPECT_EQ(game->getSelection().front().get(), first);
    // The arrow points at the clicked twin.
    const Rect target = HintTriggers::tileRect(scene->getRenderer(), twin);
    EXPECT_EQ(objectCast<DialogHintPainter>(hint->getPainter())->getCorner(),
              DialogHint::cornerFor(target));

    // While it is open the click check stays away; the same click again is acted on.
    const int32_t other = expected == HINT_RIVER_LAYERS ? HINT_RIVER_SAME_LAYER : HINT_RIVER_LAYERS;
    ASSERT_TRUE(player->isHintPending(other));
    click(twin);
    EXPECT_EQ(game->getSelection().front().get(), twin);
    EXPECT_TRUE(player->isHintPending(other));
}

TEST_F(TutorialHintsTest, TheFreeCellHintShowsOnTheFourthMatchThatLeavesAParkedPartner) {
    Game* game = start(LevelCatalog::instance()->casinoLevel(TYPE_FREECELL, 0, RoomKind::CASINO));
    auto* freeCell = objectCast<GameFreeCell>(game);
    ASSERT_NE(freeCell, nullptr);
    Layout* layout = game->getLayout();
    ASSERT_NE(layout->getSideBoard(), nullptr);
    // Whether a parked tile could pair with a free board tile.
    auto parkedPartner = [&] {
        std::vector<RefHolder<Tile>> parked;
        std::vector<RefHolder<Tile>> free;
        layout->getSideBoard()->getTiles(parked);
        layout->getFreeTiles(free);
        for (const RefHolder<Tile>& p : parked) {
            for (const RefHolder<Tile>& f : free) {
                if (game->canMatch(p.get(), f.get())) {
                    return true;
                }
            }
        }
        return false;
    };
    Tile* kept = parkOneOfAPair(game);
    ASSERT_NE(kept, nullptr);
    for (int32_t round = 1; round <= 4; ++round) {
        std::vector<RefHolder<Tile>> free;
        layout->getFreeTiles(free);
        Tile* a = nullptr;
        Tile* b = nullptr;
        for (size_t i = 0; i < free.size() && !b; ++i) {
            for (size_t j = i + 1; j < free.size() && !b; ++j) {
                if (!free[i]->isOnSideBoard() && !free[j]->isOnSideBoard() &&
                    free[i].get() != kept && free[j].get() != kept &&
                    game->canMatch(free[i].get(), free[j].get())) {
                    a = free[i].get();
                    b = free[j].get();
                }
            }
        }
        if (!b || !parkedPartner()) {
            GTEST_SKIP() << "the board ran out of qualifying matches in round " << round;
        }
        const int32_t tilesBefore = layout->getTileCount();
        ASSERT_EQ(click(a), Game::CLICK_SELECT);
        ASSERT_EQ(click(b), Game::CLICK_MATCH);
        EXPECT_EQ(freeCell->getHintCounter(), round);
        if (round < 4) {
            // Counter values 1 to 3 show nothing, and the match is made.
            ASSERT_EQ(openHint(), nullptr) << round;
            EXPECT_EQ(layout->getTileCount(), tilesBefore - 2);
            continue;
        }
        DialogHint* hint = openHint();
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->getHintId(), HINT_FREECELL_SIDEBOARD);
        // The match click was dropped; the parked tile and its partner are marked instead.
        EXPECT_EQ(layout->getTileCount(), tilesBefore);
        ASSERT_EQ(game->getSelection().size(), 2u);
        EXPECT_TRUE(game->getSelection().front()->isOnSideBoard());
        EXPECT_EQ(game->getSuperHintTiles().size(), 2u);
    }
}

TEST_F(TutorialHintsTest, AFreeCellMatchWithAParkedTileClearsTheSideBoardHintUnseen) {
    Game* game = start(LevelCatalog::instance()->casinoLevel(TYPE_FREECELL, 0, RoomKind::CASINO));
    Tile* kept = parkOneOfAPair(game);
    ASSERT_NE(kept, nullptr);
    std::vector<RefHolder<Tile>> parked;
    game->getLayout()->getSideBoard()->getTiles(parked);
    ASSERT_EQ(parked.size(), 1u);
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_PROGRESS"))->getText(), L"0%");
    ASSERT_TRUE(player->isHintPending(HINT_FREECELL_SIDEBOARD));
    // The parked tile selected (its cell takes clicks only on a laid-out rack), then its twin.
    game->addSelectedTile(parked.front().get());
    ASSERT_EQ(click(kept), Game::CLICK_MATCH);
    EXPECT_EQ(openHint(), nullptr);
    EXPECT_FALSE(player->isHintPending(HINT_FREECELL_SIDEBOARD));
    EXPECT_EQ(objectCast<GameFreeCell>(game)->getHintCounter(), 0);
    // A shuffle with free cells to spare is no match: the counter stays.
    ASSERT_TRUE(scene->getAids().performShuffle(true));
    EXPECT_EQ(objectCast<GameFreeCell>(game)->getHintCounter(), 0);
    EXPECT_EQ(game->levelCounts.freeCellShuffleCount, 1);
    // The shuffle dealt the same level again: the pair taken stays counted as cleared.
    runFrames(200, 16);
    ASSERT_NE(parkOneOfAPair(Game::current()), nullptr);
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_PROGRESS"))->getText(), L"6%");
}

}  // namespace tutorial_hints_test
