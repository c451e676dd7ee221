#include "game/screen/SceneGame.h"

#include <algorithm>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundNode.h"
#include "framework/platform/SoundStream.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/TrophyList.h"
#include "game/rules/CommandMove.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/LabelTicker.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/TimeBar.h"
#include "game/visuals/ModifierLabelValue.h"

QUOVEL_DEFINE_TYPE(SceneGame, &SceneQuovelMahjong::typeRecord, &WindowMessageListener::typeRecord,
                   &PlayScreen::typeRecord)
QUOVEL_REGISTER_CLASS(SceneGame)

namespace {

const char* const GAME_TYPE_NAMES[] = {"NAME_CLASSIC", "NAME_FREECELL", "NAME_SPLIT",
                                       "NAME_TRIPLE",  "NAME_RIVER",    "NAME_SPEED"};
const char* const MATCH_LABELS[] = {"LABEL_MATCHES", "LABEL_MATCHES_TEXT", "LABEL_PROGRESS",
                                    "LABEL_PROGRESS_TEXT"};

int32_t currentGameMode() {
    Level* level = Game::currentLevel();
    return level ? static_cast<int32_t>(level->getGameMode()) : 0;
}

// Modes 0 (floors) and 2 (rec room) use the "_REC" set of match labels.
bool usesRecLabels(int32_t mode) {
    return mode == 0 || mode == 2;
}

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

}  // namespace

// The scene is the rules' screen and the dialogs' host for its whole life: rooms set levels up
// before it shows.
SceneGame::SceneGame(PropertyNode* definition) : SceneQuovelMahjong(definition) {
    setGameScreen(&board);
    GameDialogHost::install(this);
}

SceneGame::~SceneGame() {
    savedGame.save();
    flow.setState(nullptr);
    GameDialogs::get().forgetHint();
    if (Game::current()) {
        Game::releaseCurrent();
    }
    renderer = nullptr;
    input.clearHover();
    if (GameDialogHost::get() == this) {
        GameDialogHost::install(nullptr);
    }
    setGameScreen(nullptr);
}

void* SceneGame::castTo(const TypeRecord* type) {
    if (type == &WindowMessageListener::typeRecord) {
        return static_cast<WindowMessageListener*>(this);
    }
    if (type == &PlayScreen::typeRecord) {
        return static_cast<PlayScreen*>(this);
    }
    return SceneQuovelMahjong::castTo(type);
}

void SceneGame::loadResources() {
    Scene::loadResources();
    createHud();
    createLayers();
    createTimeSound();
}

template <int32_t (SceneGame::*Method)(BaseObject*)>
void SceneGame::connectButton(const char* name) {
    connect<Method>(name, this, &getComponentsContainer());
}

Label* SceneGame::findLabel(const std::string& name) {
    return objectCast<Label>(findChild(name));
}

void SceneGame::createHud() {
    connectButton<&SceneGame::onPauseButton>("BUTTON_PAUSE");
    connectButton<&SceneGame::onMenuButton>("BUTTON_MENU");
    pauseButton = objectCast<Button>(findChild("BUTTON_PAUSE"));
    menuButton = objectCast<Button>(findChild("BUTTON_MENU"));
    connect<&PlayerAids::onShuffle>("BUTTON_SHUFFLE", &aids, &getComponentsContainer());
    connect<&PlayerAids::onUndo>("BUTTON_UNDO", &aids, &getComponentsContainer());
    connect<&PlayerAids::onHint>("BUTTON_HINT_NORMAL", &aids, &getComponentsContainer());
    connect<&PlayerAids::onHint>("BUTTON_HINT_UNLIMITED", &aids, &getComponentsContainer());
    shuffleButton = objectCast<Button>(findChild("BUTTON_SHUFFLE"));
    undoButton = objectCast<Button>(findChild("BUTTON_UNDO"));
    hintsLabel = findLabel("LABEL_HINTS");
    shufflesLabel = findLabel("LABEL_SHUFFLES");
    scoreTicker = objectCast<LabelTicker>(findChild("SCORE_TICKER"));
    scoreCaption = findLabel("LABEL_SCORE_TEXT");
    levelLabel = findLabel("LABEL_LEVEL");
    levelCaption = findLabel("LABEL_LEVEL_TEXT");
    timeLabel = findLabel("LABEL_TIME");
    timeCaption = findLabel("LABEL_TIME_TEXT");
    layoutPanel = objectCast<Panel>(findChild("PANEL_LAYOUT"));
    trophyPanel = objectCast<Panel>(findChild("PANEL_TROPHY"));
    if (trophyPanel) {
        trophyHeader = objectCast<Label>(trophyPanel->findChild("LABEL_HEADER"));
        trophyDescription = objectCast<Label>(trophyPanel->findChild("LABEL_DESCRIPTION"));
    }
    setMatchLabels();
    for (const char* name : GAME_TYPE_NAMES) {
        showNode(findChild(name), false);
    }
}

