#include "game/app/SceneElevator.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/Sound.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/scene/SceneManager.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneHallway.h"
#include "game/app/SceneRecRoom.h"
#include "game/app/SceneRoof.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/GameSound.h"
#include "game/rules/GameType.h"
#include "game/rules/RoomKind.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameScenes.h"
#include "game/visuals/GameModifiers.h"

QUOVEL_DEFINE_TYPE(SceneElevator, &SceneQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(SceneElevator)

namespace {

constexpr const char* ROOM_BUTTONS[] = {"BUTTON_LOBBY", "BUTTON_CASINO", "BUTTON_RECROOM",
                                        "BUTTON_ROOF"};
constexpr int32_t ROOM_TAGS[] = {0, SceneElevator::STOP_CASINO, SceneElevator::STOP_RECROOM,
                                 SceneElevator::STOP_ROOF};
constexpr int32_t SNAP_FRAMES = 15;
constexpr int32_t BLINK_FRAME_MS = 75;
constexpr int32_t DOOR_EDGE = 20;
constexpr int32_t STRIP_BOTTOM_MARGIN = 4;
constexpr int32_t REC_ROOM_LAYOUTS = 30;

// Referenced before the data lock is released: a raw pointer taken under the lock could be
// freed by the loader before its user took a reference.
RefHolder<Sound> elevatorSound(const std::string& key) {
    return findLoaded<Sound>(key, "elevator");
}

int32_t drawBelow(Random& random, int32_t count) {
    return count > 0 ? random.nextInt(0, count) : -1;
}

void replaceAll(std::wstring& text, const std::wstring& placeholder, const std::wstring& value) {
    for (size_t at = text.find(placeholder); at != std::wstring::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

void replaceAll(std::wstring& text, const std::wstring& placeholder, int32_t value) {
    replaceAll(text, placeholder, intToWString(value));
}

std::wstring gameTypeName(GameType gameType) {
    BasicProperties* properties = BasicProperties::instance();
    PropertyVector* headers = properties ? properties->getVector("GAMETYPE_HEADERS") : nullptr;
    if (!headers || gameType >= headers->getChildCount()) {
        return std::wstring();
    }
    return headers->getChildAt(gameType)->getText();
}

// A game type of the room whose item is unlocked, drawn as the host would; none when the room
// has none open, where drawing until one fits would never end.
std::optional<GameType> drawOpenGameType(const QuovelMahjongPlayer& player,
                                         const std::array<UnlockItem, 5>& items, Random& random) {
    const bool any = std::any_of(items.begin(), items.end(),
                                 [&](UnlockItem item) { return player.isUnlocked(item); });
    if (!any) {
        return std::nullopt;
    }
    for (;;) {
        const GameType g = ROOM_GAME_TYPES[static_cast<size_t>(random.nextInt(0, 5))];
        if (player.isUnlocked(items[g])) {
            return g;
        }
    }
}

// Whether the item just unlocked (-1 for none) is one of the room's.
template <size_t N>
bool opensOneOf(int32_t item, const std::array<UnlockItem, N>& items) {
    return std::any_of(items.begin(), items.end(),
                       [&](UnlockItem each) { return static_cast<int32_t>(each) == item; });
}

int32_t casinoPlays(QuovelMahjongStats& stats, GameType gameType) {
    int32_t plays = 0;
    for (int32_t difficulty = 0; difficulty < QuovelMahjongStats::DIFFICULTIES; ++difficulty) {
        plays += stats.casinoRecord(gameType, difficulty)->playCount;
    }
    return plays;
}

int32_t recRoomPlays(QuovelMahjongStats& stats, GameType gameType) {
    int32_t plays = 0;
    for (int32_t layout = 0; layout < REC_ROOM_LAYOUTS; ++layout) {
        plays += stats.recRoomRecordFor(gameType, layout)->playCount;
    }
    return plays;
}

// The statistic line n with its numbers filled in, or nothing when its condition fails. A count
// of one reads the line's own "_ONE" text ("1 room", not "1 rooms").
bool statisticLine(QuovelMahjongPlayer& player, int32_t n, Random& random, std::wstring& text) {
    QuovelMahjongStats& stats = player.getStats();
    const wchar_t* mark = L"%n";
    int32_t count = 0;
    std::wstring gameName;
    bool holds = false;
    switch (n) {
        case 0:
            mark = L"%m";
            count = stats.numMatches;
            holds = count >= 2;
            break;
        case 1:
            mark = L"%s";
            count = stats.numStuck;
            holds = count > 0;
            break;
        case 2:
            mark = L"%b";
            count = stats.numBonusTotal;
            holds = count >= 2;
            break;
        case 3:
            mark = L"%p";
            count = player.roomsReached();
            holds = count > 0;
            break;
        case 4:
        case 5:
            mark = L"%r";
            count = n == 4 ? stats.twoStarsCount : stats.threeStarsCount;
            holds = count > 0;
            break;
        case 8:
            mark = L"%t";
            count = stats.numGamesWon;
            holds = count > 0;
            break;
        case 6:
        case 7:
        case 9:
        case 10: {
            // 6 and 9 speak of the casino, 7 and 10 of the rec room; 6 and 7 of a game type played,
            // 9 and 10 of one never played.
            const bool casino = n == 6 || n == 9;
            const RoomKind room = casino ? RoomKind::CASINO : RoomKind::RECROOM;
            if (player.modesUnlocked[static_cast<size_t>(room)] == LOCKED) {
                return false;
            }
            const std::optional<GameType> g =
                drawOpenGameType(player, casino ? CASINO_UNLOCKS : RECROOM_UNLOCKS, random);
            if (!g) {
                return false;
            }
            count = casino ? casinoPlays(stats, *g) : recRoomPlays(stats, *g);
            gameName = gameTypeName(*g);
            holds = n <= 7 ? count > 0 : count == 0;
            break;
        }
        default:
            return false;
    }
    if (!holds) {
        return false;
    }
    text =
        getBasicText("TEXT_DORRICK_RANDOM_STAT" + std::to_string(n) + (count == 1 ? "_ONE" : ""));
    replaceAll(text, mark, count);
    replaceAll(text, L"%g", gameName);
    return true;
}

}  // namespace

SceneElevator::SceneElevator(PropertyNode* definition) : SceneQuovelMahjong(definition) {}

SceneElevator::~SceneElevator() = default;

void SceneElevator::loadResources() {
    Scene::loadResources();
    iInputListenerContainer* container = &getComponentsContainer();
    // The host's line is listed before the buttons, so every button is asked first (the newest
    // listener is asked first); a click on the line itself shows it whole.
    speechText = objectCast<TypeLabel>(findChild("TEXT"));
    container->addListener(speechText.get());
    for (int32_t j = 0; j < 4; ++j) {
        roomButtons[j] = objectCast<Button>(
            connect<&SceneElevator::onButtonClicked>(ROOM_BUTTONS[j], this, container));
        roomButtons[j]->setTag(ROOM_TAGS[j]);
    }
    // The floor buttons count only where their picture is opaque (hitmaskthreshold in the
    // definition).
    for (int32_t n = 1; n <= FLOOR_COUNT; ++n) {
        floorButtons[n - 1] = objectCast<Button>(connect<&SceneElevator::onButtonClicked>(
            "BUTTON_FLOOR_" + std::to_string(n), this, container));
        floorButtons[n - 1]->setTag(n);
    }
    floorNumbers = objectCast<Sprite>(findChild("FLOOR_NUMBERS_SPRITE"));
    floorDisplay = objectCast<Sprite>(findChild("FLOOR_DISPLAY_SPRITE"));
    floorNumbers->setClipRect(Rect{floorDisplay->getX(), floorDisplay->getY(),
                                   floorDisplay->getWidth(), floorDisplay->getHeight()});
    unlockEffect = objectCast<Sprite>(findChild("FLOOR_UNLOCK_EFFECT"));
    speechBalloon = objectCast<Sprite>(findChild("TEXT_STREEP"));
    snapSprite = objectCast<Sprite>(findChild("SNAPFINGERS_SPRITE"));
    snapSprite->setFrameCount(SNAP_FRAMES, false);
    leftDoor = objectCast<Sprite>(findChild("LDOOR_SPRITE"));
    rightDoor = objectCast<Sprite>(findChild("RDOOR_SPRITE"));
}

void SceneElevator::show() {
    SoundManager::playSceneMusic("MUSIC_ELEVATOR");
    SceneQuovelMahjong::show();
    // The hallway's pictures (a floor's every door mask and plate) are asked for when a floor
    // is chosen: the ride and the transition's wait cover their loading, and a lift on its way
    // elsewhere does not hold them.
    if (movingSound) {
        movingSound->stop(true);
    }
    movingSound = new SoundNode(elevatorSound("SOUND_ELEVATOR_MOVING").get());
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        player && player->floorReached == 0) {
        setPendingTargets(1);
        player->floorReached = 1;
    }
    floorNumbers->setY(stripY(position));
    hideSpeech();
    openDoors();
    updateButtons();
    fadeInUnlockedButtons();
}

int32_t SceneElevator::stripY(int32_t stop) const {
    const int32_t cell = floorNumbers->getHeight() / STOP_COUNT;
    return floorDisplay->getY() + floorDisplay->getHeight() - STRIP_BOTTOM_MARGIN -
           (STOP_COUNT - stop) * cell;
}

void SceneElevator::setPendingTargets(int32_t floor) {
    pendingFloors.clear();
    pendingFloors.push_back(floor);
}

bool SceneElevator::isStopOpen(const QuovelMahjongPlayer& player,
                               const std::vector<int32_t>& pendingFloors, int32_t stop) {
    if (stop >= 1 && stop <= FLOOR_COUNT) {
        return stop <= player.floorReached &&
               std::find(pendingFloors.begin(), pendingFloors.end(), stop) == pendingFloors.end();
    }
    const int32_t j = stop == 0 ? 0 : stop - FLOOR_COUNT;
    if (j < 0 || j >= QuovelMahjongPlayer::MODE_COUNT) {
        return false;
    }
    return player.modesUnlocked[j] != LOCKED && player.modesUnlocked[j] != UNLOCKED_NEW;
}

Button* SceneElevator::getStopButton(int32_t stop) const {
    if (stop >= 1 && stop <= FLOOR_COUNT) {
        return floorButtons[stop - 1].get();
    }
    for (int32_t j = 0; j < 4; ++j) {
        if (ROOM_TAGS[j] == stop) {
            return roomButtons[j].get();
        }
    }
    return nullptr;
}

void SceneElevator::updateButtons() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    for (int32_t stop = 0; stop < STOP_COUNT; ++stop) {
        Button* button = getStopButton(stop);
        button->setEnabled(player && isStopOpen(*player, pendingFloors, stop));
        button->setState(0);
    }
}

void SceneElevator::openDoors() {
    doorsMoving = true;
    updateButtons();
    GameNode::removeAllModifiers(leftDoor.get());
    GameNode::removeAllModifiers(rightDoor.get());
    GameNode::removeAllModifiers(unlockEffect.get());
    unlockEffect->setAlpha(0);
    GameWindow* window = GameWindow::getInstance();
    const int32_t screenWidth = window ? window->getWidth() : SCREEN_WIDTH;
    const int32_t delay = tuning().DOOR_ANIM_DELAY;
    leftDoor->setPosition(0, 0);
    const int32_t rightClosed = screenWidth - rightDoor->getWidth();
    rightDoor->setPosition(rightClosed, 0);
    GameNode::addModifier(rightDoor.get(),
                          new ModifierSound("SOUND_ELEVATOR_DOOR_OPEN", "elevator", false));
    GameNode::addModifier(
        leftDoor.get(),
        new ModifierLocationLine(0, 0, DOOR_EDGE - leftDoor->getWidth(), 0, delay, true));
    Modifier* slide = GameNode::addModifier(
        rightDoor.get(),
        new ModifierLocationLine(rightClosed, 0, screenWidth - DOOR_EDGE, 0, delay, true));
    slide->setFlags(slide->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(rightDoor.get(),
                          new ModifierFunction(callback<&SceneElevator::onDoorsOpened>(this)));
}

int32_t SceneElevator::onDoorsOpened(BaseObject*) {
    doorsMoving = false;
    updateButtons();
    snapFingers();
    return 0;
}

void SceneElevator::snapFingers() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const bool modeOpened =
        player && std::find(player->modesUnlocked.begin(), player->modesUnlocked.end(),
                            UNLOCKED_NEW) != player->modesUnlocked.end();
    if (pendingFloors.empty() && !modeOpened) {
        return;
    }
    GameNode* snap = snapSprite.get();
    GameNode::addModifier(snap, new ModifierFrame(1, 100));
    GameNode::addModifier(snap, new ModifierDelay(1000));
    Modifier* unlock = GameNode::addModifier(
        snap, new ModifierFunction(callback<&SceneElevator::unlockFloorButton>(this)));
    unlock->setFlags(unlock->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(snap, new ModifierDelay(600));
    Modifier* reset = GameNode::addModifier(
        snap, new ModifierFunction(callback<&SceneElevator::resetSnapFingers>(this)));
    reset->setFlags(reset->getFlags() | Modifier::FLAG_KILL_EARLIER);
}

int32_t SceneElevator::resetSnapFingers(BaseObject*) {
    snapSprite->setFrame(0);
    return 0;
}

int32_t SceneElevator::unlockFloorButton(BaseObject*) {
    playSectionSound("SOUND_BUTTON_UNLOCKED", "elevator");
    for (int32_t floor : pendingFloors) {
        if (floor < 1 || floor > FLOOR_COUNT) {
            continue;
        }
        Button* button = floorButtons[floor - 1].get();
        Sprite* glow = unlockEffect.get();
        glow->setPosition(button->getX() + button->getWidth() / 2 + 1,
                          button->getY() + button->getHeight() / 2 + 3);
        GameNode::removeAllModifiers(glow);
        Modifier* fade = GameNode::addModifier(glow, new ModifierAlpha(500, glow->getAlpha(), 190));
        fade->setFlags(fade->getFlags() | Modifier::FLAG_BLOCKING);
        GameNode::addModifier(glow, new ModifierFrame(-1, 100));
        shineButton(button, "SHINE_MASK_FLOOR", "elevator");
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        for (int32_t j = 0; j < QuovelMahjongPlayer::MODE_COUNT; ++j) {
            if (player->modesUnlocked[j] == UNLOCKED_NEW) {
                player->modesUnlocked[j] = UNLOCKED_SEEN;
                shineButton(roomButtons[j].get(), "SHINE_MASK_GAMEMODE", "elevator");
            }
        }
    }
    pendingFloors.clear();
    updateButtons();
    return 0;
}

void SceneElevator::lockedOverlay(Button* button) {
    auto* overlay = new Sprite(0, 0, button->getImage());
    // Cut as the button cuts its strip: four frames stacked, the disabled one shown.
    overlay->setFrameCount(Button::FRAME_DISABLED + 1, false);
    overlay->setFrame(Button::FRAME_DISABLED);
    GameNode::appendChild(overlay, button);
    GameNode::addModifier(overlay, new ModifierDelay(1000));
    Modifier* fade = GameNode::addModifier(overlay, new ModifierAlpha(1000, 255, 0));
    fade->setFlags(fade->getFlags() | Modifier::FLAG_REMOVE_TARGET);
}

void SceneElevator::fadeInUnlockedButtons() {
    for (int32_t floor : pendingFloors) {
        if (floor >= 1 && floor <= FLOOR_COUNT) {
            lockedOverlay(floorButtons[floor - 1].get());
        }
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        for (int32_t j = 0; j < QuovelMahjongPlayer::MODE_COUNT; ++j) {
            if (player->modesUnlocked[j] == UNLOCKED_NEW) {
                lockedOverlay(roomButtons[j].get());
            }
        }
    }
}

int32_t SceneElevator::onButtonClicked(BaseObject* sender) {
    auto* button = objectCast<Button>(sender);
    if (!button) {
        return 0;
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->clearQueue();
    }
    arrive(button->getTag());
    getComponentsContainer().setActive(false);
    return 0;
}

void SceneElevator::arrive(int32_t stop) {
    if (stop == position) {
        requestStopSections(stop);
        enterTarget(nullptr);
        return;
    }
    Sprite* strip = floorNumbers.get();
    if (!doorsMoving) {
        GameNode::addModifier(strip, new ModifierDelay(800));
        const int32_t startY = stripY(position);
        const int32_t endY = stripY(stop);
        strip->setClipRect(Rect{floorDisplay->getX(), floorDisplay->getY(),
                                floorDisplay->getWidth(), floorDisplay->getHeight()});
        travelTime = std::abs(stop - position) * 200 + tuning().DORRICK_TIP_MINIMAL_TIME_APPEAR;
        // The whole cabin jolts by up to 3 pixels across and 1 down, and is back at rest when
        // the ride's time is up.
        GameNode::addModifier(getComponents(), new ModifierShake(2, 1, travelTime, true, 25, 100));
        if (movingSound) {
            movingSound->play(false, movingSound->getVolume(), movingSound->getPan(), true);
        }
        Modifier* scroll = GameNode::addModifier(
            strip,
            new ModifierLocationLine(strip->getX(), startY, strip->getX(), endY, travelTime, true));
        scroll->setFlags(scroll->getFlags() | Modifier::FLAG_BLOCKING);
    }
    GameNode::addModifier(strip, new ModifierSound("SOUND_ELEVATOR_ARRIVED", "elevator", false));
    if (!doorsMoving) {
        GameNode::addModifier(strip, new ModifierDelay(1000));
    }
    GameNode::addModifier(strip, new ModifierFunction(callback<&SceneElevator::enterTarget>(this)));
    position = stop;
    requestStopSections(stop);
}

void SceneElevator::requestStopSections(int32_t stop) {
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        if (stop == 0) {
            resources->requestSectionLoad("lobby");
        } else if (stop <= FLOOR_COUNT) {
            resources->requestSectionLoad("hallway");
        } else {
            resources->requestSectionLoad(stop == STOP_CASINO    ? "casino"
                                          : stop == STOP_RECROOM ? "recroom"
                                                                 : "roof");
            resources->requestSectionLoad("casrecroof");
        }
    }
}

void SceneElevator::reportInterest() const {
    RefHolder<PropertyNode> event(new PropertyNode("QVCustomEvent", ""));
    event->addChild(new PropertyValue("playerInterestedinItem", unlockedItem, true));
    addSessionEvent(getStatisticsCollector(), event.get());
}

int32_t SceneElevator::enterTarget(BaseObject*) {
    if (movingSound) {
        movingSound->stop(false);
    }
    // A quit question asked on the ride holds the lift at its stop until it is answered.
    arrivalHeld = isDialogOpen(QUIT_QUESTION_KEY);
    if (arrivalHeld) {
        return 0;
    }
    const int32_t item = unlockedItem;
    const char* next = "SCENE_HALLWAY";
    switch (position) {
        case 0:
            next = "SCENE_LOBBY";
            break;
        case STOP_CASINO:
            if (opensOneOf(item, CASINO_UNLOCKS)) {
                reportInterest();
            }
            if (SceneCasino* casino = SceneCasino::instance()) {
                casino->setSelectedGameType(NO_GAME_TYPE);
            }
            next = "SCENE_CASINO";
            break;
        case STOP_RECROOM:
            if (opensOneOf(item, RECROOM_UNLOCKS)) {
                reportInterest();
            }
            if (SceneRecRoom* room = SceneRecRoom::instance()) {
                room->setSelectedGameType(NO_GAME_TYPE);
            }
            next = "SCENE_RECROOM";
            break;
        case STOP_ROOF:
            if (opensOneOf(item, ROOF_UNLOCKS)) {
                reportInterest();
            }
            if (SceneRoof* roof = SceneRoof::instance()) {
                roof->setSelectedMode(NO_GAME_TYPE);
            }
            next = "SCENE_ROOF";
            break;
        default:
            if (SceneHallway* hallway = SceneHallway::instance()) {
                hallway->setFloor(position);
            }
            break;
    }
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene(next, "TRANSITION_DEFAULT", SceneManager::QueuedSections::KEEP);
    }
    unlockedItem = -1;
    return 0;
}

