#include "game/app/SceneLobby.h"

#include <array>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/Random.h"
#include "framework/core/ScreenSize.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/iText.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundStream.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/platform/Task.h"
#include "framework/scene/FullScreenHandler.h"
#include "framework/scene/SceneManager.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/SceneElevator.h"
#include "game/dialogs/DialogDorrickHint.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(SceneLobby, &SceneQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(SceneLobby)

namespace {

constexpr int32_t SLIDE_MS = 500;
constexpr int32_t DOOR_MOVE_MS = 100;
constexpr int32_t EYES_FRAME_MS = 75;
constexpr int32_t EYES_SHOWN_MS = 3 * EYES_FRAME_MS;
constexpr int32_t SHINE_MOVE_MS = 1200;
constexpr int32_t SHINE_ALPHA = 180;
constexpr std::array<int32_t, 4> EYES_INTERVALS{500, 2500, 3000, 5000};
constexpr std::array<int32_t, 4> SHINE_INTERVALS{2000, 8000, 10000, 12500};

// The blinking eyes and the shine run on shared clocks, not per scene.
struct EyesClock {
    int32_t timer = 0;
    int32_t interval = 3000;
    bool visible = false;
};
struct ShineClock {
    int32_t timer = 0;
    int32_t interval = 0;
};
EyesClock eyesClock;
ShineClock shineClock;

int32_t drawInterval(const std::array<int32_t, 4>& intervals) {
    Random* random = Random::getInstance();
    const int32_t pick = random ? random->nextInt(0, 4) : 0;
    return intervals[static_cast<size_t>(pick)];
}

}  // namespace

SceneLobby::SceneLobby(PropertyNode* definition) : SceneQuovelMahjong(definition) {}

SceneLobby::~SceneLobby() = default;

SceneLobby* SceneLobby::get() {
    SceneManager* manager = SceneManager::getInstance();
    return manager ? objectCast<SceneLobby>(manager->getScene("SCENE_LOBBY")) : nullptr;
}

void SceneLobby::loadResources() {
    SceneManager* manager = SceneManager::getInstance();
    if (manager && !manager->getToolTip()) {
        RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(
            GuiDefinitions::instance()->findTemplate("DEFAULT_TOOLTIP")));
        if (auto* tip = objectCast<Task>(made.get())) {
            manager->setToolTip(tip);
        }
    }
    SceneQuovelMahjong::loadResources();
    doorLeft = objectCast<Sprite>(findChild("DOOR_LEFT"));
    doorRight = objectCast<Sprite>(findChild("DOOR_RIGHT"));
    doorLeftX = doorLeft ? doorLeft->getX() : 0;
    doorRightX = doorRight ? doorRight->getX() : 0;
    buttonHelp = findChild("BUTTON_HELP");
    buttonSettings = findChild("BUTTON_SETTINGS");
    buttonTrophies = findChild("BUTTON_TROPHIES");
    buttonQuit = findChild("BUTTON_QUIT");
    doorMiddle = findChild("DOOR_MIDDLE");
    foreground = findChild("FOREGROUND");
    eyes = findChild("EYES");
    iInputListenerContainer* container = &getComponentsContainer();
    connect<&SceneLobby::onElevator>("BUTTON_ELEVATOR", this, container);
    // The lit call button beside the doors calls the lift as the doors do.
    connect<&SceneLobby::onElevator>("BUTTON_CALL", this, container);
    connect<&SceneLobby::onChangeName>("BUTTON_CHANGENAME", this, container);
    connect<&SceneLobby::onHelp>("BUTTON_HELP", this, container);
    connect<&SceneLobby::onSettings>("BUTTON_SETTINGS", this, container);
    connect<&SceneLobby::onTrophies>("BUTTON_TROPHIES", this, container);
    connect<&SceneLobby::onQuit>("BUTTON_QUIT", this, container);
    if (StatisticsCollector* collector = getStatisticsCollector()) {
        PlayerManager* players = PlayerManager::getInstance();
        collector->startPlayingSession(
            0, players ? static_cast<int32_t>(players->getPlayers().size()) : 0);
    }
}

