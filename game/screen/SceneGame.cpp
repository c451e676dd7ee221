#include "game/screen/SceneGame.h"

#include <algorithm>
#include <string>

#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
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
#include "game/screen/LayoutRenderer.h"
#include "game/screen/TimeBar.h"

QUOVEL_DEFINE_TYPE(SceneGame, &SceneQuovelMahjong::typeRecord, &IGameScreen::typeRecord,
                   &WindowMessageListener::typeRecord, &PlayScreen::typeRecord)
QUOVEL_REGISTER_CLASS(SceneGame)

namespace {

int32_t currentGameMode() {
    Level* level = Game::currentLevel();
    return level ? static_cast<int32_t>(level->getGameMode()) : 0;
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
    setGameScreen(this);
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
    if (type == &IGameScreen::typeRecord) {
        return static_cast<IGameScreen*>(this);
    }
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

void SceneGame::createHud() {
    connectButton<&SceneGame::onPauseButton>("BUTTON_PAUSE");
    connectButton<&SceneGame::onMenuButton>("BUTTON_MENU");
    connect<&PlayerAids::onShuffle>("BUTTON_SHUFFLE", &aids, &getComponentsContainer());
    connect<&PlayerAids::onUndo>("BUTTON_UNDO", &aids, &getComponentsContainer());
    connect<&PlayerAids::onHint>("BUTTON_HINT_NORMAL", &aids, &getComponentsContainer());
    connect<&PlayerAids::onHint>("BUTTON_HINT_UNLIMITED", &aids, &getComponentsContainer());
    hud.bind();
    layoutPanel = objectCast<Panel>(findChild("PANEL_LAYOUT"));
    trophies.bind();
}

void SceneGame::createLayers() {
    appendChild(input.getHintPathLayer(), getTree());
    for (RefHolder<GameNode>* layer : {&endLayer, &widgetLayer, &floaterLayer}) {
        *layer = new GameNode();
        appendChild(layer->get(), getTree());
    }
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
    hud.setHintButton();
    hud.setMatchLabels();
    buildBoard();
    // A level resumed from a saved game takes its bars from it and was counted when it began.
    QuovelMahjongPlayer* profile = QuovelMahjongPlayer::current();
    const bool resumed = profile && profile->getSavedGame();
    if (!resumed && !restart) {
        countLevelStart();
    }
    setupBars(restart);
    hud.setGameTypeName();
    hud.updateHud();
    hud.disableHudButtons();
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

int32_t SceneGame::getChainCounter() const {
    return bonusBar ? bonusBar->getMultiplier() : 1;
}

void SceneGame::addBonusPoints(int32_t points) {
    if (bonusBar) {
        bonusBar->addPoints(points);
    }
}

DisplayValue& SceneGame::getTimeValue() {
    return timeBar ? timeBar->getTime() : timeValue;
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
    hud.enablePauseAndMenu();
    return 0;
}

int32_t SceneGame::onMenuButton(BaseObject*) {
    flow.requestMenu();
    hud.enablePauseAndMenu();
    return 0;
}

void SceneGame::updateMatchesText() {
    hud.updateMatchesText();
}

void SceneGame::updateProgressLabel() {
    hud.updateProgressLabel();
}

// --- The rules' game screen ---

Tile* SceneGame::tileAtPoint(Layout* layout, int32_t x, int32_t y) {
    return renderer ? renderer->tileAtPoint(layout, x, y) : nullptr;
}

void SceneGame::addSuperHintTint(Tile* tile) {
    if (renderer) {
        renderer->addSuperHintTint(tile);
    }
}

void SceneGame::clearModifiers(Tile* tile) {
    if (renderer) {
        renderer->clearModifiers(tile);
    }
}

void SceneGame::addFadeOut(Tile* tile, int32_t chain) {
    if (renderer) {
        renderer->addFadeOut(tile, chain);
    }
}

void SceneGame::addBlockedPulse(Tile* tile) {
    if (renderer) {
        renderer->addBlockedPulse(tile);
    }
}

void SceneGame::restoreRenderTile(Tile* tile) {
    if (!renderer) {
        return;
    }
    if (RenderTile* renderTile = renderer->findRenderTile(tile)) {
        renderTile->clearModifiers();
        renderTile->setOutOfGrid(false);
        renderer->placeInGrid(renderTile);
    }
}

RenderTile* SceneGame::createRenderTile(int32_t column, int32_t row, int32_t layer,
                                        int32_t faceOffsetX, int32_t faceOffsetY) {
    return new RenderTile(column, row, layer, faceOffsetX, faceOffsetY);
}

void SceneGame::addDirtyRect(const Rect& area) {
    if (renderer) {
        renderer->addDirtyRect(area);
    }
}

void SceneGame::showHostHint(int32_t hint) {
    if (isDialogOpen("DIALOG_DORRICK_HINT")) {
        return;
    }
    if (Dialog* dialog = GameDialogs::get().hostHint(*this, hint, {})) {
        openDialog(dialog);
    }
}

void SceneGame::resetHintPath() {
    input.clearHintPath(true);
}

void SceneGame::clearHoverTile() {
    input.clearHover();
}

void SceneGame::showTileSelected(Tile* tile) {
    input.showTileSelected(tile);
}

void SceneGame::showTileBlocked(Tile* tile) {
    input.showTileBlocked(tile);
}

void SceneGame::removeTileEffect(Tile* tile) {
    BoardInput::removeTileEffect(tile);
}

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
    hud.restartScoreCount();
}

GameNode* SceneGame::getSideBoardHolder() {
    Game* game = Game::current();
    if (!game || !game->getLayout() || !game->getLayout()->getSideBoard()) {
        return nullptr;
    }
    return layoutPanel ? static_cast<GameNode*>(layoutPanel) : getTree();
}

bool SceneGame::isBoardShown() const {
    return renderer.get() != nullptr && getState() == STATE_CURRENT;
}

bool SceneGame::drawsShadows() const {
    return static_cast<bool>(const_cast<SceneGame*>(this)->getShadowImage());
}

RefHolder<Image> SceneGame::getShadowImage() {
    return findLoaded<Image>("SHADOW", "manual");
}

RefHolder<Image> SceneGame::gameImage(const std::string& key) {
    return findOrLoad<Image>(key, "game");
}

RefHolder<Image> SceneGame::findImage(const std::string& section, const std::string& name) {
    return findOrLoad<Image>(name, section);
}

Image* SceneGame::getShownSymbols() {
    return renderer && renderer->getSymbolsShown() ? renderer->getSymbolImage() : nullptr;
}

GameNode* SceneGame::liftTile(Tile* tile) {
    Game* game = Game::current();
    if (!renderer || !floaterLayer || tile == nullptr || !game || !game->getLayout()) {
        return nullptr;
    }
    int32_t x = tile->getGridX();
    int32_t y = tile->getGridY();
    if (tile->isOnSideBoard()) {
        SideBoard* sideBoard = game->getLayout()->getSideBoard();
        if (sideBoard == nullptr) {
            return nullptr;
        }
        sideBoard->slotToPoint(x, y);
    } else {
        RenderTile* renderTile = renderer->findRenderTile(tile);
        if (renderTile == nullptr) {
            return nullptr;
        }
        renderer->positionRenderTile(renderTile->getColumn(), renderTile->getRow(),
                                     renderTile->getLayer());
        x = renderer->gridToScreenX(tile->getGridZ(), tile->getGridX());
        y = renderer->gridToScreenY(tile->getGridZ(), tile->getGridY());
    }
    // The blank tile with the tile's symbol, as the board draws it.
    RefHolder<Image> picture(Image::copyImage(LayoutRenderer::getTileImage().get()));
    Image* symbols = getShownSymbols();
    if (picture && symbols) {
        RefHolder<Graphics> graphics(picture->createGraphics());
        const TuningConstants& c = tuning();
        if (graphics) {
            graphics->blit(symbols, 0, 0, tile->getFaceOffsetX(), tile->getFaceOffsetY(),
                           c.TILE_FACE_WIDTH, c.TILE_FACE_HEIGHT);
        }
    }
    RefHolder<Sprite> flying(new Sprite(x, y, picture.get()));
    appendChild(flying.get(), floaterLayer.get());
    return flying.get();
}
