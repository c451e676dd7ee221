// The game screen's level flow: the level's start and teardown, the next level and the
// restart, the frame update, the states, pause and hold under dialogs, the play update, the
// end of a level and the stop.
#include "game/screen/LevelFlow.h"

#include <algorithm>
#include <string>

#include "framework/core/NumberClamp.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundNode.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/CommandMove.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BoardInput.h"
#include "game/screen/BoardScreen.h"
#include "game/screen/BonusBar.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameHud.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/screen/TimeBar.h"
#include "game/screen/TrophyNotices.h"

namespace {

constexpr int32_t LEVEL_END_DELAY = 1500;

// Closed and dropped, in this order, when a level is torn down.
const char* const LEVEL_DIALOGS[] = {
    "DIALOG_LEVEL_END",      "CTEXT_MENU_STOP",     "DIALOG_MENU",
    "TEXT_MENU_STOP_QUOVEL", "DIALOG_DORRICK_HINT", "DIALOG_PAUSE",
    "DIALOG_HINT",           "DIALOG_LEVEL_START",  "DIALOG_TROPHY_INFO"};

// Stand-ins for the tiles that moves still in the undo history parked in free cells, at the
// board places an undo puts them back to: a continued game's board must be able to draw them
// there, as it draws the tiles its matches removed.
void addParkedTiles(const Game& game, Game::TileList& out) {
    for (const RefHolder<Command>& command : game.getUndoHistory()) {
        const auto* move = objectCast<CommandMove>(command.get());
        if (move && move->getTile() && !move->isFromSideBoard()) {
            RefHolder<Tile> standIn(new Tile(*move->getTile()));
            standIn->setOnSideBoard(false);
            standIn->setGridPosition(move->getPreviousX(), move->getPreviousY(),
                                     move->getPreviousZ());
            out.push_back(standIn);
        }
    }
}

// The saved game's node of a bar, or null. A node of another type word is refused (null, with
// `refused` set): an edited file could name any registered class there.
PropertyNode* savedBarNode(PropertyNode* savedGame, const char* key, const char* typeWord,
                           bool& refused) {
    PropertyNode* node = savedGame ? objectCast<PropertyNode>(savedGame->getChild(key)) : nullptr;
    refused = node && node->getTypeWord() != typeWord;
    return refused ? nullptr : node;
}

}  // namespace

LevelFlow::LevelFlow(PlayScreen& play, Screen& screen, BoardInput& input,
                     HintTriggers& hintTriggers, SavedGameKeeper& savedGame)
    : play(play), screen(screen), input(input), hintTriggers(hintTriggers), savedGame(savedGame) {}

std::wstring LevelFlow::clockText(int32_t milliseconds) {
    return formatDuration(static_cast<uint32_t>(std::max(milliseconds, 0)), true, true);
}

// --- The level's start ---

void LevelFlow::startLevel(bool restart) {
    Game* game = Game::current();
    start();
    savedGame.setMode(SavedGameKeeper::SAVE_NOTHING);
    play.getAids().resetSuperHintTime();
    input.reset();
    if (!game) {
        return;
    }
    if (!restart) {
        game->restartCount = 0;
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        const TuningConstants& c = tuning();
        if (player->getShuffleStock().getValue() < c.MIN_NUM_SHUFFLES) {
            player->getShuffleStock().set(c.MIN_NUM_SHUFFLES);
        }
        if (player->getHintStock().getValue() < c.MIN_NUM_HINTS) {
            player->getHintStock().set(c.MIN_NUM_HINTS);
        }
    }
    setBackground();
    play.getHud().setHintButton();
    play.getHud().setMatchLabels();
    buildBoard();
    // A level resumed from a saved game takes its bars from it and was counted when it began.
    QuovelMahjongPlayer* profile = QuovelMahjongPlayer::current();
    const bool resumed = profile && profile->getSavedGame();
    if (!resumed && !restart) {
        countLevelStart();
    }
    setupBars();
    play.getHud().setGameTypeName();
    play.getHud().updateHud();
    play.getHud().disableHudButtons();
    play.setBarsSuspended(true);
    game->clearSuperHintTiles();
    game->screenCounts.lastSubmitTime = game->levelCounts.timeSinceLastRestart;
    game->levelCounts.lastClickTime = game->levelCounts.timeSinceLastRestart;
    GameNode::appendChild(game, play.getScene().getTree());
    playGameSound("SOUND_LEVEL_START");
    // The room's saved game stays until the run ends or it is written anew, so that a crash or
    // a kill loses no more than the level in play: a resumed level and a restart keep it, and a
    // casino or roof run past its first level keeps the one written as the level before ended.
    // Only a new run replaces it, at its first level.
    const auto room = currentRoomKind();
    if (!resumed && !restart &&
        ((room != RoomKind::CASINO && room != RoomKind::ROOF) ||
         Game::currentLevel()->getIndex() == 0)) {
        savedGame.drop();
    }
    // The resumed run is saved again whenever the scene is left, not only once play has begun.
    if (resumed) {
        savedGame.setMode(SavedGameKeeper::SAVE_RUNNING);
    }
}

