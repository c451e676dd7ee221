// The player's aids and the services around play, driven through the game scene on the game's
// own levels: hint, shuffle and undo with their costs in each room, the super hint, the stuck
// question and the shuffle glows, the progress, the saved game of each room, the trophy notices,
// and the floaters of penalties, points and super scores. Pictures of the stuck question and of
// a score floater in flight go to build/pictures/gui/.
#include "screen/LevelFlowFixture.h"

#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Font.h"
#include "game/dialogs/DialogPause.h"
#include "game/dialogs/DialogTrophyInfo.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/profile/TrophyList.h"
#include "game/screen/TimeBar.h"
#include "gui/TextLayoutAudit.h"

namespace player_aids_test {

// The texts of the floaters now in flight.
std::vector<std::wstring> floaterTexts(SceneGame* scene) {
    std::vector<std::wstring> texts;
    for (GameNode* child = scene->getBoard().getEffectLayer()->getFirstChild(); child;
         child = child->getNextSibling()) {
        if (auto* label = objectCast<Label>(child); label && !label->isRemoved()) {
            texts.push_back(label->getText());
        }
    }
    return texts;
}

Label* lastFloater(SceneGame* scene) {
    Label* last = nullptr;
    for (GameNode* child = scene->getBoard().getEffectLayer()->getFirstChild(); child;
         child = child->getNextSibling()) {
        if (auto* label = objectCast<Label>(child)) {
            last = label;
        }
    }
    return last;
}

// Taken out of the scene: marked, or already unlinked by the purge.
bool isGone(GameNode* node) {
    return node->isRemoved() || !node->getParent();
}

bool hasText(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

Font* defaultFont(const std::string& key) {
    ResourceManager::DataLock lock;
    return objectCast<Font>(findLoadedResource(key, "default"));
}

// Takes tiles off the board until `left` remain, keeping the first ones found.
void thinOut(Layout* layout, int32_t left) {
    std::vector<RefHolder<Tile>> tiles;
    layout->getAllTiles(tiles);
    for (size_t i = static_cast<size_t>(std::max(left, 0)); i < tiles.size(); ++i) {
        layout->removeTile(tiles[i].get());
    }
}

class PlayerAidsTest : public LevelFlowTest {
protected:
    // A new game, as a room starts one: a saved game the player holds is dropped.
    Game* play(const RefHolder<Level>& level) {
        player->showHints = false;
        player->clearSavedGame();
        Game* game = start(level);
        reachPlay();
        return game;
    }
    RefHolder<Level> casino() {
        return LevelCatalog::instance()->casinoLevel(Game::TYPE_CLASSIC, 0, RoomKind::CASINO);
    }
    // Clicks the tiles of a hint, completing its match.
    void matchOnce(Game* game) {
        Game::TileList hint;
        ASSERT_TRUE(game->findHint(hint));
        for (const RefHolder<Tile>& tile : hint) {
            click(tile.get());
            game->update();
        }
        run(tuning().TILE_FADEOUT_TIME + 4 * FRAME_MS);
        // The host's word on the first pairs holds the game until it is closed.
        if (Dialog* host = openDialog("DIALOG_DORRICK_HINT")) {
            objectCast<DialogQuovelMahjong>(host)->closeAsOwnTarget(nullptr);
            ASSERT_GE(runUntil([&] { return pauseState() == SceneGame::RUNNING; }, 3000), 0);
        }
    }
};

TEST_F(PlayerAidsTest, HintsCostTheStockOnTheFloorsTimeInTheCasinoAndClockTimeInTheRecRoom) {
    const TuningConstants& c = tuning();
    ASSERT_GE(c.HINT_TIME_PENALTY, 1000);

    // Floors: no stock, no hint; with stock, one hint of one match, selected, and no second.
    Game* game = play(LevelCatalog::instance()->findLevel(1, 1));
    player->getHintStock().set(0);
    scene->getAids().onHint(nullptr);
    EXPECT_TRUE(game->getSuperHintTiles().empty());
    EXPECT_EQ(game->levelCounts.hintCount, 0);
    player->getHintStock().set(2);
    scene->getAids().onHint(nullptr);
    ASSERT_EQ(game->getSuperHintTiles().size(), 2u);
    EXPECT_TRUE(
        game->canMatch(game->getSuperHintTiles()[0].get(), game->getSuperHintTiles()[1].get()));
    EXPECT_EQ(game->getSelection().size(), 2u);
    EXPECT_EQ(game->levelCounts.hintCount, 1);
    EXPECT_EQ(player->getHintStock().getValue(), 1);
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_HINTS"))->getText(), L"1");
    scene->getAids().onHint(nullptr);
    EXPECT_EQ(game->levelCounts.hintCount, 1);
    EXPECT_EQ(player->getHintStock().getValue(), 1);

    // Casino: the time bar pays, and a bar short of the penalty gets no hint.
    game = play(casino());
    player->getHintStock().set(0);
    DisplayValue& time = scene->getTimeValue();
    time.set(c.HINT_TIME_PENALTY - 1);
    scene->getAids().onHint(nullptr);
    EXPECT_EQ(game->levelCounts.hintCount, 0);
    EXPECT_EQ(time.getValue(), c.HINT_TIME_PENALTY - 1);
    time.set(c.HINT_TIME_PENALTY + 5000);
    scene->getAids().onHint(nullptr);
    EXPECT_EQ(game->levelCounts.hintCount, 1);
    EXPECT_EQ(time.getValue(), 5000);
    EXPECT_EQ(time.getShown(), 5000);
    EXPECT_EQ(player->getHintStock().getValue(), 0);
    const std::wstring barPenalty = L"-" + std::to_wstring(c.HINT_TIME_PENALTY / 1000) + L" sec";
    EXPECT_TRUE(hasText(floaterTexts(scene), barPenalty));

    // Rec room: the clock pays, and its label floats the added seconds.
    game = play(recRoom());
    const int32_t clock = game->runCounts.clockTime;
    scene->getAids().onHint(nullptr);
    EXPECT_EQ(game->levelCounts.hintCount, 1);
    EXPECT_EQ(game->runCounts.clockTime, clock + c.HINT_CLOCK_TIME_PENALTY);
    const std::wstring clockPenalty =
        L"+" + std::to_wstring(c.HINT_CLOCK_TIME_PENALTY / 1000) + L" sec";
    EXPECT_TRUE(hasText(floaterTexts(scene), clockPenalty));
    // The floater rises and goes.
    RefHolder<Label> floater(lastFloater(scene));
    run(350 + 1000 + FRAME_MS * 4);
    EXPECT_FALSE(hasText(floaterTexts(scene), clockPenalty));
    EXPECT_GE(floater->getY() - floater->getHeight() / 2, 0);
}

TEST_F(PlayerAidsTest, ShufflesAndUndoFollowTheRoomAndAShuffleLeavesNothingToUndo) {
    // Floors without a shuffle in stock: nothing happens.
    Game* game = play(LevelCatalog::instance()->findLevel(1, 2));
    player->getShuffleStock().set(0);
    scene->getAids().onShuffle(nullptr);
    EXPECT_EQ(scene->getFlow().getCurrentState(), nullptr);
    EXPECT_EQ(game->levelCounts.shuffleCount, 0);
    player->getShuffleStock().set(2);
    scene->getAids().onShuffle(nullptr);
    EXPECT_TRUE(inState<StateShuffle>());
    EXPECT_EQ(player->getShuffleStock().getValue(), 1);
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_SHUFFLES"))->getText(), L"1");
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 20000), 0);