void SceneGame::createLayers() {
    appendChild(input.getHintPathLayer(), getTree());
    for (RefHolder<GameNode>* layer : {&endLayer, &widgetLayer}) {
        *layer = new GameNode();
        appendChild(layer->get(), getTree());
    }
    floaters.createLayer();
}

void SceneGame::createTimeSound() {
    if (RefHolder<Sound> sound = findLoaded<Sound>("SOUND_TIME", "game")) {
        timeSound = new SoundNode(sound.get());
    }
}

void SceneGame::show() {
    SceneQuovelMahjong::show();  // saves the player list first
    if (GameWindow* window = GameWindow::getInstance()) {
        window->getMessageHandler()->addListener(this);
    }
    flow.forgetRequests();
    if (SoundManager* sound = SoundManager::getInstance();
        sound && SoundManager::isSoundAvailable()) {
        sound->fadeOutMusic(800);
    }
    startLevel(false);
    flow.setState(new StateRoomInfo(this));
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->clearSavedGame();
    }
}

void SceneGame::hide() {
    savedGame.save();
    clearLevel();
    // A build or shuffle left half-way would keep its loop sounding.
    flow.setState(nullptr);
    if (GameWindow* window = GameWindow::getInstance()) {
        window->getMessageHandler()->removeListener(this);
    }
    SceneQuovelMahjong::hide();
    if (Dialog* trophy = findDialog("DIALOG_TROPHY")) {
        closeDialog(trophy);
        dropDialog("DIALOG_TROPHY");
    }
}

void SceneGame::startLevel(bool restart) {
    Game* game = Game::current();
    flow.start();
    savedGame.setMode(0);
    aids.resetSuperHintTime();
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
    setHintButton();
    setMatchLabels();
    buildBoard();
    // A level resumed from a saved game takes its bars from it and was counted when it began.
    QuovelMahjongPlayer* profile = QuovelMahjongPlayer::current();
    const bool resumed = profile && profile->getSavedGame();
    if (!resumed && !restart) {
        countLevelStart();
    }
    setupBars(restart);
    setGameTypeName();
    updateHud();
    setButtonsEnabled(false);
    setBarsSuspended(true);
    game->clearSuperHintTiles();
    game->screenCounts.lastSubmitTime = game->levelCounts.timeSinceLastRestart;
    game->levelCounts.lastClickTime = game->levelCounts.timeSinceLastRestart;
    appendChild(game, getTree());
    playGameSound("SOUND_LEVEL_START");
    // Past its first level a casino or roof run keeps its saved game, written as the level
    // before ended: a crash or a kill then loses no more than this level. Any other level
    // replaces the room's saved game.
    const auto room = static_cast<RoomKind>(currentGameMode());
    if ((room != RoomKind::CASINO && room != RoomKind::ROOF) ||
        Game::currentLevel()->getIndex() == 0) {
        savedGame.drop();
    }
    // Its file may be gone now, so the resumed run is saved again whenever the scene is left,
    // not only once play has begun.
    if (resumed) {
        savedGame.setMode(1);
    }
}

void SceneGame::buildBoard() {
    Game* game = Game::current();
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
    GameNode* parent = layoutPanel ? static_cast<GameNode*>(layoutPanel) : getTree();
    const int32_t width = layoutPanel ? layoutPanel->getWidth() : getWidth();
    const int32_t height = layoutPanel ? layoutPanel->getHeight() : getHeight();
    renderer->setPosition((width - renderer->getWidth()) / 2,
                          (height - renderer->getHeight()) / 2);
    renderer->clearGrid();
    appendChild(renderer.get(), parent);
    if (SideBoard* sideBoard = game->getLayout()->getSideBoard()) {
        sideBoard->setVisible(false);
        appendChild(sideBoard, parent);
    }
}

std::string SceneGame::backgroundKey(GameType gameType, int32_t customBackground) {
    if (customBackground != 0) {
        return "BACKGROUND_CUSTOM" + std::to_string(customBackground);
    }
    return "BACKGROUND" + std::to_string(gameType + 1);
}

void SceneGame::setBackground() {
    Level* level = Game::currentLevel();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const std::string key =
        backgroundKey(level ? level->getGameType() : TYPE_CLASSIC, player ? player->background : 0);
    RefHolder<Image> image = findOrLoad<Image>(key, "manual");
    if (image && image.get() != getBackgroundImage()) {
        setBackgroundImage(image.get());
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->unloadSection("manual");
    }
}

