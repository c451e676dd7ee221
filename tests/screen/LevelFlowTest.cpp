// Levels driven frame by frame through the scene manager on the game's own definitions, art and
// levels: a floor level from its notice through the host's instructions and the tile-by-tile
// build to play, pause and menu by focus loss and buttons, and a win recorded in the profile; a
// casino run lost into its high-score table, a won casino level going on in place and a mixed
// roof run changing its game type; the rec room's clock, a shuffle, a restart and a stop from the
// roof. Pictures of the half-built board and of the won level go to build/pictures/gui/.
#include "screen/LevelFlowFixture.h"

#include "game/rules/SideBoard.h"
#include "game/screen/TileModifiers.h"

namespace level_flow_test {

TEST_F(LevelFlowTest, AFloorLevelGoesFromItsNoticeThroughTheBuildToPlayAndIsWon) {
    const TuningConstants& c = tuning();
    ASSERT_GT(c.LEVEL_INFO_DELAY, 0);
    Game* game = start(LevelCatalog::instance()->findLevel(1, 1));
    Level* level = game->getLevel();
    const std::set<Cell> board = placesOf(*game->getLayout());
    const int32_t tileCount = static_cast<int32_t>(board.size());
    ASSERT_GT(tileCount, 0);

    // The notice names the game type and the room; nothing runs behind it.
    ASSERT_TRUE(inState<StateRoomInfo>());
    Dialog* notice = openDialog("DIALOG_LEVEL_INFO");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(labelOf(notice, "LABEL_GAMETYPE"),
              getBasicText("TEXT_GAMETYPE" + std::to_string(level->getGameType() + 1)));
    EXPECT_EQ(labelOf(notice, "LABEL_ROOM"), getBasicText("TEXT_ROOM") + L" 11");
    EXPECT_EQ(pauseState(), SceneGame::HELD);
    EXPECT_FALSE(objectCast<Button>(scene->findChild("BUTTON_PAUSE"))->isEnabled());
    EXPECT_EQ(player->getStats().roomRecord(1, 1)->playCount, 1);
    EXPECT_EQ(player->getStats().roomRecord(1, 1)->gameType, level->getGameType());

    // Shown in full once faded in.
    const int32_t fadedIn = (c.DIALOG_FADE_TIME / FRAME_MS + 1) * FRAME_MS;
    run(fadedIn);
    ASSERT_TRUE(inState<StateRoomInfo>());
    ASSERT_NE(writeScenePicture(scene, "game-level-info"), nullptr);

    // It closes by itself after its fade-in and wait; then the host explains the game type once.
    const int32_t noticeTime = fadedIn + runUntil([&] { return !inState<StateRoomInfo>(); }, 10000);
    EXPECT_NEAR(noticeTime, 2 * c.DIALOG_FADE_TIME + c.LEVEL_INFO_DELAY, 3 * FRAME_MS);
    EXPECT_EQ(game->runCounts.realTime, 0);
    ASSERT_TRUE(inState<StateInstructions>());
    const int32_t hint = StateInstructions::hintNumber(RoomKind::FLOORS, level->getGameType());
    Dialog* host = openDialog("DIALOG_DORRICK_HINT");
    ASSERT_NE(host, nullptr);
    EXPECT_FALSE(player->hints[hint]);
    run(500);
    EXPECT_TRUE(inState<StateInstructions>()) << "the host waits for his OK";
    objectCast<DialogQuovelMahjong>(host)->closeAsOwnTarget(nullptr);
    ASSERT_GE(runUntil([&] { return inState<StateBuildLevel>(); }, 2000), 0);

    // The board is built from nothing, at most 20 ms per tile; a dialog opened and closed
    // meanwhile leaves the HUD off.
    auto* build = static_cast<StateBuildLevel*>(scene->getFlow().getCurrentState());
    const int32_t interval = build->getInterval();
    EXPECT_EQ(interval, std::min(20, c.BUILD_LAYOUT_DURATION / tileCount));
    EXPECT_EQ(game->getLayout()->getTileCount(), 0);
    Dialog* question = scene->getDialog("DIALOG_YESNO");
    scene->openDialog(question);
    scene->closeDialog(question);
    EXPECT_FALSE(objectCast<Button>(scene->findChild("BUTTON_PAUSE"))->isEnabled());
    // Every tile goes back onto the cells it stood on: whatever lay under it is there already.
    bool pictured = false;
    int32_t built = 0;
    int32_t buildTime = 0;
    while (inState<StateBuildLevel>() && buildTime < 10000) {
        run(FRAME_MS);
        buildTime += FRAME_MS;
        const int32_t placed = game->getLayout()->getTileCount();
        EXPECT_GE(placed, built);
        built = placed;
        game->getLayout()->forEachTile([&](Tile* tile) {
            const int32_t x = tile->getGridX();
            const int32_t y = tile->getGridY();
            const int32_t z = tile->getGridZ();
            for (const Cell& under : {Cell{x, y, z - 1}, Cell{x + 1, y, z - 1},
                                      Cell{x, y + 1, z - 1}, Cell{x + 1, y + 1, z - 1}}) {
                const auto [ux, uy, uz] = under;
                if (uz >= 0 && game->getLayout()->getCell(ux, uy, uz) == nullptr) {
                    for (const Cell& place : board) {
                        const auto [bx, by, bz] = place;
                        EXPECT_FALSE(bz == uz && ux >= bx && ux <= bx + 1 && uy >= by &&
                                     uy <= by + 1)
                            << "a tile stands over an empty cell";
                    }
                }
            }
        });
        if (!pictured && placed >= tileCount / 2 && placed < tileCount) {
            ASSERT_NE(writeScenePicture(scene, "game-board-half-built"), nullptr);
            pictured = true;
        }
    }
    EXPECT_TRUE(pictured);
    EXPECT_LE(buildTime, tileCount * interval + 3 * FRAME_MS);
    EXPECT_LT(buildTime, c.BUILD_LAYOUT_DURATION + 3 * FRAME_MS);
    ASSERT_EQ(scene->getFlow().getCurrentState(), nullptr) << "play is no state";
    EXPECT_EQ(placesOf(*game->getLayout()), board);
    EXPECT_EQ(game->getLayout()->getTileCount(), tileCount);
    EXPECT_TRUE(objectCast<Button>(scene->findChild("BUTTON_PAUSE"))->isEnabled());
    EXPECT_TRUE(scene->getHud().getHintButton()->isEnabled());
    EXPECT_EQ(scene->getSavedGame().getMode(), 1);

    // Play time passes; losing the focus hides the tiles and opens the pause dialog, which
    // holds the time and the menu request until it closes.
    // The level's clock stood still through the notice, the instructions and the build; it
    // starts in the frame in which play begins.
    DisplayValue& time = scene->getTimeValue();
    const int32_t started = level->getPlayTime().getInt() * tileCount - FRAME_MS;
    EXPECT_EQ(time.getValue(), started);
    run(10 * FRAME_MS);
    EXPECT_EQ(game->runCounts.realTime, 10 * FRAME_MS);
    EXPECT_EQ(time.getValue(), started - 10 * FRAME_MS);
    scene->onWindowMessage(8, 0, 0);
    run(FRAME_MS);
    Dialog* pause = openDialog("DIALOG_PAUSE");
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(pauseState(), SceneGame::HIDDEN);
    EXPECT_FALSE(scene->getRenderer()->getSymbolsShown());
    EXPECT_TRUE(objectCast<DialogQuovelMahjong>(pause)->getFadeInOnShow());
    scene->getFlow().onMenuButton(nullptr);
    run(5 * FRAME_MS);
    EXPECT_EQ(game->runCounts.realTime, 10 * FRAME_MS);
    EXPECT_EQ(time.getValue(), started - 10 * FRAME_MS);
    EXPECT_EQ(openDialog("DIALOG_MENU"), nullptr);
    scene->closeDialog(pause);
    EXPECT_EQ(pauseState(), SceneGame::RUNNING);
    EXPECT_TRUE(scene->getRenderer()->getSymbolsShown());
    run(FRAME_MS);
    Dialog* menu = openDialog("DIALOG_MENU");
    ASSERT_NE(menu, nullptr) << "the request waited for the pause dialog";
    EXPECT_EQ(pauseState(), SceneGame::HIDDEN);
    // A further dialog leaves the tiles hidden; they come back with the last one.
    Dialog* another = scene->getDialog("DIALOG_YESNO");
    scene->openDialog(another);
    scene->closeDialog(menu);
    EXPECT_FALSE(scene->getRenderer()->getSymbolsShown());
    scene->closeDialog(another);
    EXPECT_TRUE(scene->getRenderer()->getSymbolsShown());
    EXPECT_TRUE(objectCast<Button>(scene->findChild("BUTTON_MENU"))->isEnabled());
    // Deactivated in this very frame: the pause dialog shows at once.
    scene->onWindowMessage(0xAF00FA01u, 0, 0);
    run(FRAME_MS);
    pause = openDialog("DIALOG_PAUSE");
    ASSERT_NE(pause, nullptr);
    EXPECT_FALSE(objectCast<DialogQuovelMahjong>(pause)->getFadeInOnShow());
    scene->closeDialog(pause);
    run(FRAME_MS);
    EXPECT_EQ(pauseState(), SceneGame::RUNNING);

    // Cleared by clicks: the level is won and recorded; the board takes no more clicks.
    const Game::TileList order = game->getBuildOrder();
    for (size_t k = 0; k + 1 < order.size(); k += 2) {
        ASSERT_EQ(click(order[k].get()), Game::CLICK_SELECT) << k;
        ASSERT_EQ(click(order[k + 1].get()), Game::CLICK_MATCH) << k;
        run(FRAME_MS);
    }
    ASSERT_TRUE(inState<StateGameWon>());
    EXPECT_TRUE(scene->getFlow().isLevelOver());
    EXPECT_TRUE(game->getHasWon());
    EXPECT_EQ(scene->getSavedGame().getMode(), 2);
    const int32_t score = game->getScore().getValue();
    EXPECT_GT(score, 0);
    const RoomRecord* room = player->getStats().roomRecord(1, 1);
    EXPECT_EQ(room->bestScore, score);
    EXPECT_EQ(room->levelWinCount, 1);
    EXPECT_EQ(room->bestTime, game->runCounts.realTime);
    EXPECT_EQ(player->getStats().numGamesWon, 1);
    EXPECT_EQ(player->getStats().quovelRecord, score);
    EXPECT_EQ(player->getStats().twoStarsCount, score >= level->getSilver() ? 1 : 0);
    // Stored at once, before the level-end dialogs.
    RefHolder<QuovelMahjongPlayer> stored(new QuovelMahjongPlayer("Ann"));
    ASSERT_TRUE(PlayerManager::getInstance()->loadPlayer(stored.get()));
    EXPECT_EQ(stored->getStats().roomRecord(1, 1)->levelWinCount, 1);
    ASSERT_NE(hallway, nullptr);
    EXPECT_EQ(hallway->getHintSelector(), score >= level->getSilver() ? 3 : 2);
    EXPECT_FALSE(scene->isPlaying());
    // The last pair has faded out; the level-end dialog is still to come.
    run(75 * FRAME_MS);
    ASSERT_NE(writeScenePicture(scene, "game-won"), nullptr);
    EXPECT_TRUE(requestedRoom.empty()) << "the level end waits";
    continueLevelEnd();
    EXPECT_EQ(requestedRoom, "SCENE_HALLWAY");
}

TEST_F(LevelFlowTest, CasinoAndRoofRunsEndTheirLevels) {
    player->showHints = false;
    // A lost casino level: the score goes into the table of its key and the run's records.
    Game* game = start(LevelCatalog::instance()->casinoLevel(TYPE_RIVER, 0, RoomKind::CASINO));
    ASSERT_TRUE(inState<StateRoomInfo>());
    Dialog* notice = openDialog("DIALOG_LEVEL_INFO");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(labelOf(notice, "LABEL_ROOM"), getBasicText("TEXT_LEVEL") + L" 1");
    reachPlay();
    EXPECT_EQ(player->getStats().casinoRecord(Game::TYPE_RIVER, 0)->playCountRiver, 1);
    game->getScore().set(4200);
    scene->getTimeValue().set(0);
    run(FRAME_MS);
    ASSERT_TRUE(inState<StateGameOver>());
    EXPECT_TRUE(scene->getFlow().isLevelOver());
    EXPECT_EQ(scene->getSavedGame().getMode(), 0);
    HighScoreTable* table = HighScoreManager::getInstance()->getTable("1_4_0");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->containsPlayer("Ann"));
    EXPECT_TRUE(player->newScorePending);
    EXPECT_EQ(player->getStats().casinoRecord(Game::TYPE_RIVER, 0)->bestScore, 4200);
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::CASINO_FIRST)->state, Trophy::HELD_BACK);
    RefHolder<QuovelMahjongPlayer> stored(new QuovelMahjongPlayer("Ann"));
    ASSERT_TRUE(PlayerManager::getInstance()->loadPlayer(stored.get()));
    EXPECT_EQ(stored->getTrophies().getTrophy(TrophyId::CASINO_FIRST)->state, Trophy::HELD_BACK);
    EXPECT_FALSE(game->getHasWon());
    // The level-end dialog opens once, in the frame that completes 1500 ms after the end.
    run(1500 / FRAME_MS * FRAME_MS);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_LEVEL_END"));
    run(FRAME_MS);
    Dialog* end = openDialog("DIALOG_LEVEL_END");
    ASSERT_NE(end, nullptr);
    run(1000);
    EXPECT_EQ(openDialog("DIALOG_LEVEL_END"), end);
    EXPECT_TRUE(requestedRoom.empty());
    continueLevelEnd();
    EXPECT_EQ(requestedRoom, "SCENE_CASINO");

    // A won casino level goes on in place, clean and saved, to the next River level; then lost.
    requestedRoom.clear();
    game = start(LevelCatalog::instance()->casinoLevel(TYPE_RIVER, 0, RoomKind::CASINO));
    reachPlay();
    game->getScore().set(900);
    scene->getAids().onShuffle(nullptr);
    scene->getBoard().enterGameWon();
    ASSERT_TRUE(inState<StateGameWon>());
    continueLevelEnd();
    EXPECT_TRUE(requestedRoom.empty());
    EXPECT_EQ(Game::current(), game);
    EXPECT_EQ(game->getLevel()->getIndex(), 1);
    EXPECT_EQ(game->getLevel()->getGameType(), Game::TYPE_RIVER);
    EXPECT_EQ(game->getScore().getValue(), 900);
    EXPECT_EQ(scene->getSavedGame().getMode(), 1);
    ASSERT_TRUE(inState<StateRoomInfo>());
    notice = openDialog("DIALOG_LEVEL_INFO");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(labelOf(notice, "LABEL_ROOM"), getBasicText("TEXT_LEVEL") + L" 2");
    EXPECT_FALSE(game->screenCounts.pressedShuffle || game->levelCounts.shuffleCount > 0);
    scene->getFlow().restartLevel();
    EXPECT_TRUE(Game::canLoadSaved(1));
    reachPlay();
    EXPECT_EQ(player->getStats().casinoRecord(Game::TYPE_RIVER, 0)->bestScore, 4200);
    scene->getFlow().enterGameOver();
    EXPECT_FALSE(PlayerManager::getInstance()->saveGameExists("1", "Ann"));

    // A run whose next layout cannot be read ends after the won level: the player is told and
    // goes back to the casino, no next level is started or saved, and the saved run is gone.
    PropertyNode* series = LevelCatalog::instance()
                               ->getCasino()
                               ->getChildNode("River")
                               ->getChildNode("normal")
                               ->getChildNode("level");
    auto* names = new PropertyVector("layoutFileNames");
    series->addChild(names);
    names->addChild(new PropertyValue("", std::string("window.xml")));
    names->addChild(new PropertyValue("", std::string("unreadable.xml")));
    RefHolder<Level> damaged =
        LevelCatalog::instance()->casinoLevel(TYPE_RIVER, 0, RoomKind::CASINO);
    series->removeChild("layoutFileNames");
    requestedRoom.clear();
    game = start(damaged);
    reachPlay();
    scene->getSavedGame().save();
    scene->getBoard().enterGameWon();
    GameHooks::installMessageBox(&messageBox);
    continueLevelEnd();
    GameHooks::installMessageBox(nullptr);
    EXPECT_EQ(requestedRoom, "SCENE_CASINO");
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_NE(messageBox.shown[0].text.find("the run ends here"), std::string::npos);
    EXPECT_FALSE(inState<StateRoomInfo>());
    scene->getSavedGame().save();
    EXPECT_EQ(scene->getSavedGame().getMode(), 0);
    EXPECT_FALSE(PlayerManager::getInstance()->saveGameExists("1", "Ann"));

    // A won mixed roof level goes on with another game type and the same score.
    RefHolder<Level> roof = LevelCatalog::instance()->casinoLevel(TYPE_SPLIT, 1, RoomKind::ROOF);
    roof->setMixed(true);
    game = start(roof);
    reachPlay();
    game->getScore().set(1234);
    scene->getBoard().enterGameWon();
    EXPECT_EQ(player->getStats().rooftopRecord(Game::TYPE_SPLIT, 1)->bestScore, 1234);
    continueLevelEnd();
    Game* next = Game::current();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next->getLevel()->getGameType(), Game::TYPE_SPLIT);
    EXPECT_TRUE(next->getLevel()->isMixed());
    EXPECT_EQ(next->getLevel()->getGameMode(), RoomKind::ROOF);
    EXPECT_EQ(next->getLevel()->getDifficulty(), 1);
    EXPECT_EQ(next->getScore().getValue(), 1234);
    EXPECT_TRUE(inState<StateRoomInfo>());
    reachPlay();
    EXPECT_EQ(placesOf(*next->getLayout()).size(),
              static_cast<size_t>(next->getLayout()->getTileCount()));
}