    // Casino: the time bar pays the game type's shuffle time.
    game = play(casino());
    matchOnce(game);
    ASSERT_FALSE(game->getUndoHistory().empty());
    run(1500);  // the match's floater gone
    DisplayValue& time = scene->getTimeValue();
    time.set(time.getMaximum());
    const int32_t full = time.getValue();
    scene->getAids().onShuffle(nullptr);
    EXPECT_TRUE(inState<StateShuffle>());
    EXPECT_EQ(game->levelCounts.shuffleCount, 1);
    EXPECT_TRUE(game->screenCounts.pressedShuffle);
    EXPECT_TRUE(game->getUndoHistory().empty());
    const int32_t penalty = full - time.getValue();
    EXPECT_GT(penalty, 0);
    EXPECT_TRUE(hasText(floaterTexts(scene), L"-" + std::to_wstring(penalty / 1000) + L" sec"));
    // The penalty of a full bar floats beside the bars, clear of the prize box above the bonus
    // bar and of the room's name, from its pop-in to the top of its rise.
    for (const int32_t step : {400, 400, 500}) {
        run(step);
        expectClearPicture(scene, "time-penalty-" + std::to_string(step));
    }
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 20000), 0);
    scene->getAids().onUndo(nullptr);
    EXPECT_EQ(game->runCounts.undoCount, 0);
    // A bar short of the shuffle's time shuffles nothing.
    time.set(penalty - 1);
    scene->getAids().onShuffle(nullptr);
    EXPECT_EQ(scene->getFlow().getCurrentState(), nullptr);
    EXPECT_EQ(game->levelCounts.shuffleCount, 1);

    // Rec room: undo takes the last match back and its button is the room's.
    game = play(recRoom());
    EXPECT_TRUE(scene->findChild("BUTTON_UNDO")->isVisible());
    EXPECT_FALSE(scene->findChild("BUTTON_SHUFFLE")->isVisible());
    const int32_t tiles = game->getLayout()->getTileCount();
    matchOnce(game);
    ASSERT_LT(game->getLayout()->getTileCount(), tiles);
    const int32_t matched = game->getLayout()->getTileCount();
    scene->getAids().onUndo(nullptr);
    run(10 * FRAME_MS);
    EXPECT_EQ(game->runCounts.undoCount, 1);
    EXPECT_GT(game->getLayout()->getTileCount(), matched);
}

