#include "game/app/SceneRecRoom.h"

#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/scene/SceneManager.h"
#include "framework/scene/TransitionScene.h"
#include "game/app/GlowColumn.h"
#include "game/dialogs/DialogDorrickHint.h"
#include "game/dialogs/DialogLayoutPreview.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/LevelCatalog.h"

QUOVEL_DEFINE_TYPE(SceneRecRoom, &SceneQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(SceneRecRoom)

namespace {

constexpr const char* SWITCH_NAMES[SceneRecRoom::GAME_TYPES] = {
    "SWITCH_CLASSIC", "SWITCH_FREECELL", "SWITCH_SPLIT", "SWITCH_TRIPLE", "SWITCH_RIVER"};

RefHolder<Image> roomImage(const char* key, const char* section) {
    return findLoaded<Image>(key, section);
}

// The current scene, or the scene a running transition leads to.
Scene* activeScene() {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (auto* transition = objectCast<TransitionScene>(scene)) {
        scene = transition->getTargetScene();
    }
    return scene;
}

void openOnActiveScene(const char* key) {
    if (Scene* scene = activeScene()) {
        if (Dialog* dialog = scene->getDialog(key)) {
            scene->openDialog(dialog);
        }
    }
}

}  // namespace

SceneRecRoom::SceneRecRoom(PropertyNode* definition) : SceneQuovelMahjong(definition) {}

SceneRecRoom::~SceneRecRoom() = default;

SceneRecRoom* SceneRecRoom::instance() {
    SceneManager* manager = SceneManager::getInstance();
    return manager ? objectCast<SceneRecRoom>(manager->getScene("SCENE_RECROOM")) : nullptr;
}

Sprite* SceneRecRoom::sprite(const char* name) {
    return objectCast<Sprite>(findChild(name));
}

Switch* SceneRecRoom::getGameTypeSwitch(GameType gameType) const {
    return gameType >= 0 && gameType < GAME_TYPES
               ? gameTypeSwitches[static_cast<size_t>(gameType)].get()
               : nullptr;
}

void SceneRecRoom::loadResources() {
    Scene::loadResources();
    iInputListenerContainer* container = &getComponentsContainer();
    menuButton = objectCast<Button>(connect<&SceneRecRoom::onMenu>("BUTTON_MENU", this, container));
    elevatorButton = objectCast<Button>(
        connect("BUTTON_ELEVATOR", callback<&SceneQuovelMahjong::goToElevator>(), container));
    connect<&SceneRecRoom::onCustomize>("BUTTON_CUSTOMIZE", this, container);
    connect<&SceneRecRoom::onTrophies>("BUTTON_TROPHIES", this, container);
    // A switch is not bound by connect: it is wired by hand.
    for (int32_t g = 0; g < GAME_TYPES; ++g) {
        auto* widget = objectCast<Switch>(findChild(SWITCH_NAMES[g]));
        gameTypeSwitches[static_cast<size_t>(g)] = widget;
        if (widget) {
            widget->setCallback(callback<&SceneRecRoom::onGameTypeSwitch>(this));
            container->addListener(widget);
        }
    }
    hostPicture = sprite("MR_D");
    for (GameType g : ROOM_GAME_TYPES) {
        if (Switch* widget = getGameTypeSwitch(g)) {
            widget->setTag(g);
        }
    }
    glowButton = sprite("GLOW_BUTTON");
    glowDialog = sprite("GLOW_DIALOG");
    glowMiddle = sprite("GLOW_MIDDLE");
    setShownIfAny(glowButton.get(), false);
    setShownIfAny(glowDialog.get(), false);
    setShownIfAny(glowMiddle.get(), false);
}

void SceneRecRoom::show() {
    SceneQuovelMahjong::show();  // saves the player list first
    playBuildingMusic();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    RefHolder<PropertyNode> event(new PropertyNode("QVCustomEvent", ""));
    event->addChild(new PropertyValue(
        "playerName", stringToWString(player ? player->getName() : std::string()), true));
    event->addChild(new PropertyValue("floorNumber", std::wstring(L"22"), true));
    addSessionEvent(getStatisticsCollector(), event.get());

    showGameTypePanel();

    Trophy* trophy = player ? player->getTrophies().getTrophy(ROOM_TROPHY) : nullptr;
    if (trophy && trophy->state == Trophy::NOT_EARNED && everyTypeWon(*player)) {
        trophy->state = Trophy::EARNED;
        // The shine waits for the cabinet; without one it runs at once.
        if (!DialogTrophy::showIfNew(callback<&SceneRecRoom::onTrophyDialogClosed>())) {
            animateShine();
        }
    } else {
        animateShine();
    }

    if (player && player->showHints && player->hints[HOST_HINT]) {
        if (auto* hint = objectCast<DialogDorrickHint>(getDialog("DIALOG_DORRICK_HINT"))) {
            hint->showHint(HOST_HINT);
            openDialog(hint);
        }
    } else {
        askContinueSavedGame(SAVED_GAME_NUMBER, this);
    }
    if (player) {
        player->hints[HOST_HINT] = false;
    }
}

void SceneRecRoom::hide() {
    SceneQuovelMahjong::hide();
    if (layoutPreview) {
        closeDialog(layoutPreview);
        layoutPreview = nullptr;
    }
    for (Sprite* glow : {sprite("GLOW_TOP_NORMAL"), sprite("GLOW_BOTTOM_NORMAL"), glowMiddle.get(),
                         glowButton.get(), glowDialog.get()}) {
        setShownIfAny(glow, false);
    }
    for (RefHolder<Switch>& widget : gameTypeSwitches) {
        if (widget) {
            widget->setOn(false);
        }
    }
}

void SceneRecRoom::showGameTypePanel() {
    RefHolder<Image> background = roomImage("BACKGROUND", "recroom");
    if (selectedGameType == NO_GAME_TYPE) {
        setBackgroundImage(background.get());
        setShownIfAny(hostPicture.get(), true);
        return;
    }
    setShownIfAny(hostPicture.get(), false);
    // Coming back from a game finds the switches turned off by hide: the chosen one is lit again.
    if (Switch* chosen = getGameTypeSwitch(selectedGameType)) {
        chosen->setOn(true);
    }
    layoutLevels.clear();
    LevelCatalog::instance()->levelsOfRoom(layoutLevels, selectedGameType);
    if (!layoutPreview) {
        layoutPreview = objectCast<DialogLayoutPreview>(getDialog("DIALOG_LAYOUTPREVIEW"));
        if (layoutPreview) {
            openDialog(layoutPreview);
        }
    }
    if (layoutPreview) {
        if (Label* header = layoutPreview->getHeader()) {
            header->setText(getBasicText("TEXT_GAMETYPE" + std::to_string(selectedGameType + 1)));
        }
        layoutPreview->setGameType(selectedGameType);
        layoutPreview->setLayouts(layoutLevels);
        layoutPreview->setPageStart(0);
        layoutPreview->showPage(0);
        layoutPreview->updatePageButtons();
    }
    drawGlow(background.get());
}

void SceneRecRoom::drawGlow(Image* background) {
    const GlowColumn glow{sprite("GLOW_TOP_NORMAL"), sprite("GLOW_BOTTOM_NORMAL"), glowMiddle.get(),
                          glowButton.get(), glowDialog.get()};
    RefHolder<Image> drawn = glow.draw(background, getGameTypeSwitch(selectedGameType), 0, -1,
                                       roomImage("GLOW_FILL", "recroom").get());
    if (drawn) {
        setBackgroundImage(drawn.get());
    }
}

void SceneRecRoom::updateGameTypeSwitches() {
    const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    for (GameType g : ROOM_GAME_TYPES) {
        if (Switch* widget = getGameTypeSwitch(g)) {
            widget->setEnabled(player && player->isUnlocked(RECROOM_UNLOCKS[g]));
        }
    }
}

void SceneRecRoom::animateShine() {
    updateGameTypeSwitches();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        return;
    }
    for (GameType g : ROOM_GAME_TYPES) {
        int32_t& item = player->unlockState(RECROOM_UNLOCKS[g]);
        Switch* widget = getGameTypeSwitch(g);
        if (item != UNLOCKED_NEW || !widget) {
            continue;
        }
        item = UNLOCKED_SEEN;
        SceneQuovelMahjong::shineButton(widget, "SHINE_MASK_GAMEMODE", "recroom");
    }
}

