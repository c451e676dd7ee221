// The casino and the roof driven frame by frame on the game's own definitions, art and texts:
// a first visit with the host's hint and newly unlocked game types shining, a difficulty chosen
// before any game type, Split at hard with its level, miniature and preset table, a new score
// that blinks once with its bar, the hidden nine-click sequence, the expert fallback for a
// player without it, the start of a casino game; the roof's Speed and Mixed choices with their
// tables and the mixed draw kept for the run. The preset tables themselves: names drawn from
// the list (an empty list gives empty names) and incomplete tables topped up. Pictures of the
// casino with a table and of the roof go to build/pictures/gui.

#include <algorithm>
#include <set>

#include "app/GameServicesFixture.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/gui/Switch.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/Image.h"
#include "framework/scene/TransitionScene.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneRoof.h"
#include "game/profile/HighScoreTables.h"
#include "game/profile/QuovelMahjongScoreEntry.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/SceneGame.h"
#include "gui/HeadlessPicture.h"
#include "gui/TextLayoutAudit.h"

namespace scene_score_room_test {

// The bytes of one pixel, as many as the image has per pixel.
std::vector<uint8_t> pixel(Image* image, int32_t x, int32_t y) {
    const uint8_t* at = image->getPixels() + y * image->getPitch() + x * image->getBytesPerPixel();
    return {at, at + image->getBytesPerPixel()};
}

std::wstring text(Label* label) {
    return label ? label->getText() : L"<none>";
}

std::wstring sceneLabelText(Scene* scene, const char* name) {
    return text(objectCast<Label>(scene->findChild(name)));
}

class ScoreRoomTest : public SceneTest {
protected:
    ScoreRoomTest() {
        startServices({.seed = 44,
                       .sections = {"preloading", "default", "elevator", "casino", "casrecroof",
                                    "roof", "manual"},
                       .highScores = true});
        defineDialogIfMissing("DIALOG_KILLER_STONES", "Dialog");
        defineDialogIfMissing("DIALOG_TROPHY", "DialogTrophy");
        lobby = manager->createScene("SCENE_LOBBY");
        game = manager->createScene("SCENE_GAME");
        casino = objectCast<SceneCasino>(manager->createScene("SCENE_CASINO"));
        roof = objectCast<SceneRoof>(manager->createScene("SCENE_ROOF"));
        elevator = objectCast<SceneElevator>(manager->createScene("SCENE_ELEVATOR"));
        gameScenes().lobby = lobby;
        gameScenes().elevator = elevator;
        gameScenes().casino = casino;
        gameScenes().roof = roof;
    }

    // Enters the scene from the lobby, as the way back from a game does.
    void enter(Scene* scene) {
        manager->requestScene(lobby);
        arrive(lobby, 3000);
        manager->requestScene(scene);
        runUntil([&] { return manager->getCurrentScene() == scene; }, 3000);
        ASSERT_EQ(manager->getCurrentScene(), scene);
    }
    // A transition waits for the sections asked for: once they are loaded, whether the scene is
    // current a second after it came.
    bool arrive(Scene* scene, int32_t limitMs = 5000) {
        waitForLoader(resources);
        runUntil([&] { return manager->getCurrentScene() == scene; }, limitMs);
        run(1000);
        return manager->getCurrentScene() == scene;
    }
    // A click at the point, and a frame.
    void clickAt(Scene* scene, int32_t x, int32_t y) {
        SceneTest::clickAt(scene, x, y);
        manager->update(FRAME_MS);
    }
    void click(Scene* scene, const char* widget) {
        auto* sprite = objectCast<Sprite>(scene->findChild(widget));
        ASSERT_NE(sprite, nullptr) << widget;
        clickMiddle(scene, sprite, sprite->getWidth(), sprite->getHeight());
        manager->update(FRAME_MS);
    }
    void closeHint(Scene* scene) {
        if (Dialog* hint = scene->findDialog("DIALOG_DORRICK_HINT")) {
            scene->closeDialog(hint);
        }
        run(500);
    }
    // The scene asked for next, directly or as a running transition's target.
    Scene* headingFor() const {
        if (Scene* requested = manager->getRequestedScene()) {
            return requested;
        }
        auto* transition = objectCast<TransitionScene>(manager->getCurrentScene());
        return transition ? transition->getTargetScene() : manager->getCurrentScene();
    }
    static std::vector<int32_t> scores(HighScoreTable* table) {
        std::vector<int32_t> out;
        for (const auto& entry : table->getEntries()) {
            out.push_back(entry->getScore());
        }
        return out;
    }
    // Whether the scene's own modifiers include one of that class.
    template <class T>
    bool runs(Scene* scene) {
        const auto& running = scene->getTree()->getRunningModifiers();
        return std::any_of(running.begin(), running.end(),
                           [](const RefHolder<Modifier>& m) { return objectCast<T>(m.get()); });
    }