TEST_F(PlayerAidsTest, AStuckBoardOffersItsWayOutInEachRoom) {
    // Casino, a shuffle would help: no question, the shuffle button and the matches blink; a
    // second stuck board leaves one glow of each, and the shuffle fades them.
    Game* game = play(casino());
    scene->getAids().showStuckDialog(true);
    EXPECT_FALSE(scene->isDialogOpen("TEXT_STUCK_QUOVEL"));
    ASSERT_NE(scene->getAids().getShuffleGlow(), nullptr);
    EXPECT_EQ(scene->getAids().getShuffleGlow()->getNextSibling(),
              scene->findChild("BUTTON_SHUFFLE"));
    Sprite* firstMatchesGlow = scene->getAids().getMatchesGlow();
    ASSERT_NE(firstMatchesGlow, nullptr);
    scene->getAids().showStuckDialog(true);
    EXPECT_TRUE(firstMatchesGlow->isRemoved());
    run(4 * FRAME_MS);
    int32_t glows = 0;
    for (GameNode* child = scene->getAids().getMatchesGlow()->getParent()->getFirstChild(); child;
         child = child->getNextSibling()) {
        glows += !child->isRemoved() && objectCast<Sprite>(child) ? 1 : 0;
    }
    EXPECT_EQ(glows, 1);
    scene->getTimeValue().set(100000);
    Sprite* glow = scene->getAids().getShuffleGlow();
    glow->addRef();
    scene->getAids().onShuffle(nullptr);
    EXPECT_EQ(scene->getAids().getShuffleGlow(), nullptr);
    EXPECT_EQ(scene->getAids().getMatchesGlow(), nullptr);
    run(150 + 4 * FRAME_MS);
    EXPECT_TRUE(isGone(glow));
    glow->release();
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 20000), 0);

    // Floors, a shuffle would help and one is in stock: the question's shuffle closes it, then
    // deals the board again at the stock's cost.
    game = play(LevelCatalog::instance()->findLevel(1, 1));
    player->getShuffleStock().set(1);
    scene->getAids().showStuckDialog(true);
    auto* offer = objectCast<DialogYesNo>(openDialog("TEXT_STUCK_QUOVEL"));
    ASSERT_NE(offer, nullptr);
    ASSERT_TRUE(offer->getYesButton()->isEnabled());
    scene->getAids().onStuckShuffle(offer->getYesButton());
    ASSERT_GE(runUntil([&] { return inState<StateShuffle>(); }, 5000), 0);
    EXPECT_FALSE(scene->isDialogOpen("TEXT_STUCK_QUOVEL"));
    EXPECT_EQ(game->levelCounts.shuffleCount, 1);
    EXPECT_EQ(player->getShuffleStock().getValue(), 0);
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 20000), 0);

    // Floors with two tiles that do not match: the question, its shuffle disabled.
    game = play(LevelCatalog::instance()->findLevel(1, 1));
    thinOut(game->getLayout(), 2);
    std::vector<RefHolder<Tile>> last;
    game->getLayout()->getAllTiles(last);
    ASSERT_EQ(last.size(), 2u);
    last[0]->setFace(0, 1);
    last[1]->setFace(1, 5);
    ASSERT_FALSE(game->canMatch(last[0].get(), last[1].get()));
    scene->getRenderer()->buildFromLayout(game->getLayout());
    scene->getRenderer()->addDirtyRect(Rect{0, 0, 800, 600});
    const int32_t stuckBefore = player->getStats().numStuck;
    scene->getHud().updateMatchesText();
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_MATCHES_REC"))->getText(), L"0");
    EXPECT_EQ(game->runCounts.numZeroMatches, 1);
    EXPECT_EQ(player->getStats().numStuck, stuckBefore + 1);
    auto* question = objectCast<DialogYesNo>(openDialog("TEXT_STUCK_QUOVEL"));
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(question->getYesButton()->isEnabled());
    EXPECT_TRUE(question->getNoButton()->isEnabled());
    // Without a game window there is nothing to centre on: the 440-pixel frame is placed by hand
    // and opened again.
    scene->closeDialog(question);
    question->setPosition((800 - 440) / 2, 200);
    scene->openDialog(question);
    run(600);
    ASSERT_NE(writeScenePicture(scene, "game-stuck"), nullptr);
    // Restart: the question closes first, then the level is built again.
    scene->getAids().onStuckRestart(question->getNoButton());
    ASSERT_GE(runUntil([&] { return inState<StateBuildLevel>(); }, 5000), 0);
    EXPECT_EQ(game->restartCount, 1);
    EXPECT_FALSE(scene->isDialogOpen("TEXT_STUCK_QUOVEL"));

    // Rec room: undo or restart.
    game = play(recRoom());
    thinOut(game->getLayout(), 2);
    game->getLayout()->getAllTiles(last);
    last[0]->setFace(0, 1);
    last[1]->setFace(1, 5);
    scene->getHud().updateMatchesText();
    auto* recQuestion = objectCast<DialogYesNo>(openDialog("TEXT_STUCK_RECROOM"));
    ASSERT_NE(recQuestion, nullptr);
    EXPECT_TRUE(recQuestion->getYesButton()->isEnabled());
}