void SceneLobby::show() {
    if (SceneElevator* elevator = SceneElevator::instance()) {
        elevator->setStop(0);
    }
    if (doorLeft && doorRight && doorsOpen) {
        const int32_t opening = tuning().ELEVATOR_OPENING_SIZE;
        doorLeft->setX(doorLeft->getX() + opening);
        doorRight->setX(doorRight->getX() - opening);
        doorsOpen = false;
    }
    SceneQuovelMahjong::show();
    if (FullScreenHandler* handler = FullScreenHandler::getInstance()) {
        handler->setEnabled(true);
        handler->attachToScene(this);
        GameWindow* window = GameWindow::getInstance();
        handler->setFrameInputActive(window && window->isFullScreen());
    }
    if (!firstShow) {
        // "preloading" stays: it holds the fonts and dialog widgets of every scene.
        playBuildingMusic();
    } else {
        if (SceneManager* manager = SceneManager::getInstance()) {
            if (Scene* load = manager->getScene("SCENE_LOAD")) {
                load->setRemoved(true);
            }
        }
        slideButtonsIn();
    }
    PlayerManager* players = PlayerManager::getInstance();
    if (!players || players->getPlayers().empty()) {
        openDialogByName("DIALOG_NEWPLAYER");
    }
    updateWelcome();
    firstShow = false;
}

void SceneLobby::slideButtonsIn() {
    int32_t delay = 0;
    for (GameNode* button :
         {buttonSettings.get(), buttonHelp.get(), buttonTrophies.get(), buttonQuit.get()}) {
        if (!button) {
            delay += 100;
            continue;
        }
        const int32_t x = button->getX();
        const int32_t y = button->getY();
        button->setY(SCREEN_HEIGHT);
        auto* move = new ModifierLocationLine(x, SCREEN_HEIGHT, x, y, SLIDE_MS, true);
        move->setTarget(button);
        if (delay == 0) {
            ModifierContainer::addModifier(getAnimTree(), move);
        } else {
            auto* wait = new ModifierDelay(delay);
            ModifierContainer::addModifier(getAnimTree(), wait);
            ModifierContainer::addModifier(wait, move);
        }
        delay += 100;
    }
}

void SceneLobby::updateWelcome() {
    std::wstring name;
    PlayerManager* players = PlayerManager::getInstance();
    const bool anyPlayer = players && !players->getPlayers().empty();
    QuovelMahjongPlayer* player = anyPlayer ? QuovelMahjongPlayer::current() : nullptr;
    if (anyPlayer) {
        if (players->getCurrentPlayer()) {
            name = stringToWString(players->getCurrentPlayer()->getName());
        }
        if (SceneElevator* elevator = SceneElevator::instance()) {
            elevator->resetTravel();
        }
    }
    if (GameNode* label = findChild("LABEL_PLAYERNAME")) {
        if (iText* text = interfaceCast<iText>(label)) {
            // Before anyone has a name the sign greets without a dangling comma.
            text->setText(name.empty() ? getBasicText("TEXT_WELCOME_NOBODY")
                                       : getBasicText("TEXT_WELCOME_QUOVEL") + L" " + name);
        }
    }
    if (player) {
        if (player->showHints && player->hints[0]) {
            if (auto* hint = objectCast<DialogDorrickHint>(getDialog("DIALOG_DORRICK_HINT"))) {
                hint->showHint(0);
                openDialog(hint);
            }
        }
        player->hints[0] = false;
    }
}

void SceneLobby::openDialogByName(const char* name) {
    if (Dialog* dialog = getDialog(name)) {
        openDialog(dialog);
    }
}

bool SceneLobby::isOverDoors() const {
    // Tested against the doors' closed places: the opening doors must not slide out from under
    // a pointer that stays put.
    const int32_t x = InputHandler::getMouseX();
    const int32_t y = InputHandler::getMouseY();
    auto over = [x, y](const Sprite* door, int32_t closedX) {
        const int32_t left = closedX - door->getX() + door->getLeft();
        return x >= left && x < left + door->getWidth() && y >= door->getTop() &&
               y < door->getTop() + door->getHeight();
    };
    return over(doorLeft.get(), doorLeftX) || over(doorRight.get(), doorRightX);
}