    Scene* lobby = nullptr;
    Scene* game = nullptr;
    SceneCasino* casino = nullptr;
    SceneRoof* roof = nullptr;
    SceneElevator* elevator = nullptr;
};

TEST_F(ScoreRoomTest, ACasinoVisitFromFirstLookToANewScoreThatBlinksOnce) {
    ASSERT_NE(casino, nullptr);
    player->unlockedStuff[0] = 2;  // Classic, known
    player->unlockedStuff[7] = 1;  // Split and FreeCell, new
    player->unlockedStuff[4] = 1;
    enter(casino);

    // First visit: the host's hint, nothing chosen, the plain felt.
    EXPECT_TRUE(casino->isDialogOpen("DIALOG_DORRICK_HINT"));
    EXPECT_FALSE(player->hints[5]);
    EXPECT_EQ(casino->getSelectedGameType(), NO_GAME_TYPE);
    EXPECT_FALSE(casino->getStartButton()->isVisible());
    EXPECT_FALSE(casino->getStartButton()->isEnabled());
    EXPECT_TRUE(casino->getHostPicture()->isVisible());
    EXPECT_FALSE(casino->getGameTypeLabel()->isVisible());
    Image* felt = objectCast<Image>(findLoadedResource("BACKGROUND", "casino"));
    EXPECT_EQ(casino->getBackgroundImage(), felt);
    EXPECT_FALSE(casino->findChild("GLOW_MIDDLE")->isVisible());

    // The switches follow the unlocks; the two new types shine and are new no more.
    EXPECT_TRUE(casino->getGameTypeSwitch(TYPE_CLASSIC)->isEnabled());
    EXPECT_TRUE(casino->getGameTypeSwitch(TYPE_FREECELL)->isEnabled());
    EXPECT_TRUE(casino->getGameTypeSwitch(TYPE_SPLIT)->isEnabled());
    EXPECT_FALSE(casino->getGameTypeSwitch(TYPE_TRIPLE)->isEnabled());
    EXPECT_FALSE(casino->getExpertSwitch()->isEnabled());
    EXPECT_EQ(player->unlockedStuff[7], 2);
    EXPECT_EQ(player->unlockedStuff[4], 2);
    EXPECT_TRUE(casino->getGameTypeSwitch(TYPE_CLASSIC)->getRunningModifiers().empty());
    EXPECT_EQ(casino->getGameTypeSwitch(TYPE_FREECELL)->getRunningModifiers().size(), 7u);
    EXPECT_EQ(casino->getGameTypeSwitch(TYPE_SPLIT)->getRunningModifiers().size(), 7u);
    closeHint(casino);
    RefHolder<Image> unchosen = expectClearPicture(casino, "casino-nothing-chosen");

    // A difficulty before any game type is only recorded.
    click(casino, "SWITCH_HARD");
    EXPECT_EQ(casino->getSelectedDifficulty(), 1);
    EXPECT_EQ(casino->getSelectedLevel(), nullptr);
    EXPECT_FALSE(casino->getStartButton()->isVisible());

    // Split at hard: its name, its level and miniature, its table of presets, the glow.
    click(casino, "SWITCH_SPLIT");
    EXPECT_EQ(casino->getSelectedGameType(), 2);
    EXPECT_EQ(text(casino->getGameTypeLabel()), getBasicText("TEXT_GAMETYPE3"));
    EXPECT_EQ(text(casino->getGameTypeLabel()), L"Split");
    EXPECT_TRUE(casino->getGameTypeLabel()->isVisible());
    ASSERT_NE(casino->getSelectedLevel(), nullptr);
    EXPECT_EQ(casino->getSelectedLevel()->getGameType(), 2);
    EXPECT_EQ(casino->getSelectedLevel()->getDifficulty(), 1);
    EXPECT_EQ(casino->getSelectedLevel()->getGameMode(), RoomKind::CASINO);
    ASSERT_NE(casino->getPreviewSprite()->getImage(), nullptr);
    ASSERT_TRUE(casino->getPreviewSprite()->getStretchRect().has_value());
    EXPECT_EQ(casino->getPreviewSprite()->getStretchRect()->w, 111);
    EXPECT_EQ(casino->getPreviewSprite()->getStretchRect()->h, 80);
    EXPECT_EQ(casino->tableKey(), "1_2_1");
    HighScoreTable* split = HighScoreManager::getInstance()->getTable("1_2_1");
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(scores(split), (std::vector<int32_t>{400000, 350000, 300000, 250000, 200000}));
    EXPECT_EQ(text(casino->getRowLabel(0, 2)), L"400,000");
    EXPECT_EQ(text(casino->getRowLabel(0, 1)), L"7");
    EXPECT_EQ(text(casino->getRowLabel(4, 2)), L"200,000");
    EXPECT_EQ(text(casino->getRowLabel(4, 1)), L"3");
    EXPECT_FALSE(text(casino->getRowLabel(2, 0)).empty());
    EXPECT_EQ(sceneLabelText(casino, "LABEL_TOPSCORE"), L"-");
    EXPECT_EQ(sceneLabelText(casino, "LABEL_TOPLEVEL"), L"-");
    EXPECT_EQ(sceneLabelText(casino, "LABEL_FINISHED"), L"0");
    EXPECT_TRUE(casino->getStartButton()->isVisible());
    EXPECT_TRUE(casino->getStartButton()->isEnabled());
    EXPECT_FALSE(casino->getHostPicture()->isVisible());
    Sprite* middle = objectCast<Sprite>(casino->findChild("GLOW_MIDDLE"));
    Sprite* splitSwitch = casino->getGameTypeSwitch(TYPE_SPLIT);
    EXPECT_TRUE(middle->isVisible());
    EXPECT_EQ(middle->getY(),
              splitSwitch->getY() + (splitSwitch->getHeight() - middle->getHeight()) / 2 + 1);
    // The column is drawn into a fresh copy of the felt, above and below the middle piece.
    Image* lit = casino->getBackgroundImage();
    ASSERT_NE(lit, felt);
    Sprite* top = objectCast<Sprite>(casino->findChild("GLOW_TOP_NORMAL"));
    const int32_t columnX = middle->getX() + 10;
    const int32_t aboveY = (top->getY() + top->getHeight() + middle->getY()) / 2;
    EXPECT_NE(pixel(lit, columnX, aboveY), pixel(felt, columnX, aboveY));
    EXPECT_EQ(pixel(lit, 100, 500), pixel(felt, 100, 500));

    // The record of the pair.
    player->getStats().casinoRecord(TYPE_SPLIT, 1)->bestScore = 1234567;
    player->getStats().casinoRecord(TYPE_SPLIT, 1)->bestLevel = 4;
    player->getStats().casinoRecord(TYPE_SPLIT, 1)->playCount = 3;
    casino->refresh();
    EXPECT_EQ(sceneLabelText(casino, "LABEL_TOPSCORE"), L"1,234,567");
    EXPECT_EQ(sceneLabelText(casino, "LABEL_TOPLEVEL"), L"5");
    EXPECT_EQ(sceneLabelText(casino, "LABEL_FINISHED"), L"3");
    expectClearPicture(casino, "casino-split-hard");
    // Runs that never passed the first level reached level 1.
    player->getStats().casinoRecord(TYPE_SPLIT, 1)->bestLevel = 0;
    casino->refresh();
    EXPECT_EQ(sceneLabelText(casino, "LABEL_TOPLEVEL"), L"1");

    // A run ends with 310,000: third row. Back in the casino the row blinks, the bar stands
    // under it just above the board, the fanfare plays once; then the news is consumed.
    const int32_t row = split->addScore(
        RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry("Ann", 310000, true, 6)));
    ASSERT_EQ(row, 2);
    player->newScorePending = true;
    enter(casino);
    EXPECT_EQ(casino->getSelectedGameType(), 2);
    EXPECT_TRUE(casino->getGameTypeSwitch(TYPE_SPLIT)->isOn());  // lit as when first chosen
    EXPECT_EQ(text(casino->getRowLabel(2, 0)), L"Ann");
    EXPECT_EQ(text(casino->getRowLabel(2, 2)), L"310,000");
    EXPECT_NE(casino->getBlinkModifier(), nullptr);
    EXPECT_FALSE(player->newScorePending);
    EXPECT_EQ(split->getLastScore(), -1);
    GameNode* bar = casino->getHighScoreBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->getY(), 241);
    EXPECT_EQ(casino->findChild("SPRITE_DIALOG_CASINO")->getNextSibling(), bar);
    std::set<int32_t> alphas;
    for (int i = 0; i < 60; ++i) {
        manager->update(FRAME_MS);
        alphas.insert(casino->getRowLabel(2, 0)->getAlpha());
        EXPECT_EQ(casino->getRowLabel(1, 0)->getAlpha(), 255);
    }
    EXPECT_EQ(*alphas.begin(), 128);
    EXPECT_EQ(*alphas.rbegin(), 255);
    EXPECT_GT(alphas.size(), 5u);
    // The bar lies in the gap under the row, under the table's columns.
    expectClearPicture(casino, "casino-new-score");

    // Back by lift with nothing chosen: the record and the miniature leave with the panel.
    casino->setSelectedGameType(NO_GAME_TYPE);
    enter(casino);
    EXPECT_EQ(pixel(expectClearPicture(casino, "casino-back").get(), 300, 110),
              pixel(unchosen.get(), 300, 110));
    casino->setSelectedGameType(TYPE_SPLIT);
    // Entering again: no blink, no bar.
    enter(casino);
    EXPECT_EQ(casino->getBlinkModifier(), nullptr);
    EXPECT_FALSE(casino->getHighScoreBar()->isVisible());
    EXPECT_FALSE(runs<ModifierBlink>(casino));

    // Start: a casino game of Split at hard on the game screen.
    click(casino, "BUTTON_START");
    ASSERT_NE(Game::current(), nullptr);
    ASSERT_NE(Game::current()->getLevel(), nullptr);
    EXPECT_EQ(Game::current()->getLevel(), casino->getSelectedLevel());
    EXPECT_EQ(Game::current()->getLevel()->getGameType(), 2);
    EXPECT_EQ(Game::current()->getLevel()->getGameMode(), RoomKind::CASINO);
    EXPECT_EQ(headingFor(), game);
}