TEST_F(PlayerAidsTest, TheHudCountsProgressAndTheSuperHintVeilsItsIcon) {
    Game* game = play(LevelCatalog::instance()->findLevel(1, 1));
    Layout* layout = game->getLayout();
    const int32_t total = layout->getStartingTileCount();
    ASSERT_EQ(total % 2, 0);
    // Floors: stocks and level shown, no clock, no undo.
    EXPECT_TRUE(scene->findChild("LABEL_HINTS")->isVisible());
    EXPECT_TRUE(scene->findChild("LABEL_LEVEL")->isVisible());
    EXPECT_FALSE(scene->findChild("BUTTON_UNDO")->isVisible());
    EXPECT_FALSE(scene->findChild("LABEL_TIME")->isVisible());

    // The super hint tints every match and veils its icon from nothing to whole.
    const int32_t duration = tuning().SUPER_HINT_DURATION;
    ASSERT_GT(duration, 0);
    RefHolder<Sprite> icon(new Sprite(
        740, 60, objectCast<Image>(findOrLoadResource("IMAGE_BONUS_SUPERHINT", "game"))));
    icon->setAnchor(Sprite::ANCHOR_CENTER);
    GameNode::appendChild(icon.get(), scene->getTree());
    scene->getAids().startSuperHint(icon.get());
    Sprite* veil = scene->getAids().getSuperHintOverlay();
    ASSERT_NE(veil, nullptr);
    ASSERT_TRUE(veil->getClipRect().has_value());
    EXPECT_EQ(veil->getClipRect()->w, 0);
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    EXPECT_EQ(game->getSuperHintTiles().size(), matches.size());
    // The icon blinks only in the super hint's last 900 ms.
    const auto blinking = [&] {
        for (const auto& modifier : icon->getRunningModifiers()) {
            if (objectCast<ModifierBlink>(modifier.get())) {
                return true;
            }
        }
        return false;
    };
    run(duration / 2);
    EXPECT_NEAR(veil->getClipRect()->w, veil->getWidth() / 2, veil->getWidth() / 8 + 1);
    run(duration / 2 - 1000);
    EXPECT_FALSE(blinking());
    run(100 + 2 * FRAME_MS);
    EXPECT_TRUE(blinking());
    // Held by a pause in its last moments, the icon blinks three times and then stays whole.
    Dialog* pause = scene->getDialog("DIALOG_PAUSE");
    ASSERT_NE(pause, nullptr);
    scene->openDialog(pause);
    run(1200);
    EXPECT_EQ(pauseState(), SceneGame::HELD);
    EXPECT_FALSE(blinking());
    EXPECT_EQ(icon->getAlpha(), 255);
    objectCast<DialogPause>(pause)->hide(nullptr);
    for (int i = 0; i < 100 && pauseState() != SceneGame::RUNNING; ++i) {
        run(FRAME_MS);
    }
    run(scene->getAids().getSuperHintTimeLeft() - 2 * FRAME_MS);
    EXPECT_NE(scene->getAids().getSuperHintIcon(), nullptr);
    EXPECT_GE(veil->getClipRect()->w, veil->getWidth() * 9 / 10);
    run(4 * FRAME_MS);
    EXPECT_EQ(scene->getAids().getSuperHintIcon(), nullptr);
    EXPECT_TRUE(game->getSuperHintTiles().empty());
    run(600);
    EXPECT_TRUE(isGone(icon.get()));

    // The share cleared, in whole percent, never above the truth: every exact share exactly.
    for (int32_t left = total; left >= 0; --left) {
        thinOut(layout, left);
        scene->getHud().updateProgressLabel();
        const std::string share = std::to_string((total - left) * 100 / total) + "%";
        ASSERT_EQ(objectCast<Label>(scene->findChild("LABEL_PROGRESS_REC"))->getText(),
                  std::wstring(share.begin(), share.end()))
            << left << " of " << total << " left";
    }
}