void LevelFlow::buildBoard() {
    Game* game = Game::current();
    RefHolder<LayoutRenderer>& renderer = screen.rendererHolder();
    if (renderer) {
        renderer->setRemoved(true);
    }
    const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    renderer = new LayoutRenderer(player != nullptr ? player->tileSet : 0);
    if (!game || !game->getLayout()) {
        return;
    }
    Game::TileList removed;
    game->getRemovedTiles(removed);
    addParkedTiles(*game, removed);
    renderer->build(game->getLayout(), removed);
    if (game->getLevel() && game->getLevel()->getGameType() == Game::TYPE_RIVER) {
        renderer->applyLayerShading();
    }
    renderer->rebuild();
    renderer->setVisible(true);
    Scene& scene = play.getScene();
    Panel* layoutPanel = play.getHud().getLayoutPanel();
    GameNode* parent = layoutPanel ? static_cast<GameNode*>(layoutPanel) : scene.getTree();
    const int32_t width = layoutPanel ? layoutPanel->getWidth() : scene.getWidth();
    const int32_t height = layoutPanel ? layoutPanel->getHeight() : scene.getHeight();
    renderer->setPosition((width - renderer->getWidth()) / 2, (height - renderer->getHeight()) / 2);
    renderer->clearGrid();
    GameNode::appendChild(renderer.get(), parent);
    if (SideBoard* sideBoard = game->getLayout()->getSideBoard()) {
        sideBoard->setVisible(false);
        GameNode::appendChild(sideBoard, parent);
    }
}

std::string LevelFlow::backgroundKey(GameType gameType, int32_t customBackground) {
    if (customBackground != 0) {
        return "BACKGROUND_CUSTOM" + std::to_string(customBackground);
    }
    return "BACKGROUND" + std::to_string(gameType + 1);
}

void LevelFlow::setBackground() {
    Level* level = Game::currentLevel();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const std::string key =
        backgroundKey(level ? level->getGameType() : TYPE_CLASSIC, player ? player->background : 0);
    RefHolder<Image> image = findOrLoad<Image>(key, "manual");
    Scene& scene = play.getScene();
    if (image && image.get() != scene.getBackgroundImage()) {
        scene.setBackgroundImage(image.get());
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->unloadSection("manual");
    }
}

void LevelFlow::setupBars() {
    Level* level = Game::currentLevel();
    Game* game = Game::current();
    RefHolder<TimeBar>& timeBar = screen.timeBarHolder();
    RefHolder<BonusBar>& bonusBar = screen.bonusBarHolder();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    PropertyNode* saved = player ? player->getSavedGame() : nullptr;
    // A saved game restores the bars it holds and keeps a held bar whose node is absent; a
    // refused node, or no bar at all, gives a fresh bar for the level.
    bool refused = false;
    PropertyNode* timeNode = savedBarNode(saved, "timeBar", "TimeBar", refused);
    if (!saved || timeNode || refused || !timeBar) {
        if (timeBar) {
            timeBar->setRemoved(true);
        }
        timeBar = new TimeBar(timeNode, &play);
        if (!timeNode) {
            int32_t fullTime = 0;
            if (level && game && game->getLayout()) {
                fullTime = saturateToInt32(int64_t{level->getPlayTime().getInt()} *
                                           game->getLayout()->getStartingTileCount());
            }
            fullTime = std::max(fullTime, 0);
            timeBar->getTime() = DisplayValue(fullTime, 0, fullTime);
            timeBar->reset();
        }
    }
    PropertyNode* bonusNode = savedBarNode(saved, "bonusBar", "BonusBar", refused);
    if (!saved || bonusNode || refused || !bonusBar) {
        if (bonusBar) {
            bonusBar->setRemoved(true);
        }
        bonusBar = new BonusBar(bonusNode, &play);
        if (!bonusNode && level) {
            bonusBar->setMaxPoints(level->getBonusAt().getInt());
            bonusBar->setDepletionSpeed(static_cast<float>(level->getBonusSpeed().getInt()) *
                                        0.001f);
            bonusBar->setMaxCountdown(level->getMultiplierTime().getInt());
        }
    }
    timeBar->setPosition(TIME_BAR_X, TIME_BAR_Y);
    GameNode::appendChild(timeBar.get(), play.getScene().getTree());
    GameNode::appendChild(bonusBar.get(), play.getScene().getTree());
}