TEST_F(ScoreRoomTest, NineClicksOpenTheMiniGameAndEveryClickStillReachesItsWidget) {
    player->unlockedStuff[0] = 2;
    player->showHints = false;
    enter(casino);
    // Chips, cards, dice as the sequence wants them.
    const int32_t spots[3][2] = {{440, 470}, {330, 440}, {750, 492}};
    const int32_t order[9] = {0, 1, 2, 0, 2, 1, 1, 0, 2};
    for (int i = 0; i < 8; ++i) {
        clickAt(casino, spots[order[i]][0], spots[order[i]][1]);
        EXPECT_EQ(casino->getSequenceProgress(), i + 1);
    }
    // A wrong click at any point starts over; a click on a switch still chooses its type.
    click(casino, "SWITCH_CLASSIC");
    EXPECT_EQ(casino->getSequenceProgress(), 0);
    EXPECT_EQ(casino->getSelectedGameType(), 0);
    EXPECT_FALSE(casino->isDialogOpen("DIALOG_KILLER_STONES"));
    for (int i = 0; i < 4; ++i) {
        clickAt(casino, spots[order[i]][0], spots[order[i]][1]);
    }
    clickAt(casino, spots[1][0], spots[1][1]);  // cards where dice belong
    EXPECT_EQ(casino->getSequenceProgress(), 0);
    for (int i = 0; i < 9; ++i) {
        clickAt(casino, spots[order[i]][0], spots[order[i]][1]);
    }
    EXPECT_EQ(casino->getSequenceProgress(), 0);
    EXPECT_TRUE(casino->isDialogOpen("DIALOG_KILLER_STONES"));
}