TEST_F(PlayerAidsTest, TheRunningGameIsSavedPerRoomAndComesBackInTheSameState) {
    PlayerManager* players = PlayerManager::getInstance();
    // The floors never save.
    play(LevelCatalog::instance()->findLevel(1, 1));
    scene->hide();
    EXPECT_FALSE(players->saveGameExists("0", "Ann"));

    // Leaving a casino level writes it, bars and all.
    Game* game = play(casino());
    matchOnce(game);
    scene->getTimeValue().set(54321);
    const int32_t tiles = game->getLayout()->getTileCount();
    const int32_t index = game->getLevel()->getIndex();
    scene->hide();
    EXPECT_EQ(scene->getSavedGame().getMode(), 0);
    ASSERT_TRUE(players->saveGameExists("1", "Ann"));
    ASSERT_TRUE(Game::loadSaved(1));
    game = Game::current();
    EXPECT_EQ(game->getLayout()->getTileCount(), tiles);
    scene->show();
    EXPECT_EQ(scene->getTimeValue().getValue(), 54321);
    EXPECT_EQ(game->getLevel()->getIndex(), index);
    // Its file stays while the level plays.
    EXPECT_TRUE(players->saveGameExists("1", "Ann"));

    // Leaving after a won casino level writes the next one, not won.
    scene->setSaveMode(2);
    game->setHasWon(true);
    scene->hide();
    ASSERT_TRUE(Game::loadSaved(1));
    EXPECT_EQ(Game::current()->getLevel()->getIndex(), index + 1);
    EXPECT_FALSE(Game::current()->getHasWon());

    RefHolder<Level> bare = casino();
    bare->setLayoutObject(nullptr);
    GameHooks::installMessageBox(&messageBox);
    EXPECT_EQ(Game::createForLevel(Game::TYPE_CLASSIC, bare.get()), nullptr);
    EXPECT_NE(messageBox.shown.at(0).text.find("another game or difficulty."), std::string::npos);
    // Into a folder that a file stands in for: kept, and written once the folder is back.
    matchOnce(play(casino()));
    const auto folder = std::filesystem::path(players->getPlayerFileName("1", "Ann")).parent_path();
    std::filesystem::remove_all(folder);
    writeTestFile(folder, "in the way");
    scene->hide();
    scene->getSavedGame().drop();  // a new start keeps it: the player was not offered it
    std::filesystem::remove(folder);
    scene->getSavedGame().save();
    ASSERT_TRUE(Game::loadSaved(1));
    EXPECT_EQ(Game::current()->getLayout()->getTileCount(), tiles);
    // A folder where the saved game goes: the box names the saved game's file.
    GameHooks::installMessageBox(&messageBox);
    matchOnce(play(casino()));
    const std::filesystem::path stored = players->getStoredSaveGameName("1", "Ann");
    std::filesystem::create_directory(stored);
    scene->hide();
    GameHooks::installMessageBox(nullptr);
    ASSERT_FALSE(messageBox.shown.empty());
    std::string text = messageBox.shown.back().text;
    std::erase(text, '\n');
    EXPECT_NE(text.find("as" + stored.filename().string() + "in the folder" +
                        stored.parent_path().string()),
              std::string::npos);
}