void SceneElevator::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    // The held arrival comes a frame after the answer: a "yes" has ended the frame loop by then,
    // and the lift does not arrive on the way out.
    if (arrivalHeld && !isDialogOpen(QUIT_QUESTION_KEY)) {
        if (answered) {
            answered = false;
            enterTarget(nullptr);
        } else {
            answered = true;
        }
    }
    if (speechDelay < 0) {
        speechDelay = tuning().DORRICK_TIP_FIRST_DELAY;
    }
    speechClock += elapsedMs;
    if (!doorsMoving && speechClock > speechDelay && !hostSpoke) {
        hostSpeech();
        hostSpoke = true;
        speechClock = 0;
    }
    animateEyes(elapsedMs);
}

void SceneElevator::animateEyes(int32_t elapsedMs) {
    auto* eyes = objectCast<Sprite>(findChild("SCREEN_EYES_SPRITE"));
    blinkClock += elapsedMs;
    if (blinkClock > blinkInterval) {
        if (eyes) {
            GameNode::addModifier(eyes, new ModifierFrame(1, BLINK_FRAME_MS));
        }
        if (Random* random = Random::getInstance()) {
            const int32_t candidates[] = {500, 2500, 3000, 5000, blinkInterval};
            blinkInterval = candidates[random->nextInt(0, 5)];
        }
        blinkClock = 0;
        eyesVisible = true;
    } else if (blinkClock > 3 * BLINK_FRAME_MS) {
        eyesVisible = false;
    }
    if (eyes) {
        eyes->setVisible(eyesVisible);
    }
}