TEST_F(ScoreRoomTest, ExpertFallsBackToNormalAndNewTrophiesComeFirst) {
    // Another player left the casino on expert; this one has not unlocked it.
    player->unlockedStuff[0] = 2;
    player->showHints = false;
    casino->setSelectedGameType(TYPE_CLASSIC);
    enter(casino);
    casino->getExpertSwitch()->setEnabled(true);
    casino->getExpertSwitch()->setOn(true);
    casino->setSelectedDifficulty(2);
    // A held-back casino trophy is announced: the cabinet opens first, input waits for it.
    player->getTrophies().getTrophy(TrophyId::CASINO_FIRST)->state = Trophy::HELD_BACK;
    enter(casino);
    // Earned, then announced by the cabinet that opened for it.
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::CASINO_FIRST)->state, Trophy::ANNOUNCED);
    ASSERT_TRUE(casino->isDialogOpen("DIALOG_TROPHY"));
    EXPECT_FALSE(casino->getComponentsContainer().isActive());
    const auto& cabinetMods = casino->findDialog("DIALOG_TROPHY")->getRunningModifiers();
    ASSERT_FALSE(cabinetMods.empty());
    auto* wait = objectCast<ModifierDelay>(cabinetMods.front().get());
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->getRemaining(), 2000);
    // Until it closes the difficulty is untouched; then the fallback.
    EXPECT_EQ(casino->getSelectedDifficulty(), 2);
    casino->onTrophyDialogClosed(nullptr);
    EXPECT_TRUE(casino->getComponentsContainer().isActive());
    EXPECT_EQ(casino->getSelectedDifficulty(), 0);
    EXPECT_TRUE(objectCast<Switch>(casino->findChild("SWITCH_NORMAL"))->isOn());
    EXPECT_FALSE(casino->getExpertSwitch()->isEnabled());
    EXPECT_EQ(casino->tableKey(), "1_0_0");
    EXPECT_EQ(casino->getSelectedLevel()->getDifficulty(), 0);

    // The player's own score in every game type's table at this difficulty.
    EXPECT_FALSE(casino->hasEntriesInAllFiveTables());
    for (GameType type : ROOM_GAME_TYPES) {
        HighScoreTable* table = getHighScoreTable("1_" + std::to_string(type) + "_0", type, true);
        EXPECT_FALSE(casino->hasEntriesInAllFiveTables());
        table->addScore(
            RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry("Ann", 999999, true, 9)));
    }
    EXPECT_TRUE(BuildingHooks::hasEntriesInAllCasinoTables());
}