TEST_F(PlayerAidsTest, TrophyNoticesWaitNewestFirstAndAreDroppedWhenTheyCannotShow) {
    Game* game = play(LevelCatalog::instance()->findLevel(1, 1));
    TrophyList& trophies = player->getTrophies();
    scene->getTrophies().awardTrophy(TrophyId::NO_UNDO);
    auto* notice = objectCast<DialogTrophyInfo>(scene->getTrophies().getTrophyPopup());
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_TROPHY_INFO"));
    EXPECT_EQ(notice->getTrophy(), trophies.getTrophy(TrophyId::NO_UNDO));
    EXPECT_EQ(trophies.getTrophy(TrophyId::NO_UNDO)->state, Trophy::EARNED);
    scene->getTrophies().awardTrophy(TrophyId::SPLIT_NO_SHUFFLE);
    scene->getTrophies().awardTrophy(TrophyId::PLENTY_OF_TIME);
    // A trophy earned once shows no second notice.
    scene->getTrophies().awardTrophy(TrophyId::NO_UNDO);
    EXPECT_EQ(scene->getTrophies().getTrophyQueue(), (std::vector<int32_t>{1, 2}));
    // Each notice leaves by itself; the newest waiting one comes next.
    auto showing = [&](int32_t index) {
        auto* open = objectCast<DialogTrophyInfo>(scene->getTrophies().getTrophyPopup());
        return open && open->getTrophy() == trophies.getTrophy(index);
    };
    ASSERT_GE(runUntil([&] { return showing(2); }, 30000), 0);
    ASSERT_GE(runUntil([&] { return showing(1); }, 30000), 0);
    ASSERT_GE(runUntil([&] { return scene->getTrophies().getTrophyPopup() == nullptr; }, 30000), 0);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY_INFO"));

    // With nine tiles left the notice is dropped, not queued.
    thinOut(game->getLayout(), 9);
    scene->getTrophies().awardTrophy(TrophyId::QUICK_BONUS);
    EXPECT_EQ(trophies.getTrophy(TrophyId::QUICK_BONUS)->state, Trophy::EARNED);
    EXPECT_EQ(scene->getTrophies().getTrophyPopup(), nullptr);
    EXPECT_TRUE(scene->getTrophies().getTrophyQueue().empty());
}