TEST_F(LevelFlowTest, TheRecRoomClockAShuffleARestartAndAStopFromTheRoof) {
    player->showHints = false;
    // In the rec room the time never ends a level and the clock counts up.
    Game* game = start(recRoom());
    Dialog* notice = openDialog("DIALOG_LEVEL_INFO");
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->findChild("LABEL_ROOM")->isVisible());
    reachPlay();
    scene->getTimeValue().set(0);
    run(64 * FRAME_MS);
    EXPECT_EQ(scene->getFlow().getCurrentState(), nullptr);
    EXPECT_EQ(game->runCounts.clockTime, 64 * FRAME_MS);
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_TIME"))->getText(), L"00:01");

    // A shuffle takes the board down tile by tile and builds the shuffled one up again.
    game = start(LevelCatalog::instance()->findLevel(1, 2));
    reachPlay();
    Layout* before = game->getLayout();
    const std::set<Cell> board = placesOf(*before);
    const int32_t count = static_cast<int32_t>(board.size());
    scene->getFlow().setState(new StateShuffle(scene));
    auto* shuffle = static_cast<StateShuffle*>(scene->getFlow().getCurrentState());
    EXPECT_EQ(shuffle->getInterval(), count > 25 ? tuning().TEAR_DOWN_LAYOUT_DURATION / count
                                                 : tuning().TEAR_DOWN_LAYOUT_MIN_DURATION);
    EXPECT_FALSE(objectCast<Button>(scene->findChild("BUTTON_PAUSE"))->isEnabled());
    run(shuffle->getInterval() * count / 2);
    EXPECT_LT(before->getTileCount(), count);
    EXPECT_GT(before->getTileCount(), 0);
    ASSERT_GE(runUntil([&] { return inState<StateBuildLevel>(); }, 10000), 0);
    EXPECT_NE(game->getLayout(), before);
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 10000), 0);
    EXPECT_EQ(placesOf(*game->getLayout()), board);
    EXPECT_EQ(game->getLayout()->getTileCount(), count);

    // A restart builds the whole level again without counting another start.
    const Game::TileList order = game->getBuildOrder();
    for (const RefHolder<Tile>& first : order) {
        if (click(first.get()) == Game::CLICK_SELECT) {
            break;
        }
    }
    game->clearSelection();
    const int32_t starts = player->getStats().roomRecord(1, 2)->playCount;
    EXPECT_EQ(starts, 1);
    scene->getFlow().restartLevel();
    EXPECT_EQ(game->restartCount, 1);
    EXPECT_TRUE(inState<StateBuildLevel>());
    EXPECT_EQ(objectCast<Label>(scene->findChild("LABEL_TIME"))->getText(), L"00:00");
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 10000), 0);
    EXPECT_EQ(game->getLayout()->getTileCount(), count);
    EXPECT_EQ(player->getStats().roomRecord(1, 2)->playCount, starts);
    EXPECT_EQ(game->restartCount, 1);

    // Stopped from the menu on the roof: the elevator stands at floor 23, trophies are seen.
    Scene* elevator = manager->createScene("SCENE_ELEVATOR");
    gameScenes().elevator = elevator;
    ASSERT_NE(SceneElevator::instance(), nullptr);
    game->getLevel()->setGameMode(RoomKind::ROOF);
    player->getTrophies().getTrophy(TrophyId::QUICK_BONUS)->state = Trophy::EARNED;
    LevelFlow::onGameStopped(nullptr);
    EXPECT_EQ(SceneElevator::instance()->getStop(), 23);
    EXPECT_EQ(manager->getRequestedScene(), elevator);
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::QUICK_BONUS)->state, Trophy::SEEN);
    EXPECT_TRUE(requestedRoom.empty());
    gameScenes().elevator = nullptr;
}