TEST_F(ScoreRoomTest, TheLiftClearsTheChoiceAndASavedCasinoGameIsOfferedOnArrival) {
    player->unlockedStuff[0] = 2;
    writeSavedGame("1");
    // The host's casino hint comes first; his hint is then spent.
    enter(elevator);
    elevator->setStop(SceneElevator::STOP_CASINO);
    casino->setSelectedGameType(TYPE_SPLIT);
    elevator->arrive(SceneElevator::STOP_CASINO);
    EXPECT_EQ(casino->getSelectedGameType(), NO_GAME_TYPE);
    ASSERT_TRUE(arrive(casino, 3000));
    EXPECT_TRUE(casino->isDialogOpen("DIALOG_DORRICK_HINT"));
    EXPECT_FALSE(casino->isDialogOpen(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY));
    closeHint(casino);
    // The next arrival by lift asks whether to go on with the saved game; leaving closes it.
    enter(elevator);
    elevator->setStop(SceneElevator::STOP_CASINO);
    elevator->arrive(SceneElevator::STOP_CASINO);
    ASSERT_TRUE(arrive(casino, 3000));
    EXPECT_TRUE(casino->isDialogOpen(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY));
    EXPECT_FALSE(casino->isDialogOpen("DIALOG_DORRICK_HINT"));
    EXPECT_EQ(casino->getTag(), 1);
    enter(lobby);
    EXPECT_FALSE(casino->isDialogOpen(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY));
}