std::wstring SceneElevator::chooseHostLine(QuovelMahjongPlayer& player,
                                           const std::vector<int32_t>& pendingFloors,
                                           Random& random) {
    if (!pendingFloors.empty()) {
        const int32_t first = pendingFloors.front();
        if (first == 1 || first == 2 || first == 11 || first == 20) {
            return getBasicText("TEXT_DORRICK_UNLOCKED" + std::to_string(first));
        }
    }
    const TuningConstants& tune = tuning();
    for (int32_t attempt = 0; attempt < MAX_LINE_ATTEMPTS; ++attempt) {
        const int32_t r = random.nextInt(0, 100);
        if (r < tune.DORRICK_TIP_FREQUENCY) {
            // Tip 2 is about FreeCell, so it waits until the player has played it.
            const bool freeCellTip = player.getStats().hasPlayedAtLeast(TYPE_FREECELL, 3);
            int32_t k = drawBelow(random, tune.NUM_DORRICK_TIPS);
            for (int32_t redraw = 0; k == 2 && !freeCellTip && redraw < MAX_LINE_ATTEMPTS;
                 ++redraw) {
                k = drawBelow(random, tune.NUM_DORRICK_TIPS);
            }
            if (k < 0 || (k == 2 && !freeCellTip)) {
                continue;
            }
            return getBasicText("TEXT_DORRICK_RANDOM_TIP" + std::to_string(k));
        }
        if (r < 100 - tune.DORRICK_STAT_FREQUENCY - tune.DORRICK_TIP_FREQUENCY) {
            const int32_t m = drawBelow(random, tune.NUM_DORRICK_MISCELLANEOUS);
            if (m < 0) {
                continue;
            }
            return getBasicText("TEXT_DORRICK_RANDOM_" + std::to_string(m));
        }
        const int32_t n = drawBelow(random, tune.NUM_DORRICK_STATS);
        if (n < 0) {
            continue;
        }
        std::wstring text;
        if (statisticLine(player, n, random, text)) {
            return text;
        }
    }
    return std::wstring();
}