void SceneGame::setHintButton() {
    const bool floors = currentGameMode() == 0;
    const char* shown = floors ? "BUTTON_HINT_NORMAL" : "BUTTON_HINT_UNLIMITED";
    const char* hidden = floors ? "BUTTON_HINT_UNLIMITED" : "BUTTON_HINT_NORMAL";
    hintButton = objectCast<Button>(findChild(shown));
    showNode(hintButton, true);
    showNode(findChild(hidden), false);
}

void SceneGame::setMatchLabels() {
    const bool rec = usesRecLabels(currentGameMode());
    const std::string active = rec ? "_REC" : "";
    const std::string inactive = rec ? "" : "_REC";
    for (const char* name : MATCH_LABELS) {
        showNode(findChild(name + active), true);
        showNode(findChild(name + inactive), false);
    }
    matchesLabel = findLabel("LABEL_MATCHES" + active);
    matchesCaption = findLabel("LABEL_MATCHES_TEXT" + active);
    progressLabel = findLabel("LABEL_PROGRESS" + active);
}

// --- The bars ---

namespace {

// The saved game's node of a bar, or null. A node of another type word is refused (null, with
// `refused` set): an edited file could name any registered class there.
PropertyNode* savedBarNode(PropertyNode* savedGame, const char* key, const char* typeWord,
                           bool& refused) {
    PropertyNode* node = savedGame ? objectCast<PropertyNode>(savedGame->getChild(key)) : nullptr;
    refused = node && node->getTypeWord() != typeWord;
    return refused ? nullptr : node;
}

}  // namespace

void SceneGame::setupBars(bool restart) {
    (void)restart;
    Level* level = Game::currentLevel();
    Game* game = Game::current();
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
        timeBar = new TimeBar(timeNode, this);
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
        bonusBar = new BonusBar(bonusNode, this);
        if (!bonusNode && level) {
            bonusBar->setMaxPoints(level->getBonusAt().getInt());
            bonusBar->setDepletionSpeed(static_cast<float>(level->getBonusSpeed().getInt()) *
                                        0.001f);
            bonusBar->setMaxCountdown(level->getMultiplierTime().getInt());
        }
    }
    timeBar->setPosition(TIME_BAR_X, TIME_BAR_Y);
    appendChild(timeBar.get(), getTree());
    appendChild(bonusBar.get(), getTree());
}

void SceneGame::updateShufflesLabel() {
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        setLabelNumber(shufflesLabel, player->getShuffleStock().getShown());
    }
}

void SceneGame::updateHintsLabel() {
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        setLabelNumber(hintsLabel, player->getHintStock().getShown());
    }
}

DisplayValue& SceneGame::getTimeValue() {
    return timeBar ? timeBar->getTime() : timeValue;
}

void SceneGame::setGameTypeName() {
    for (const char* name : GAME_TYPE_NAMES) {
        showNode(findChild(name), false);
    }
    const GameType type = Game::currentLevelGameType();
    if (type >= 0 && type < static_cast<int32_t>(std::size(GAME_TYPE_NAMES))) {
        showNode(findChild(GAME_TYPE_NAMES[type]), true);
    }
}

std::string SceneGame::musicKey(GameType gameType) {
    switch (gameType) {
        case 0: return "MUSIC_GAME_CLASSIC";
        case 1: return "MUSIC_GAME_FREECELL";
        case 2: return "MUSIC_GAME_SPLIT";
        case 3: return "MUSIC_GAME_TRIPLE";
        case 4:
        case 5: return "MUSIC_GAME_RIVER";
        default: return "";
    }
}

void SceneGame::playGameMusic() {
    SoundManager* sound = SoundManager::getInstance();
    const std::string key = musicKey(Game::currentLevelGameType());
    if (!sound || !SoundManager::isSoundAvailable() || key.empty()) {
        return;
    }
    if (RefHolder<SoundStream> stream = findLoaded<SoundStream>(key, "music")) {
        sound->playMusic(1000, 1.0f, 100, stream.get(), 600, 306);
    }
}

int32_t SceneGame::onPauseButton(BaseObject*) {
    flow.requestPause();
    enablePauseAndMenu();
    return 0;
}

int32_t SceneGame::onMenuButton(BaseObject*) {
    flow.requestMenu();
    enablePauseAndMenu();
    return 0;
}

void SceneGame::enablePauseAndMenu() {
    for (Button* button : {pauseButton, menuButton}) {
        if (button) {
            button->setEnabled(true);
        }
    }
}

void SceneGame::showNode(GameNode* node, bool visible) {
    if (node) {
        node->setVisible(visible);
    }
}

void SceneGame::setLabelNumber(Label* label, int32_t value) {
    if (label) {
        const std::string text = std::to_string(value);
        label->setText(std::wstring(text.begin(), text.end()));
    }
}