std::string LevelFlow::musicKey(GameType gameType) {
    switch (gameType) {
        case 0:
            return "MUSIC_GAME_CLASSIC";
        case 1:
            return "MUSIC_GAME_FREECELL";
        case 2:
            return "MUSIC_GAME_SPLIT";
        case 3:
            return "MUSIC_GAME_TRIPLE";
        case 4:
        case 5:
            return "MUSIC_GAME_RIVER";
        default:
            return "";
    }
}

void LevelFlow::playGameMusic() {
    if (const std::string key = musicKey(Game::currentLevelGameType()); !key.empty()) {
        SoundManager::playSceneMusic(key);
    }
}

// --- The next level, the restart and the teardown ---

bool LevelFlow::newLevel(bool quiet) {
    Game* game = Game::current();
    if (!game || !game->getLevel()) {
        return false;
    }
    const RoomKind mode = game->getLevel()->getGameMode();
    if (!game->getHasWon() || mode == RoomKind::FLOORS || mode == RoomKind::RECROOM) {
        if (!quiet) {
            game->returnToRoom();
        }
        return false;
    }
    if (LayoutRenderer* renderer = play.getRenderer()) {
        renderer->setRemoved(true);
    }
    if (SideBoard* sideBoard = currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    if (!quiet) {
        clearLevel();
    }
    // A next level that cannot be had or read ends the run: told, back to the room, not saved.
    const auto endRun = [&](const std::string& why) {
        logProblem("the run ends: " + why);
        savedGame.setMode(SavedGameKeeper::SAVE_NOTHING);
        savedGame.drop();
        if (!quiet) {
            Game::tellDamagedRoom(mode, true);
            game->returnToRoom();
        }
        return false;
    };
    // A next level whose layout is missing or holds no tile is not dealt (a rack type would tell
    // the player that every build failed): the run ends, and this is false.
    const auto dealable = [&](const Level& next) {
        return next.hasTiles() ||
               endRun("the layout \"" + next.getLayout() + "\" of its next level holds no tile");
    };
    RefHolder<Level> old = game->getLevel();
    if (old->isMixed() && mode == RoomKind::ROOF) {
        // Each level of a mixed roof run is of another game type than the one before.
        GameType type = old->getGameType();
        Random* random = Random::getInstance();
        for (int tries = 0; random && type == old->getGameType() && tries < 1000; ++tries) {
            type = ROOM_GAME_TYPES[static_cast<size_t>(random->nextInt(0, 5))];
        }
        if (type == old->getGameType()) {
            type = ROOM_GAME_TYPES[static_cast<size_t>((type + 1) % 5)];
        }
        const int32_t score = game->getScore().getValue();
        RefHolder<Level> level =
            LevelCatalog::instance()->casinoLevel(type, old->getDifficulty(), RoomKind::ROOF);
        if (!level) {
            return endRun("the catalogue has no level of game type " + std::to_string(type));
        }
        for (int32_t i = 0; i <= old->getIndex(); ++i) {
            level->nextLevel();
        }
        level->loadLayout();
        if (!dealable(*level)) {
            return false;
        }
        Game::releaseCurrent();
        game = Game::create(type);
        if (!game) {
            return false;
        }
        level->setMixed(true);
        game->setLevel(level.get());
        game->getScore().set(score);
    } else {
        old->nextLevel();
        old->loadLayout();
        if (!dealable(*old)) {
            return false;
        }
        game->setLevel(old.get());
    }
    game->clearUndoHistory();
    if (quiet) {
        game->clearLevelValues();
    } else {
        startLevel(false);
        // The run is written as each of its levels ends, as the level after starts.
        savedGame.setMode(SavedGameKeeper::SAVE_RUNNING);
        savedGame.save();
    }
    savedGame.setMode(SavedGameKeeper::SAVE_RUNNING);
    return true;
}

void LevelFlow::restartLevel() {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    ++game->restartCount;
    Scene& scene = play.getScene();
    for (const char* name : {"TEXT_STUCK_QUOVEL", "TEXT_STUCK_RECROOM"}) {
        GameDialogs::get().close(scene.findDialog(name));
    }
    input.deselectAll();
    if (SideBoard* sideBoard = currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    clearLevel();
    game->restartLevel();
    startLevel(true);
    setState(new StateBuildLevel(&play));
}

void LevelFlow::clearLevel() {
    stop();
    if (Game* game = Game::current()) {
        game->clearLevelValues();
    }
    Scene& scene = play.getScene();
    for (const char* name : LEVEL_DIALOGS) {
        if (Dialog* dialog = scene.findDialog(name)) {
            scene.closeDialog(dialog);
            scene.dropDialog(name);
        }
    }
    GameDialogs::get().forgetHint();
    input.deselectAll();
    play.getAids().clear();
    play.getTrophies().clear();
    if (GameNode* widgetLayer = screen.getWidgetLayer()) {
        for (GameNode* child = widgetLayer->getFirstChild(); child;
             child = child->getNextSibling()) {
            if (auto* part = interfaceCast<iInputListener>(child)) {
                scene.getComponentsContainer().removeListener(part);
            }
        }
        GameNode::releaseChildren(widgetLayer);
    }
    RefHolder<TimeBar>& timeBar = screen.timeBarHolder();
    RefHolder<BonusBar>& bonusBar = screen.bonusBarHolder();
    for (GameNode* bar :
         {static_cast<GameNode*>(bonusBar.get()), static_cast<GameNode*>(timeBar.get())}) {
        if (bar) {
            bar->setRemoved(true);
        }
    }
    bonusBar = nullptr;
    timeBar = nullptr;
    if (SideBoard* sideBoard = currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    if (Label* timeLabel = play.getHud().getTimeLabel()) {
        GameNode::removeAllModifiers(timeLabel);
        timeLabel->setText(clockText(0));
    }
    RefHolder<LayoutRenderer>& renderer = screen.rendererHolder();
    if (renderer) {
        renderer->setRemoved(true);
        renderer = nullptr;
    }
    if (GameNode* endLayer = screen.getEndLayer()) {
        GameNode::releaseChildren(endLayer);
    }
    if (GameNode* floaterLayer = play.getBoard().getFloaters().getLayer()) {
        GameNode::releaseChildren(floaterLayer);
    }
}

void LevelFlow::countLevelStart() {
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (game && game->getLevel() && player) {
        player->getStats().recordLevelStarted(StateGameWon::placeOf(game->getLevel()));
    }
}

// --- States ---

void LevelFlow::setState(GameSceneState* next) {
    // Both are held across exit and enter: either may hand the screen yet another state.
    RefHolder<GameSceneState> keepNext(next);
    if (RefHolder<GameSceneState> previous = currentState) {
        currentState = nullptr;
        previous->exit();
    }
    if (next) {
        currentState = next;
        next->enter();
    }
}

void LevelFlow::shuffleBoard() {
    setState(new StateShuffle(&play));
}

void LevelFlow::boardStuck() {
    play.getAids().showStuckDialog(true);
}

bool LevelFlow::isLevelOver() const {
    return currentState && currentState->isA(&StateLevelEnd::typeRecord);
}

// --- The frame ---

void LevelFlow::update(int32_t elapsedMs) {
    if (currentState) {
        RefHolder<GameSceneState> keep = currentState;
        keep->update(elapsedMs);
        input.endFrame();
        return;
    }
    Scene& scene = play.getScene();
    if (!scene.isDialogOpen("DIALOG_PAUSE") &&
        (menuRequested || pauseRequested || input.isFocusLost() ||
         input.isDeactivatedThisFrame())) {
        if (pauseState != PlayScreen::HIDDEN && pauseState != PlayScreen::STOPPED) {
            if (LayoutRenderer* renderer = play.getRenderer()) {
                renderer->hideSymbols();
            }
            if (SideBoard* sideBoard = currentSideBoard()) {
                sideBoard->invalidateAll();
            }
            pauseState = PlayScreen::HIDDEN;
        }
        if (SoundNode* timeSound = play.getTimeSound()) {
            timeSound->stop(true);
        }
        Dialog* dialog = scene.getDialog(menuRequested ? "DIALOG_MENU" : "DIALOG_PAUSE");
        if (!menuRequested && input.isDeactivatedThisFrame()) {
            GameDialogs::get().setFadeInOnShow(dialog, false);
        }
        scene.openDialog(dialog);
        forgetRequests();
        input.forgetFocusLoss();
        play.getHud().enablePauseAndMenu();
    }
    if (Game* game = Game::current()) {
        SideBoard* sideBoard = currentSideBoard();
        for (const RefHolder<Tile>& tile : game->getSuperHintTiles()) {
            if (sideBoard && tile->isOnSideBoard()) {
                sideBoard->invalidateTileRect(tile->getGridX(), tile->getGridY());
            }
        }
    }
    // The tutorial hints: a closed hint dialog is forgotten, then the board check is paced.
    if (GameDialogs::get().isHintOpen() && !scene.isDialogOpen("DIALOG_HINT")) {
        GameDialogs::get().forgetHint();
    }
    hintTriggers.onFrame();
    if (!screen.isDialogOverGame()) {
        updatePlay(elapsedMs);
    }
    input.endFrame();
}

void LevelFlow::updatePlay(int32_t elapsedMs) {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    game->gameCounts.dataGatherLevelTime += elapsedMs;
    game->runCounts.realTime += elapsedMs;
    game->levelCounts.timeSinceLastRestart += elapsedMs;
    input.advanceHoverPath(elapsedMs);
    play.getAids().advanceSuperHint(elapsedMs);
    if (currentRoomKind() == RoomKind::RECROOM) {
        game->runCounts.clockTime += elapsedMs;
        if (Label* timeLabel = play.getHud().getTimeLabel()) {
            timeLabel->setText(clockText(game->runCounts.clockTime));
        }
        return;
    }
    if (play.getTimeValue().getValue() <= 0) {
        enterGameOver();
    }
}

// --- Holding the game under dialogs ---

void LevelFlow::pause() {
    if (pauseState == PlayScreen::HIDDEN || pauseState == PlayScreen::STOPPED) {
        return;
    }
    play.getHud().disableHudButtons();
    play.setBarsSuspended(true);
    pauseState = PlayScreen::HELD;
}

void LevelFlow::resume() {
    if (pauseState == PlayScreen::STOPPED) {
        return;
    }
    if (pauseState == PlayScreen::HIDDEN) {
        if (LayoutRenderer* renderer = play.getRenderer()) {
            renderer->showSymbols();
        }
        if (SideBoard* sideBoard = currentSideBoard()) {
            sideBoard->invalidateAll();
        }
    }
    pauseState = PlayScreen::RUNNING;
    // While the level is introduced, built or ended, the states keep the HUD off.
    if (Game::current() && (!currentState || currentState->isA(&StatePlaying::typeRecord))) {
        play.getHud().enableHudButtons();
        play.setBarsSuspended(currentRoomKind() == RoomKind::RECROOM);
    }
}

// --- The end of a level ---

void LevelFlow::endLevel(bool won) {
    if (Game* game = Game::current()) {
        play.getHud().setScoreAtOnce(game->getScore().getValue());
    }
    input.deselectAll();
    if (GameNode* endLayer = screen.getEndLayer()) {
        GameNode::releaseChildren(endLayer);
    }
    if (BonusBar* bonusBar = play.getBonusBar()) {
        bonusBar->finishAnimations();
    }
    if (SoundNode* timeSound = play.getTimeSound()) {
        timeSound->stop(true);
    }
    play.getAids().dismissSuperHintIcon(true);
    savedGame.setMode(won ? SavedGameKeeper::SAVE_WON : SavedGameKeeper::SAVE_NOTHING);
    // A lost level, or a won rec-room game, ends its run: no kill may leave the run to be
    // continued. A won casino or roof level keeps it until the next level is written.
    if (!won || currentRoomKind() == RoomKind::RECROOM) {
        savedGame.drop();
    }
    if (won) {
        setState(new StateGameWon(&play, LEVEL_END_DELAY));
    } else {
        setState(new StateGameOver(&play, LEVEL_END_DELAY));
    }
}

int32_t LevelFlow::onGameStopped(BaseObject*) {
    Game* game = Game::current();
    if (!game) {
        return 0;
    }
    if (PropertyNode* session = Game::getLevelSession()) {
        session->addBool("gameStopped", true, false);
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->setTrophiesSeen();
    }
    const RoomKind mode = currentRoomKind();
    if (mode == RoomKind::FLOORS) {
        game->returnToRoom();
        return 0;
    }
    // The game in progress and the profile are written now, as at the game's end, so that one
    // message names each that failed; the saves of the scene change then fail untold.
    PlayerFileReport::gatherFailures(PlayerFileReport::Gathered::UNTOLD_FAILURES);
    if (PlayScreen* screen = PlayScreen::fromHost()) {
        screen->getSavedGame().save();
    }
    PlayerFileReport::savePlayers();
    PlayerFileReport::tellGathered();
    BuildingHooks::gameStopped(mode);
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_ELEVATOR", "", SceneManager::QueuedSections::KEEP);
    }
    return 0;
}

// --- The pause and menu buttons ---

int32_t LevelFlow::onPauseButton(BaseObject*) {
    requestPause();
    play.getHud().enablePauseAndMenu();
    return 0;
}

int32_t LevelFlow::onMenuButton(BaseObject*) {
    requestMenu();
    play.getHud().enablePauseAndMenu();
    return 0;
}