TEST_F(LevelFlowTest, ALevelResumedFromASavedGameStaysSavedAndIsNotCountedAgain) {
    player->showHints = false;
    player->keepSavedGame(new PropertyNode("game"));
    start(LevelCatalog::instance()->casinoLevel(TYPE_CLASSIC, 0, RoomKind::CASINO));
    // Leaving during the notice saves it again.
    EXPECT_EQ(scene->getSavedGame().getMode(), 1);
    EXPECT_EQ(player->getSavedGame(), nullptr);
    EXPECT_EQ(player->getStats().casinoRecord(Game::TYPE_CLASSIC, 0)->playCount, 0);
    // A second show without the offered game counts its start.
    start(LevelCatalog::instance()->casinoLevel(TYPE_CLASSIC, 0, RoomKind::CASINO));
    EXPECT_EQ(scene->getSavedGame().getMode(), 0);
    EXPECT_EQ(player->getStats().casinoRecord(Game::TYPE_CLASSIC, 0)->playCount, 1);
    reachPlay();
    EXPECT_EQ(scene->getSavedGame().getMode(), 1);
}

TEST_F(LevelFlowTest, TheLastRoomOfAFloorCompletesItEvenWithoutTimeOrBuildDuration) {
    player->showHints = false;
    Scene* elevator = manager->createScene("SCENE_ELEVATOR");
    gameScenes().elevator = elevator;
    // No build time: every tile still takes a millisecond of its own.
    BasicProperties::instance()->setInteger("BUILD_LAYOUT_DURATION", 0);
    loadTuningConstants();
    RefHolder<Level> level = LevelCatalog::instance()->findLevel(1, 5);
    ASSERT_NE(level.get(), nullptr);
    // A level file without play time.
    const_cast<Progression&>(level->getPlayTime()) = Progression(0.0f);
    QuovelMahjongStats& stats = player->getStats();
    for (int32_t room = 1; room <= 4; ++room) {
        stats.roomRecord(1, room)->levelWinCount = 1;
    }
    // An old best at the second medal: the first medal's count still rises.
    stats.roomRecord(1, 5)->bestScore = level->getGold();
    Game* game = start(level);
    ASSERT_GE(runUntil([&] { return inState<StateBuildLevel>(); }, 10000), 0);
    auto* build = static_cast<StateBuildLevel*>(scene->getFlow().getCurrentState());
    EXPECT_EQ(build->getInterval(), 1);
    const size_t tiles = build->tilesLeft();
    run(FRAME_MS);
    EXPECT_EQ(build->tilesLeft(), tiles > FRAME_MS ? tiles - FRAME_MS : 0u);
    ASSERT_GE(runUntil([&] { return scene->getFlow().getCurrentState() == nullptr; }, 10000), 0);
    EXPECT_EQ(scene->getTimeValue().getMaximum(), 0);

    // Won before the empty clock ends the level: no share of a time of 0, a close call.
    game->getScore().set(level->getSilver());
    scene->getBoard().enterGameWon();
    ASSERT_TRUE(inState<StateGameWon>());
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::PLENTY_OF_TIME)->state, Trophy::NOT_EARNED);
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::CLOSE_CALL)->state, Trophy::EARNED);
    EXPECT_EQ(stats.twoStarsCount, 1);
    EXPECT_EQ(stats.threeStarsCount, 0);
    EXPECT_EQ(stats.roomRecord(1, 5)->bestScore, level->getGold());
    // The floor is complete: the next one opens, held back behind the elevator's snap.
    EXPECT_EQ(player->floorReached, 2);
    EXPECT_EQ(SceneElevator::instance()->getPendingFloors(), std::vector<int32_t>{2});
    EXPECT_EQ(SceneElevator::instance()->getUnlockedItem(), floorUnlockIndex(1));
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::FLOOR_DONE)->state, Trophy::HELD_BACK);
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::TEN_FLOORS)->state, Trophy::NOT_EARNED);
    EXPECT_EQ(hallway->getHintSelector(), 3);
    // A profile already higher up (a bench tool makes one) keeps its floor.
    stats.roomRecord(1, 5)->levelWinCount = 0;
    player->floorReached = 7;
    player->currentFloor = 7;
    SceneElevator::instance()->setUnlockedItem(-1);
    scene->getBoard().enterGameWon();
    EXPECT_EQ(player->floorReached, 7);
    // Its floor-end unlocks no item; the lift still plays the next floor's opening.
    EXPECT_EQ(SceneElevator::instance()->getUnlockedItem(), -1);
    EXPECT_EQ(SceneElevator::instance()->getPendingFloors(), std::vector<int32_t>{2});
    gameScenes().elevator = nullptr;
}