bool SceneRecRoom::everyTypeWon(QuovelMahjongPlayer& player) {
    LevelCatalog* catalog = LevelCatalog::instance();
    for (GameType g : ROOM_GAME_TYPES) {
        std::vector<RefHolder<Level>> levels;
        catalog->levelsOfRoom(levels, g);
        bool won = false;
        for (const RefHolder<Level>& level : levels) {
            const RecRoomRecord* record = player.getStats().recRoomRecordFor(g, level->getIndex());
            if (record && record->levelWinCount >= 1) {
                won = true;
                break;
            }
        }
        if (!won) {
            return false;
        }
    }
    return true;
}

int32_t SceneRecRoom::onMenu(BaseObject*) {
    if (Dialog* menu = getDialog("DIALOG_ROOM_MENU")) {
        openDialog(menu);
    }
    return 0;
}

int32_t SceneRecRoom::onCustomize(BaseObject*) {
    openOnActiveScene("DIALOG_SELECT_BACKGROUND");
    return 0;
}

int32_t SceneRecRoom::onTrophies(BaseObject*) {
    openOnActiveScene("DIALOG_TROPHY");
    return 0;
}

int32_t SceneRecRoom::onGameTypeSwitch(BaseObject* sender) {
    auto* widget = objectCast<Switch>(sender);
    if (!widget) {
        return 0;
    }
    selectedGameType = static_cast<GameType>(widget->getTag());
    showGameTypePanel();
    return 0;
}

int32_t SceneRecRoom::onTrophyDialogClosed(BaseObject*) {
    // Found by name: a dialog may hand itself to its after-close callback as the target.
    if (SceneRecRoom* scene = instance()) {
        scene->animateShine();
    }
    return 0;
}