TEST_F(ScoreRoomTest, ALostCasinoRunBlinksBackInTheCasinoAndAStoppedOneIsOfferedOnReturn) {
    TileManager::createInstance();
    resources->requestSectionLoad("game");
    waitForLoader(resources);
    auto* table = objectCast<SceneGame>(game);
    ASSERT_NE(table, nullptr);
    player->unlockedStuff[0] = 2;
    player->showHints = false;
    const auto inState = [&](const TypeRecord& type) {
        return table->getFlow().getCurrentState() && table->getFlow().getCurrentState()->isA(&type);
    };
    const auto built = [&] { return table->getFlow().getCurrentState() == nullptr; };
    // Into the game screen with Classic at normal, to the end of its build.
    const auto playClassic = [&] {
        enter(casino);
        click(casino, "SWITCH_CLASSIC");
        click(casino, "BUTTON_START");
        waitForLoader(resources);
        // The level's notice opens once the transition is over, and closes by itself.
        ASSERT_GE(runUntil([&] { return inState(StateRoomInfo::typeRecord); }, 5000), 0);
        ASSERT_GE(runUntil([&] { return !inState(StateRoomInfo::typeRecord); }, 10000), 0);
        ASSERT_GE(runUntil(built, 30000), 0);
    };
    playClassic();
    ASSERT_NE(Game::current(), nullptr);
    EXPECT_EQ(Game::current()->getLevel()->getGameMode(), RoomKind::CASINO);

    // The clock runs out with 212,345: third in the table of Classic at normal.
    Game::current()->getScore().set(212345);
    table->getTimeValue().set(0);
    run(FRAME_MS);
    ASSERT_TRUE(inState(StateGameOver::typeRecord));
    EXPECT_TRUE(player->newScorePending);
    RefHolder<HighScoreManager> stored(new HighScoreManager("", false));  // on disk at once
    stored->load();
    ASSERT_NE(stored->getTable("1_0_0"), nullptr);
    EXPECT_EQ(stored->getTable("1_0_0")->getEntries()[2]->getScore(), 212345);
    run(1500 + 2 * FRAME_MS);
    Dialog* end =
        table->isDialogOpen("DIALOG_LEVEL_END") ? table->findDialog("DIALOG_LEVEL_END") : nullptr;
    ASSERT_NE(end, nullptr);
    static_cast<iGuiMethod*>(end->castTo(&iGuiMethod::typeRecord))->invoke(end);
    ASSERT_TRUE(arrive(casino));
    EXPECT_EQ(casino->getSelectedGameType(), 0);
    EXPECT_EQ(text(casino->getRowLabel(2, 0)), L"Ann");
    EXPECT_EQ(text(casino->getRowLabel(2, 2)), L"212,345");
    EXPECT_EQ(text(casino->getRowLabel(1, 2)), L"225,000");
    EXPECT_EQ(sceneLabelText(casino, "LABEL_TOPSCORE"), L"212,345");
    EXPECT_NE(casino->getBlinkModifier(), nullptr);
    EXPECT_TRUE(runs<ModifierBlink>(casino));
    EXPECT_EQ(casino->getHighScoreBar()->getY(), 241);
    EXPECT_TRUE(casino->getHighScoreBar()->isVisible());
    EXPECT_FALSE(player->newScorePending);
    expectClearPicture(casino, "casino-after-run");

    // Another run stopped from the in-game menu: the lift waits at the casino's stop. With the
    // run's saved game there (its saving belongs to the game screen), the next arrival asks.
    playClassic();
    EXPECT_EQ(casino->getBlinkModifier(), nullptr);
    LevelFlow::onGameStopped(nullptr);
    EXPECT_EQ(elevator->getStop(), SceneElevator::STOP_CASINO);
    ASSERT_TRUE(arrive(elevator));
    writeSavedGame("1");
    elevator->arrive(SceneElevator::STOP_CASINO);
    ASSERT_TRUE(arrive(casino));
    EXPECT_TRUE(casino->isDialogOpen(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY));
    EXPECT_EQ(casino->getSelectedGameType(), NO_GAME_TYPE);
    expectClearPicture(casino, "casino-continue-question");
    // Continued and lost, the run comes back to its own choice with the new score shown.
    casino->startRecentSavedGame(nullptr);
    waitForLoader(resources);
    ASSERT_GE(runUntil([&] { return inState(StateRoomInfo::typeRecord); }, 5000), 0);
    ASSERT_GE(runUntil(built, 30000), 0);
    Game::current()->getScore().set(230000);
    table->getTimeValue().set(0);
    run(1500 + 3 * FRAME_MS);
    ASSERT_TRUE(table->isDialogOpen("DIALOG_LEVEL_END"));
    end = table->findDialog("DIALOG_LEVEL_END");
    static_cast<iGuiMethod*>(end->castTo(&iGuiMethod::typeRecord))->invoke(end);
    ASSERT_TRUE(arrive(casino));
    EXPECT_EQ(casino->getSelectedGameType(), TYPE_CLASSIC);
    EXPECT_TRUE(casino->getStartButton()->isVisible());
    EXPECT_EQ(text(casino->getRowLabel(1, 2)), L"230,000");
    EXPECT_NE(casino->getBlinkModifier(), nullptr);
    expectClearPicture(casino, "casino-after-continued-run");
    Game::releaseCurrent();
    TileManager::releaseInstance();
}

