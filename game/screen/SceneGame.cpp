#include "game/screen/SceneGame.h"

#include <algorithm>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/Panel.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundNode.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/TrophyList.h"
#include "game/rules/Game.h"
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
    flow.startLevel(false);
    flow.setState(new StateRoomInfo(this));
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->clearSavedGame();
    }
}

void SceneGame::hide() {
    savedGame.save();
    flow.clearLevel();
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