void SceneElevator::hostSpeech() {
    std::wstring text;
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (Random* random = Random::getInstance(); player && random) {
        text = chooseHostLine(*player, pendingFloors, *random);
    }
    // The balloon is folded and the line hidden before either shows, so that no frame draws
    // the new line whole over a balloon left open by an earlier line.
    const Rect closed{speechBalloon->getX(), speechBalloon->getY(), speechBalloon->getWidth(), 0};
    GameNode::removeAllModifiers(speechBalloon.get());
    speechBalloon->setClipRect(closed);
    speechText->setVisible(false);
    speechText->setText(text);
    speechBalloon->setVisible(!text.empty());
    const Rect open{speechBalloon->getX(), speechBalloon->getY(), speechBalloon->getWidth(),
                    speechBalloon->getHeight()};
    Modifier* unfold =
        GameNode::addModifier(speechBalloon.get(), new ModifierClipRect(400, closed, open));
    unfold->setFlags(unfold->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(speechBalloon.get(),
                          new ModifierFunction(callback<&SceneElevator::startTyping>(this)));
}

int32_t SceneElevator::startTyping(BaseObject*) {
    speechText->setVisible(true);
    speechText->startTyping();
    return 0;
}

void SceneElevator::hideSpeech() {
    speechText->setVisible(false);
    speechBalloon->setClipRect(Rect{speechBalloon->getX(), speechBalloon->getY(), 0, 0});
    hostSpoke = false;
}

void SceneElevator::hide() {
    SceneQuovelMahjong::hide();
    stopAnimations();
}

void SceneElevator::stopAnimations() {
    GameNode::removeAllModifiers(getComponents());
    GameNode::removeAllModifiers(speechBalloon.get());
    GameNode::removeAllModifiers(snapSprite.get());
    snapSprite->setFrame(0);
    GameNode::removeAllModifiers(floorNumbers.get());
    GameNode::removeAllModifiers(unlockEffect.get());
    unlockEffect->setAlpha(0);
    GameNode::removeAllModifiers(leftDoor.get());
    GameNode::removeAllModifiers(rightDoor.get());
    if (movingSound) {
        movingSound->stop(true);
    }
    movingSound = nullptr;
}

void SceneElevator::render(Graphics* graphics) {
    Image* image = getBackgroundImage();
    if (!image || !graphics) {
        return;
    }
    GameNode* components = getComponents();
    graphics->copyRectWhole(image, components->getX(), components->getY());
}

SceneElevator* SceneElevator::instance() {
    return objectCast<SceneElevator>(gameScenes().elevator.get());
}