void SceneLobby::updateDoors() {
    if (!doorLeft || !doorRight) {
        return;
    }
    if (isOverDoors() && getOpenDialogs().empty()) {
        if (doorsOpening) {
            return;
        }
        doorsOpening = true;
        GameNode::removeAllModifiers(doorLeft.get());
        GameNode::removeAllModifiers(doorRight.get());
        const int32_t opening = tuning().ELEVATOR_OPENING_SIZE;
        GameNode::addModifier(doorLeft.get(), new ModifierLocationLine(
                                                  doorLeftX, doorLeft->getY(), doorLeftX - opening,
                                                  doorLeft->getY(), DOOR_MOVE_MS, false));
        auto* rightMove =
            new ModifierLocationLine(doorRightX, doorRight->getY(), doorRightX + opening,
                                     doorRight->getY(), DOOR_MOVE_MS, false);
        rightMove->setFlags(Modifier::FLAG_BLOCKING);
        GameNode::addModifier(doorRight.get(), rightMove);
        GameNode::addModifier(doorRight.get(),
                              new ModifierFunction(callback<&SceneLobby::markDoorsOpen>(this)));
        return;
    }
    GameNode::removeAllModifiers(doorLeft.get());
    GameNode::removeAllModifiers(doorRight.get());
    doorLeft->setX(doorLeftX);
    doorRight->setX(doorRightX);
    if (doorMiddle) {
        doorMiddle->setVisible(false);
    }
    doorsOpening = false;
    doorsOpen = false;
}

int32_t SceneLobby::markDoorsOpen(BaseObject*) {
    doorsOpen = true;
    return 0;
}

void SceneLobby::updateEyes(int32_t elapsedMs) {
    eyesClock.timer += elapsedMs;
    if (eyesClock.timer > eyesClock.interval) {
        if (eyes) {
            GameNode::addModifier(eyes.get(), new ModifierFrame(1, EYES_FRAME_MS));
        }
        eyesClock.interval = drawInterval(EYES_INTERVALS);
        eyesClock.timer = 0;
        eyesClock.visible = true;
    } else if (eyesClock.timer > EYES_SHOWN_MS) {
        eyesClock.visible = false;
    }
    if (eyes) {
        eyes->setVisible(eyesClock.visible);
    }
}

void SceneLobby::updateShine(int32_t elapsedMs) {
    shineClock.timer += elapsedMs;
    if (shineClock.timer <= shineClock.interval) {
        return;
    }
    shineClock.timer = 0;
    shineClock.interval = drawInterval(SHINE_INTERVALS);
    if (!doorLeft || !doorRight || !doorMiddle) {
        return;
    }
    RefHolder<Image> image = findLoaded<Image>("ELEVATOR_SHINE", "lobby");
    if (!image) {
        return;
    }
    auto* shine = new AdditiveSprite(0, 0, image.get());
    shine->setAlpha(SHINE_ALPHA);
    shine->setAnchor(Sprite::ANCHOR_TOP_RIGHT);
    const int32_t x = doorLeft->getX();
    const int32_t y = doorLeft->getY();
    auto* move = new ModifierLocationLine(x, y + doorLeft->getHeight(),
                                          x + 2 * doorLeft->getWidth() + shine->getWidth(),
                                          y - shine->getHeight(), SHINE_MOVE_MS, false);
    move->setFlags(Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(shine, move);
    shine->setClipRect(Rect{x, y, doorRight->getX() + doorRight->getWidth() - x,
                            doorRight->getY() + doorRight->getHeight() - y});
    GameNode::insertBefore(shine, doorMiddle.get());
}

void SceneLobby::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    updateDoors();
    updateEyes(elapsedMs);
    if (!doorsOpen && getOpenDialogs().empty()) {
        updateShine(elapsedMs);
    }
}

int32_t SceneLobby::onElevator(BaseObject*) {
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_ELEVATOR", "TRANSITION_ELEVATOR");
    }
    return 0;
}

int32_t SceneLobby::onChangeName(BaseObject*) {
    openDialogByName("DIALOG_PLAYERSELECT");
    return 0;
}

int32_t SceneLobby::onHelp(BaseObject*) {
    openDialogByName("DIALOG_HELP");
    return 0;
}

int32_t SceneLobby::onSettings(BaseObject*) {
    openDialogByName("DIALOG_SETTINGS");
    return 0;
}

int32_t SceneLobby::onTrophies(BaseObject*) {
    openDialogByName("DIALOG_TROPHY");
    return 0;
}

int32_t SceneLobby::onQuit(BaseObject*) {
    QuovelMahjongMain::askQuit();
    return 0;
}