TEST_F(ScoreRoomTest, PresetTablesDrawDistinctNamesAndTopUpIncompleteTables) {
    HighScoreTable* classic = getHighScoreTable("1_0_0", TYPE_CLASSIC, true);
    ASSERT_EQ(classic->getEntries().size(), 5u);
    EXPECT_EQ(scores(classic), (std::vector<int32_t>{250000, 225000, 200000, 175000, 150000}));
    std::set<std::string> names;
    for (const auto& entry : classic->getEntries()) {
        EXPECT_FALSE(entry->getIsPlayerScore());
        names.insert(entry->getPlayerName());
    }
    EXPECT_EQ(names.size(), 5u);
    // Without fillDefaults a new table stays empty; a second look finds the same table.
    HighScoreTable* empty = getHighScoreTable("mixed_2", TYPE_TRIPLE, false);
    EXPECT_TRUE(empty->getEntries().empty());
    EXPECT_EQ(getHighScoreTable("mixed_2", TYPE_TRIPLE, false), empty);
    // An incomplete table gets five presets added on every call and keeps the best five.
    empty->addScore(RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry("Ann", 240000, true, 4)));
    HighScoreTable* topped = getHighScoreTable("mixed_2", TYPE_TRIPLE, true);
    EXPECT_EQ(topped, empty);
    EXPECT_EQ(scores(topped), (std::vector<int32_t>{260000, 240000, 235000, 210000, 185000}));
    EXPECT_TRUE(topped->containsPlayer("Ann"));
    // The newest score is still the one marked, at its new place, not the last preset added.
    EXPECT_EQ(topped->getLastScore(), 1);
    // An empty list of names gives empty names, not a division by zero.
    BasicProperties::instance()->setVector("CTEXT_HIGHSCORE_NAMES", new PropertyVector("x"));
    HighScoreTable* nameless = getHighScoreTable("3_5_0", TYPE_SPEED, true);
    ASSERT_EQ(nameless->getEntries().size(), 5u);
    EXPECT_EQ(nameless->getEntries()[0]->getPlayerName(), "");
    EXPECT_EQ(nameless->getEntries()[0]->getScore(), 300000);
}