TEST_F(LevelFlowTest, MedalQueriesReadTheBestScoresOfTheFloors) {
    RefHolder<Level> last;
    for (int32_t room = 0; room < QuovelMahjongStats::FLOORS * 5; ++room) {  // all at silver
        last = LevelCatalog::instance()->findLevel(room / 5 + 1, room % 5 + 1);
        player->getStats().roomRecord(room / 5 + 1, room % 5 + 1)->bestScore = last->getSilver();
    }
    EXPECT_TRUE(StateGameWon::allLevelsSilver() && StateGameWon::levelHasMedal(last.get(), false));
    EXPECT_FALSE(StateGameWon::allLevelsGold() || StateGameWon::levelHasGold(last.get()));
    player->getStats().roomRecord(20, 5)->bestScore = last->getGold();  // not silver only
    EXPECT_TRUE(StateGameWon::levelHasGold(last.get()) &&
                StateGameWon::levelHasMedal(last.get(), true));
    EXPECT_FALSE(StateGameWon::levelHasMedal(last.get(), false));
}

TEST_F(LevelFlowTest, TheNoticeNamesTheRoomOrTheLevelAndTheHostTheGameType) {
    const auto notice = [&](const RefHolder<Level>& level) {
        scene->dropDialog("DIALOG_LEVEL_INFO");
        auto* dialog = objectCast<DialogLevelInfo>(scene->getDialog("DIALOG_LEVEL_INFO"));
        EXPECT_NE(dialog, nullptr);
        dialog->setTexts(level.get());
        return dialog;
    };
    // The host's hint of the game type; on the roof one hint for all but Speed.
    EXPECT_EQ(StateInstructions::hintNumber(RoomKind::FLOORS, Game::TYPE_CLASSIC), 8);
    EXPECT_EQ(StateInstructions::hintNumber(RoomKind::CASINO, Game::TYPE_RIVER), 12);
    EXPECT_EQ(StateInstructions::hintNumber(RoomKind::ROOF, Game::TYPE_TRIPLE), 14);
    EXPECT_EQ(StateInstructions::hintNumber(RoomKind::ROOF, Game::TYPE_SPEED), 13);
    RefHolder<Level> door = LevelCatalog::instance()->findLevel(3, 5);
    DialogLevelInfo* dialog = notice(door);
    EXPECT_EQ(dialog->getGameTypeLabel()->getText(),
              getBasicText("TEXT_GAMETYPE" + std::to_string(door->getGameType() + 1)));
    EXPECT_EQ(dialog->getRoomLabel()->getText(), getBasicText("TEXT_ROOM") + L" 35");
    const int32_t height = dialog->getHeight();
    dialog = notice(LevelCatalog::instance()->casinoLevel(TYPE_SPLIT, 0, RoomKind::ROOF));
    EXPECT_EQ(dialog->getRoomLabel()->getText(), getBasicText("TEXT_LEVEL") + L" 1");
    EXPECT_EQ(dialog->getGameTypeLabel()->getText(), getBasicText("TEXT_GAMETYPE3"));
    dialog = notice(recRoom(Game::TYPE_TRIPLE));
    EXPECT_FALSE(dialog->getRoomLabel()->isVisible());
    // 20 pixels less asked of the frame, which rounds to its whole edge pieces.
    EXPECT_EQ(dialog->getRequestedHeight(), height - 20);
    EXPECT_LT(dialog->getHeight(), height);
}