void SceneGame::updateHud() {
    Game* game = Game::current();
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        setLabelNumber(hintsLabel, player->getHintStock().getValue());
        setLabelNumber(shufflesLabel, player->getShuffleStock().getValue());
    }
    updateLevelLabel();
    if (game) {
        setScoreAtOnce(game->getScore().getValue());
    }
    updateMatchesText();
    updateProgressLabel();
    showHudForRoom();
}

void SceneGame::setButtonsEnabled(bool value) {
    for (Button* button : {pauseButton, menuButton, hintButton, shuffleButton, undoButton}) {
        if (button) {
            button->setEnabled(value);
        }
    }
}

// --- HUD ---

void SceneGame::showHudForRoom() {
    const RoomKind room = currentRoomKind();
    const bool floors = room == RoomKind::FLOORS;
    const bool rec = room == RoomKind::RECROOM;
    showNode(hintButton, true);
    showNode(hintsLabel, floors);
    showNode(shuffleButton, !rec);
    showNode(shufflesLabel, floors);
    showNode(undoButton, rec);
    showNode(scoreTicker, !rec);
    showNode(scoreCaption, !rec);
    showNode(timeLabel, rec);
    showNode(timeCaption, rec);
    showNode(levelLabel, floors || room == RoomKind::ROOF);
    showNode(levelCaption, floors || room == RoomKind::ROOF);
    showNode(timeBar.get(), !rec);
    showNode(bonusBar.get(), !rec);
    showNode(findChild("BONUSBAR_CIRCLE"), !rec);
}

void SceneGame::updateLevelLabel() {
    if (Level* level = Game::current() ? Game::current()->getLevel() : nullptr) {
        setLabelNumber(levelLabel, level->getIndex() + 1);
    }
}

void SceneGame::updateMatchesText() {
    Game* game = Game::current();
    if (!game || !game->getLayout()) {
        return;
    }
    const int32_t count = game->countMatches(nullptr);
    setLabelNumber(matchesLabel, count);
    if (matchesCaption) {
        const std::string form = count == 0 ? "ZERO" : count == 1 ? "ONE" : "PLURAL";
        const char* prefix = Game::currentLevelGameType() == Game::TYPE_TRIPLE
                                 ? "TEXT_TRIPLE_MATCHES_"
                                 : "TEXT_MATCHES_";
        matchesCaption->setText(getBasicText(prefix + form));
    }
    if (count == 0 && game->isStuck(0) && !flow.isLevelOver()) {
        ++game->runCounts.numZeroMatches;
        if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
            ++player->getStats().numStuck;
        }
        aids.showStuckDialog(true);
    }
}

void SceneGame::updateProgressLabel() {
    Game* game = Game::current();
    if (!game || !game->getLayout() || !progressLabel) {
        return;
    }
    Layout* layout = game->getLayout();
    const int32_t total = layout->getStartingTileCount();
    int32_t left = layout->getTileCount();
    // A tile parked in a free cell is still to be played; the racks of Split and Speed show
    // copies, which were never among the starting tiles.
    if (SideBoard* cells = layout->getSideBoard();
        cells && Game::currentLevelGameType() == Game::TYPE_FREECELL) {
        left += cells->getTileCount();
    }
    // Whole percent, counted in whole numbers so that an exact share shows exactly; a layout
    // that started empty has made no progress.
    const int64_t percent = total > 0 ? (int64_t{total} - left) * 100 / total : 0;
    const std::string text = std::to_string(percent) + "%";
    progressLabel->setText(std::wstring(text.begin(), text.end()));
}

// --- Board input and the score ---

bool SceneGame::onMouseMove(int32_t x, int32_t y, int32_t) {
    return input.onMouseMove(x, y);
}

bool SceneGame::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    return input.onLeftButtonDown(x, y);
}

bool SceneGame::onRightButtonDown(int32_t, int32_t, int32_t, bool) {
    return input.onRightButtonDown();
}

void SceneGame::onWindowMessage(uint32_t message, uint32_t, uint32_t) {
    input.onWindowMessage(message);
}

void SceneGame::restartScoreCount() {
    Game* game = Game::current();
    ModifierLabelValue* counter = scoreTicker ? scoreTicker->getCounter() : nullptr;
    if (game && counter) {
        counter->setStartValue(counter->getShownValue());
        counter->setTargetValue(game->getScore().getShown());
    }
}

Label* SceneGame::getScoreLabel() const {
    return scoreTicker ? scoreTicker->getCounter()->getLabel() : nullptr;
}

void SceneGame::setScoreAtOnce(int32_t score) {
    if (ModifierLabelValue* counter = scoreTicker ? scoreTicker->getCounter() : nullptr) {
        counter->setTargetValue(score);
        counter->setShownValue(score);
        counter->formatLabelNumber();
    }
}