TEST_F(PlayerAidsTest, FloatersShowPointsPenaltiesAndSuperScoresWhereTheyBelong) {
    Game* game = play(LevelCatalog::instance()->findLevel(1, 1));
    const TuningConstants& c = tuning();
    std::vector<RefHolder<Tile>> tiles;
    game->getLayout()->getAllTiles(tiles);
    Tile* tile = tiles.front().get();
    LayoutRenderer* renderer = scene->getRenderer();
    const int32_t x =
        renderer->gridToScreenX(tile->getGridZ(), tile->getGridX()) + c.TILE_FACE_WIDTH / 2;
    const int32_t y = renderer->gridToScreenY(tile->getGridZ(), tile->getGridY()) - 30;

    scene->getBoard().showScoreFloater(3, tile, 150);
    RefHolder<Label> floater(lastFloater(scene));
    ASSERT_NE(floater.get(), nullptr);
    EXPECT_EQ(floater->getText(), L"150 x 3");
    EXPECT_EQ(floater->getFont(), defaultFont("FONT_SCORE_FLOATER3"));
    EXPECT_EQ(floater->getX(), x);
    EXPECT_EQ(floater->getY(), y);
    // In flight: stretched in to its text's size, then a hundred pixels up over a second.
    run(350 + 500);
    EXPECT_GT(floater->getWidth(), 0);
    EXPECT_LT(floater->getY(), y - 30);
    EXPECT_GT(floater->getY(), y - 100);
    ASSERT_NE(writeScenePicture(scene, "game-score-floater"), nullptr);
    run(700);
    EXPECT_TRUE(isGone(floater.get()));
    scene->getBoard().showScoreFloater(9, tile, 150);
    EXPECT_EQ(lastFloater(scene)->getFont(), defaultFont("FONT_SCORE_FLOATER6"));
    scene->getBoard().showScoreFloater(1, tile, 150);
    EXPECT_EQ(lastFloater(scene)->getText(), L"150");
    EXPECT_EQ(lastFloater(scene)->getFont(), defaultFont("FONT_SCORE_FLOATER1"));
    ASSERT_NE(defaultFont("FONT_SCORE_FLOATER1"), nullptr);
    EXPECT_NE(defaultFont("FONT_SCORE_FLOATER6"), defaultFont("FONT_SCORE_FLOATER1"));

    // A penalty of twelve seconds on the time bar.
    scene->getBoard().getFloaters().showTimeBarPenalty(-12);
    EXPECT_EQ(lastFloater(scene)->getText(), L"-12 sec");

    // The first crossing of the first threshold shows two stars; a best above it shows none.
    Level* level = game->getLevel();
    ASSERT_GT(level->getSilver(), 0);
    auto groups = [&] {
        int32_t count = 0;
        for (GameNode* child = scene->getBoard().getEffectLayer()->getFirstChild(); child;
             child = child->getNextSibling()) {
            count += !child->isRemoved() && !objectCast<Sprite>(child) ? 1 : 0;
        }
        return count;
    };
    auto starsOf = [](GameNode* group) {
        int32_t count = 0;
        for (GameNode* child = group->getFirstChild(); child; child = child->getNextSibling()) {
            count += objectCast<Sprite>(child) && !objectCast<Label>(child) ? 1 : 0;
        }
        return count;
    };
    run(2000);
    ASSERT_EQ(groups(), 0);
    scene->getBoard().showSuperScore(level->getSilver(), level->getSilver());
    ASSERT_EQ(groups(), 1);
    GameNode* group = scene->getBoard().getEffectLayer()->getLastChild();
    EXPECT_EQ(starsOf(group), 2);
    scene->getBoard().showSuperScore(level->getGold(), level->getGold() - level->getSilver());
    EXPECT_EQ(starsOf(scene->getBoard().getEffectLayer()->getLastChild()), 3);
    run(6000);
    EXPECT_EQ(groups(), 0);
    player->getStats().roomRecord(1, 1)->bestScore = level->getSilver() + 1;
    scene->getBoard().showSuperScore(level->getSilver(), level->getSilver());
    EXPECT_EQ(groups(), 0);
}

}  // namespace player_aids_test