TEST_F(LevelFlowTest, SplitAndSpeedPulseTheSelectedTileAndALevelStartTopsUpTheHints) {
    const int32_t least = tuning().MIN_NUM_HINTS;
    ASSERT_GT(least, 0);
    struct Case {
        GameType type;
        int32_t hintsBefore;
        int32_t hintsAfter;
        bool pulses;
    };
    const Case cases[] = {{Game::TYPE_SPLIT, 0, least, true},
                          {Game::TYPE_SPEED, least + 4, least + 4, true},
                          {Game::TYPE_CLASSIC, least - 1, least, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        // A stock still counting up shows less than it holds; a raised one is set outright.
        player->getHintStock().set(0);
        player->getHintStock().add(c.hintsBefore);
        LevelCatalog* catalog = LevelCatalog::instance();
        Game* game =
            start(c.type == TYPE_SPEED ? catalog->speedLevel(0)
                                       : catalog->casinoLevel(c.type, 0, RoomKind::CASINO));
        reachPlay();
        ASSERT_EQ(game->getLevel()->getGameType(), c.type);
        EXPECT_EQ(player->getHintStock().getValue(), c.hintsAfter);
        if (c.hintsBefore < least) {
            EXPECT_EQ(player->getHintStock().getShown(), least);
            auto* hints = objectCast<Label>(scene->findChild("LABEL_HINTS"));
            ASSERT_NE(hints, nullptr);
            EXPECT_EQ(hints->getText(), std::to_wstring(least));
        }

        // The selected look of a board tile, and of a rack tile where there is a rack.
        LayoutRenderer* renderer = scene->getRenderer();
        Tile* boardTile = nullptr;
        for (const RefHolder<Tile>& tile : game->getBuildOrder()) {
            if (!tile->isOnSideBoard() && game->getLayout()->isTileFree(tile.get())) {
                boardTile = tile.get();
                break;
            }
        }
        ASSERT_NE(boardTile, nullptr);
        if (c.pulses) {
            scene->getBoard().showTileSelected(boardTile);
        } else {
            ASSERT_EQ(click(boardTile), Game::CLICK_SELECT);
        }
        TileModifier* look = renderer->findRenderTile(boardTile)->getTopModifier();
        EXPECT_EQ(dynamic_cast<TileBlockedPulse*>(look) != nullptr, c.pulses);
        EXPECT_EQ(dynamic_cast<TileImage*>(look) != nullptr, !c.pulses);
        SideBoard* rack = game->getLayout()->getSideBoard();
        ASSERT_EQ(rack != nullptr, c.pulses);
        if (rack) {
            Game::TileList slotTiles;
            rack->getTiles(slotTiles);
            ASSERT_FALSE(slotTiles.empty());
            Tile* slotTile = slotTiles.front().get();
            RenderTile* slot = rack->getRenderTileAt(slotTile->getGridX(), slotTile->getGridY());
            ASSERT_NE(slot, nullptr);
            scene->getBoard().showTileSelected(slotTile);
            EXPECT_NE(dynamic_cast<TileBlockedPulse*>(slot->getTopModifier()), nullptr);
        }
    }
}

}  // namespace level_flow_test