TEST_F(ScoreRoomTest, TheRoofPlaysSpeedOrOneMixedTypeDrawnForTheRun) {
    ASSERT_NE(roof, nullptr);
    player->unlockedStuff[17] = 2;
    enter(roof);
    EXPECT_TRUE(roof->isDialogOpen("DIALOG_DORRICK_HINT"));
    EXPECT_FALSE(player->hints[7]);
    closeHint(roof);
    EXPECT_EQ(roof->getSelectedMode(), NO_GAME_TYPE);
    EXPECT_TRUE(roof->findChild("WELCOME") && roof->findChild("WELCOME")->isVisible());
    expectClearPicture(roof, "roof-nothing-chosen");
    EXPECT_FALSE(roof->getStartButton()->isVisible());
    EXPECT_FALSE(roof->getStartButton()->isEnabled());
    EXPECT_EQ(roof->getBackgroundImage(),
              objectCast<Image>(findLoadedResource("BACKGROUND", "roof")));
    EXPECT_TRUE(roof->getExpertSwitch()->isEnabled());
    const auto drawn = static_cast<GameType>(roof->getMixedSwitch()->getTag());
    EXPECT_GE(drawn, 0);
    EXPECT_LT(drawn, 5);
    EXPECT_EQ(roof->getSpeedSwitch()->getTag(), 5);

    // Expert before any mode is only recorded; Speed then plays it.
    click(roof, "SWITCH_EXPERT");
    EXPECT_EQ(roof->getSelectedDifficulty(), 2);
    EXPECT_EQ(roof->getSelectedLevel(), nullptr);
    click(roof, "SWITCH_SPEED");
    EXPECT_EQ(roof->getSelectedMode(), 5);
    EXPECT_EQ(text(roof->getGameTypeLabel()), getBasicText("TEXT_GAMETYPE6"));
    ASSERT_NE(roof->getSelectedLevel(), nullptr);
    RefHolder<Level> speed = LevelCatalog::instance()->speedLevel(2);
    EXPECT_EQ(roof->getSelectedLevel()->getLayout(), speed->getLayout());
    EXPECT_EQ(roof->getSelectedLevel()->getDifficulty(), 2);
    EXPECT_EQ(roof->tableKey(), "3_5_2");
    EXPECT_EQ(scores(HighScoreManager::getInstance()->getTable("3_5_2")),
              (std::vector<int32_t>{300000, 275000, 250000, 225000, 200000}));
    EXPECT_TRUE(roof->getStartButton()->isEnabled());
    Sprite* middle = objectCast<Sprite>(roof->findChild("GLOW_MIDDLE"));
    EXPECT_EQ(middle->getY(), roof->getSpeedSwitch()->getY() +
                                  (roof->getSpeedSwitch()->getHeight() - middle->getHeight()) / 2);

    // Mixed at normal: the drawn type's casino level as a mixed roof level, table mixed_0.
    click(roof, "SWITCH_NORMAL");
    click(roof, "SWITCH_MIXED");
    EXPECT_EQ(roof->getSelectedMode(), drawn);
    EXPECT_EQ(text(roof->getGameTypeLabel()), L"Mixed");
    ASSERT_NE(roof->getSelectedLevel(), nullptr);
    EXPECT_EQ(roof->getSelectedLevel()->getGameType(), drawn);
    EXPECT_TRUE(roof->getSelectedLevel()->isMixed());
    EXPECT_EQ(roof->getSelectedLevel()->getGameMode(), RoomKind::ROOF);
    EXPECT_EQ(roof->tableKey(), "mixed_0");
    HighScoreTable* mixed = HighScoreManager::getInstance()->getTable("mixed_0");
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ(mixed->getEntries()[0]->getScore(), HighScoreTables::presetScore(4, drawn));
    expectClearPicture(roof, "roof-mixed-normal");

    // A new roof score at the top: the bar at (28, 186). The draw holds for the whole run.
    mixed->addScore(RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry("Ann", 900000, true, 8)));
    player->newScorePending = true;
    enter(roof);
    EXPECT_EQ(roof->getMixedSwitch()->getTag(), drawn);
    EXPECT_TRUE(roof->getMixedSwitch()->isOn());
    EXPECT_TRUE(roof->getHighScoreBar()->isVisible());
    EXPECT_EQ(roof->getHighScoreBar()->getX(), 28);
    EXPECT_EQ(roof->getHighScoreBar()->getY(), 186);
    EXPECT_EQ(roof->findChild("SPRITE_DIALOG_ROOF")->getNextSibling(), roof->getHighScoreBar());
    EXPECT_EQ(text(roof->getRowLabel(0, 2)), L"900,000");
    expectClearPicture(roof, "roof-new-score");
    // The fanfare is one sound among the scene's modifiers, added by the fill that shows the
    // new score.
    mixed->addScore(RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry("Ann", 950000, true, 8)));
    player->newScorePending = true;
    GameNode::removeAllModifiers(roof->getTree());
    roof->showBestResults();
    const auto& running = roof->getTree()->getRunningModifiers();
    EXPECT_EQ(std::ranges::count_if(
                  running, [](const auto& m) { return objectCast<ModifierSound>(m.get()); }),
              1);

    // Start plays the drawn type as a roof game.
    click(roof, "BUTTON_START");
    ASSERT_NE(Game::current(), nullptr);
    EXPECT_EQ(Game::current()->getLevel()->getGameType(), drawn);
    EXPECT_EQ(Game::current()->getLevel()->getGameMode(), RoomKind::ROOF);
    EXPECT_EQ(headingFor(), game);
}

}  // namespace scene_score_room_test
