#include "game/screen/SceneGame.h"

#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundNode.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/TimeBar.h"

QUOVEL_DEFINE_TYPE(SceneGame, &SceneQuovelMahjong::typeRecord, &WindowMessageListener::typeRecord,
                   &PlayScreen::typeRecord)
QUOVEL_REGISTER_CLASS(SceneGame)

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

void SceneGame::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    flow.update(elapsedMs);
}

// The HUD and its buttons, the layers over the board and the time sound; on the first show.
void SceneGame::loadResources() {
    Scene::loadResources();
    connect<&LevelFlow::onPauseButton>("BUTTON_PAUSE", &flow, &getComponentsContainer());
    connect<&LevelFlow::onMenuButton>("BUTTON_MENU", &flow, &getComponentsContainer());
    connect<&PlayerAids::onShuffle>("BUTTON_SHUFFLE", &aids, &getComponentsContainer());
    connect<&PlayerAids::onUndo>("BUTTON_UNDO", &aids, &getComponentsContainer());
    connect<&PlayerAids::onHint>("BUTTON_HINT_NORMAL", &aids, &getComponentsContainer());
    connect<&PlayerAids::onHint>("BUTTON_HINT_UNLIMITED", &aids, &getComponentsContainer());
    hud.bind();

    appendChild(input.getHintPathLayer(), getTree());
    for (RefHolder<GameNode>* layer : {&endLayer, &widgetLayer}) {
        *layer = new GameNode();
        appendChild(layer->get(), getTree());
    }
    floaters.createLayer();

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

DisplayValue& SceneGame::getTimeValue() {
    return timeBar ? timeBar->getTime() : timeValue;
}

// --- Board input ---

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

// --- The bars ---

void SceneGame::setBarsSuspended(bool value) {
    if (timeBar) {
        timeBar->setSuspended(value);
    }
    setBonusBarSuspended(value);
}

void SceneGame::setBonusBarSuspended(bool value) {
    if (bonusBar) {
        bonusBar->setSuspended(value);
    }
}

void SceneGame::showBars(bool shown) {
    for (GameNode* bar :
         {static_cast<GameNode*>(timeBar.get()), static_cast<GameNode*>(bonusBar.get())}) {
        if (bar) {
            bar->setVisible(shown);
        }
    }
}
