#include "game/app/SceneHallway.h"

#include <cctype>
#include <charconv>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/ScreenSize.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/iText.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/scene/SceneManager.h"
#include "framework/scene/TransitionScene.h"
#include "game/dialogs/DialogDorrickHint.h"
#include "game/dialogs/DialogRoomPreview.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/Game.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TrophyId.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/Effects.h"
#include "game/visuals/ImageEffects.h"

QUOVEL_DEFINE_TYPE(SceneHallway, &SceneQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(SceneHallway)

namespace {

constexpr int32_t GAME_TYPES_WITH_HUE = 5;
constexpr int32_t MEDAL_FALL_MS = 500;
constexpr float MEDAL_FALL_SCALE = 10.0f;
constexpr int32_t FLASH_STAR_ALPHA = 160;
constexpr int32_t FLASH_STAR_GAP_MS = 200;
constexpr int32_t FLASH_STAR_SHOWN_MS = 80;
constexpr int32_t FLASH_STAR_FADE_MS = 100;
constexpr int32_t AFTER_STARS_MS = 500;
constexpr int32_t MUSIC_FADE_MS = 600;
constexpr int32_t SMALL_STAR_GAP_MS = 40;
constexpr TrophyId HELD_TROPHIES_ON_ARRIVAL[] = {TrophyId::ALL_SILVER, TrophyId::ALL_GOLD};

// Referenced before the data lock is released: a raw pointer taken under the lock could be
// freed by the loader before its user took a reference.
RefHolder<Image> hallwayResource(const std::string& key) {
    return findLoaded<Image>(key, "hallway");
}

std::string numbered(const char* key, int32_t a, int32_t b) {
    return key + std::to_string(a) + std::to_string(b);
}

// A hue written in the file, read the same in every locale; 0 when it starts with no number.
float parseHue(const std::string& text) {
    size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) {
        ++start;
    }
    if (start < text.size() && text[start] == '+') {
        ++start;
    }
    float value = 0.0f;
    const auto [end, error] =
        std::from_chars(text.data() + start, text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0.0f;
}

PropertyNode* childNode(PropertyVector* definition, int32_t index) {
    return nodeOrDummy(definition->getChildAt(index));
}

int32_t intOf(PropertyNode* node, const char* key) {
    return node->getChildValue(key)->getInt();
}

// Links a modifier on `target` below `parent` in an animation tree.
Modifier* attachTo(Modifier* parent, GameNode* target, Modifier* modifier) {
    modifier->setTarget(target);
    return ModifierContainer::addModifier(parent, modifier);
}

// The scene a dialog button opens on: the current one, or a running transition's target.
Scene* dialogHost() {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (auto* transition = objectCast<TransitionScene>(scene)) {
        return transition->getTargetScene();
    }
    return scene;
}

void openByName(Scene* scene, const char* name) {
    if (!scene) {
        return;
    }
    if (Dialog* dialog = scene->getDialog(name)) {
        scene->openDialog(dialog);
    }
}

void hideAndStill(GameNode* node) {
    if (node) {
        node->setVisible(false);
        GameNode::removeAllModifiers(node);
    }
}

}  // namespace

SceneHallway::SceneHallway(PropertyNode* definition) : SceneQuovelMahjong(definition) {}

SceneHallway::~SceneHallway() {
    killClearSequence();
}

SceneHallway* SceneHallway::instance() {
    SceneManager* manager = SceneManager::getInstance();
    return manager ? objectCast<SceneHallway>(manager->getScene("SCENE_HALLWAY")) : nullptr;
}

int32_t SceneHallway::medalCode(int32_t winCount, int32_t bestScore, int32_t silver, int32_t gold) {
    if (winCount <= 0) {
        return -1;
    }
    if (bestScore >= gold) {
        return 2;
    }
    return bestScore >= silver ? 1 : 0;
}

void SceneHallway::loadResources() {
    Scene::loadResources();
    roomPreview = getDialog("DIALOG_ROOM_PREVIEW");
    iInputListenerContainer* container = &getComponentsContainer();
    menuButton =
        objectCast<Button>(connect<&SceneHallway::openRoomMenu>("BUTTON_MENU", this, container));
    elevatorButton = objectCast<Button>(
        connect("BUTTON_ELEVATOR", callback<&SceneQuovelMahjong::goToElevator>(), container));
    medals = findChild("MEDALS");
    floorEndDialog = findChild("FLOORENDDIALOG");
    plant = objectCast<Sprite>(findChild("PLANT"));
    okButton =
        objectCast<Button>(connect<&SceneHallway::onFloorEndClosed>("BUTTON_OK", this, container));
    floorCompletedLabel = findChild("FLOOR_COMPLETED");
    unlockedLabel = findChild("UNLOCKED");
    goodieLabel = findChild("GOODIE");
    wellDoneLabel = findChild("WELL_DONE");
    customizeButton = objectCast<Button>(
        connect<&SceneHallway::openCustomize>("BUTTON_CUSTOMIZE", this, container));
    trophiesButton = objectCast<Button>(
        connect<&SceneHallway::openTrophies>("BUTTON_TROPHIES", this, container));
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        const std::string number = std::to_string(d);
        doors[d - 1] = objectCast<Button>(
            connect<&SceneHallway::enterRoom>("BUTTON_DOOR" + number, this, container));
        doorKnobs[d - 1] = objectCast<Button>(
            connect<&SceneHallway::enterRoom>("DOORKNOB" + number, this, container));
        roomNumbers[d - 1] = objectCast<Sprite>(findChild("ROOM_NUMBER" + number));
        for (GameNode* node : {static_cast<GameNode*>(doors[d - 1].get()),
                               static_cast<GameNode*>(doorKnobs[d - 1].get())}) {
            if (node) {
                node->setTag(d);
            }
        }
    }
    // The dialog stands centred on (400, 300): the layer's own coordinates are the screen's.
    floorEndLayer = new GameNode();
    floorEndLayer->setPosition(-400, -300);
    if (floorEndDialog) {
        GameNode::appendChild(floorEndLayer.get(), floorEndDialog.get());
    }
}

DialogRoomPreview* SceneHallway::getRoomPreview() const {
    return objectCast<DialogRoomPreview>(roomPreview.get());
}

Sprite* SceneHallway::getMedal(int32_t door) const {
    return objectCast<Sprite>(
        const_cast<SceneHallway*>(this)->findChild("MEDAL" + std::to_string(door)));
}

void SceneHallway::show() {
    SceneQuovelMahjong::show();
    resetFloorEnd();
    if (PropertyNode* event = Game::addCustomEvent()) {
        event->addChild(new PropertyValue("floorNumber", floor, true));
    }
    if (roomPreview) {
        openDialog(roomPreview.get());
        if (DialogRoomPreview* preview = getRoomPreview()) {
            preview->resetClosed();
        }
    }
    loadFloor();
    applyHueMask();
    showDoorMedals();
}

void SceneHallway::hide() {
    if (Dialog* trophies = findDialog("DIALOG_TROPHY")) {
        RefHolder<Dialog> keep(trophies);
        closeDialog(trophies);
        dropDialog("DIALOG_TROPHY");
    }
    SceneQuovelMahjong::hide();
    if (roomPreview) {
        closeDialog(roomPreview.get());
    }
    inputEnabled = false;
}

void SceneHallway::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    if (!hoveredDoor && inputEnabled) {
        if (previewCountdown > 0) {
            previewCountdown -= elapsedMs;
            if (previewCountdown <= 0) {
                if (DialogRoomPreview* preview = getRoomPreview()) {
                    preview->close();
                }
            }
        }
    } else {
        previewCountdown = PREVIEW_LINGER_MS;
    }
}

bool SceneHallway::onMouseMove(int32_t x, int32_t y, int32_t buttons) {
    Dialog::onMouseMove(x, y, buttons);
    if (!inputEnabled) {
        hoveredDoor = nullptr;
        return false;
    }
    Button* hit = nullptr;
    for (const RefHolder<Button>& door : doors) {
        if (door && x >= door->getX() && y >= door->getY() && x < door->getX() + door->getWidth() &&
            y < door->getY() + door->getHeight()) {
            hit = door.get();
            break;
        }
    }
    if (!hit) {
        hoveredDoor = nullptr;
        return false;
    }
    if (hit == hoveredDoor) {
        return false;
    }
    const int32_t d = hit->getTag();
    DialogRoomPreview* preview = getRoomPreview();
    if (preview && d >= 1 && d <= DOOR_COUNT) {
        RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, d);
        if (level) {
            preview->setGameType(level.get());
        }
        const Point& offset = previewOffsets[d - 1];
        preview->setPosition(static_cast<int32_t>(preview->getAnchor().x) + offset.x,
                             static_cast<int32_t>(preview->getAnchor().y) + offset.y);
        preview->open();
    }
    hoveredDoor = hit;
    return false;
}

int32_t SceneHallway::enterRoom(BaseObject* sender) {
    auto* node = objectCast<GameNode>(sender);
    const int32_t d = node ? node->getTag() : 0;
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player || d < 1 || d > DOOR_COUNT || floor < 1 || floor > QuovelMahjongStats::FLOORS) {
        return 0;
    }
    // A room whose level or layout could not be read is told and not entered: nothing of it
    // is recorded.
    RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, d);
    if (level) {
        level->setGameMode(RoomKind::FLOORS);
    }
    if (!Game::createForLevel(level ? level->getGameType() : Game::TYPE_CLASSIC, level.get())) {
        return 0;
    }
    int32_t& firstDoor = player->getStats().firstDoorClicked[floor - 1];
    if (firstDoor == -1) {
        RefHolder<PropertyNode> event(new PropertyNode("QVCustomEvent", ""));
        event->addChild(new PropertyValue("playerName", stringToWString(player->getName()), true));
        event->addChild(new PropertyValue("currentFloor", floor, true));
        event->addChild(new PropertyValue("firstDoor", d, true));
        addSessionEvent(getStatisticsCollector(), event.get());
        firstDoor = d;
    }
    chosenDoor = d;
    const RoomRecord* record = player->getStats().roomRecord(floor, d);
    medalBefore = record ? medalCode(record->levelWinCount, record->bestScore, level->getSilver(),
                                     level->getGold())
                         : -1;
    player->clearSavedGame();
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_GAME", "TRANSITION_DEFAULT");
    }
    return 0;
}

int32_t SceneHallway::openRoomMenu(BaseObject*) {
    openByName(this, "DIALOG_ROOM_MENU");
    return 0;
}

int32_t SceneHallway::openCustomize(BaseObject*) {
    openByName(dialogHost(), "DIALOG_SELECT_BACKGROUND");
    return 0;
}

int32_t SceneHallway::openTrophies(BaseObject*) {
    openByName(dialogHost(), "DIALOG_TROPHY");
    return 0;
}

void SceneHallway::setInputWidgets(bool enabled) {
    for (Button* button :
         {menuButton.get(), elevatorButton.get(), customizeButton.get(), trophiesButton.get()}) {
        if (button) {
            button->setEnabled(enabled);
            if (enabled) {
                button->setVisible(true);
            }
        }
    }
    for (int32_t d = 0; d < DOOR_COUNT; ++d) {
        for (Button* button : {doors[d].get(), doorKnobs[d].get()}) {
            if (button) {
                button->setEnabled(enabled);
            }
        }
    }
}

void SceneHallway::disableInput() {
    setInputWidgets(false);
    if (DialogRoomPreview* preview = getRoomPreview()) {
        preview->close();
    }
    inputEnabled = false;
}

void SceneHallway::enableInput() {
    setInputWidgets(true);
    inputEnabled = true;
}

void SceneHallway::resetDoorChoice() {
    enableInput();
    hoveredDoor = nullptr;
    hintSelector = 0;
    medalBefore = -1;
    chosenDoor = -1;
}

void SceneHallway::killClearSequence() {
    if (clearSequence) {
        clearSequence->setRemoved(true);
        clearSequence = nullptr;
    }
}

void SceneHallway::resetFloorEnd() {
    GameNode::removeAllModifiers(this);
    killClearSequence();
    if (okButton) {
        okButton->setEnabled(false);
    }
    for (GameNode* node :
         {static_cast<GameNode*>(okButton.get()), floorCompletedLabel.get(), unlockedLabel.get(),
          goodieLabel.get(), wellDoneLabel.get(), floorEndDialog.get()}) {
        hideAndStill(node);
    }
    if (floorEndLayer) {
        GameNode::releaseChildren(floorEndLayer.get());
    }
}

int32_t SceneHallway::finishArrival(BaseObject*) {
    if (GameNode* components = getComponents()) {
        components->setSuspended(false);
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        const int32_t selector = hintSelector;
        int32_t hint = 0;
        if (selector >= 2 && selector <= 4) {
            hint = player->showHints && player->hints[static_cast<size_t>(selector)] ? selector : 0;
        } else if (player->showHints && player->hints[1]) {
            hint = 1;
        }
        if (hint > 0) {
            if (auto* dialog = objectCast<DialogDorrickHint>(getDialog("DIALOG_DORRICK_HINT"))) {
                dialog->showHint(hint);
                openDialog(dialog);
            }
            if (hint > 1) {
                player->hints[static_cast<size_t>(hint)] = false;
            }
        }
        player->hints[1] = false;
    }
    resetDoorChoice();
    return 0;
}

void SceneHallway::loadFloor() {
    RefHolder<PropertyStore> store(new PropertyStore());
    store->addFile(HALLWAY_FILE);
    store->load();
    PropertyVector* hueList = vectorOrDummy(store->getChild("hues"));
    for (int32_t g = 0; g < GAME_TYPES_WITH_HUE; ++g) {
        AbstractProperty* entry = hueList->getChildAt(g);
        hues[static_cast<size_t>(g)] = entry ? parseHue(entry->getValue()) : 0.0f;
    }
    AbstractProperty* floorEntry = vectorOrDummy(store->getChild("floors"))->getChildAt(floor - 1);
    definitionIndex = floorEntry ? floorEntry->getInt() : 0;
    PropertyVector* definition =
        vectorOrDummy(vectorOrDummy(store->getChild("definitions"))->getChildAt(definitionIndex));
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        PropertyNode* door = childNode(definition, d);
        if (Button* button = doors[d - 1].get()) {
            button->setPosition(intOf(door, "x"), intOf(door, "y"));
            button->setWidth(intOf(door, "width"));
            button->setHeight(intOf(door, "height"));
        }
    }
    AbstractProperty* picture = definition->getChildAt(0);
    hallwayImage = hallwayResource(picture ? picture->getValue() : std::string());
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        PropertyNode* offset = childNode(definition, 5 + d);
        previewOffsets[d - 1] = Point{intOf(offset, "x"), intOf(offset, "y")};
        PropertyNode* medal = childNode(definition, 10 + d);
        medalPositions[d - 1] = Point{intOf(medal, "x"), intOf(medal, "y")};
        PropertyNode* plate = childNode(definition, 15 + d);
        if (Sprite* sprite = roomNumbers[d - 1].get()) {
            sprite->setPosition(intOf(plate, "x"), intOf(plate, "y"));
            sprite->setImage(hallwayResource(numbered("ROOM_NUMBER", floor, d)).get());
        }
        PropertyNode* knob = childNode(definition, 20 + d);
        if (Button* button = doorKnobs[d - 1].get()) {
            button->setPosition(intOf(knob, "x"), intOf(knob, "y"));
            button->setImage(hallwayResource(knob->getChildValue("image")->getValue()).get());
        }
    }
    PropertyNode* decoration = childNode(definition, 26);
    if (plant) {
        plant->setPosition(intOf(decoration, "x"), intOf(decoration, "y"));
        plant->setImage(hallwayResource(decoration->getChildValue("image")->getValue()).get());
    }
}

void SceneHallway::applyHueMask() {
    RefHolder<Image> copy(Image::copyImage(hallwayImage.get()));
    if (copy.get() != getBackgroundImage()) {
        setBackgroundImage(copy.get());
        setRepaint(true);
        setDirty(true);
    }
    if (!copy) {
        return;
    }
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        RefHolder<Image> mask = hallwayResource(numbered("HUEMASK", definitionIndex, d));
        RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, d);
        const GameType g = level ? level->getGameType() : NO_GAME_TYPE;
        // Speed and unknown types have no hue of their own: their doors keep the picture's.
        if (g >= 0 && g < GAME_TYPES_WITH_HUE) {
            shiftImageHue(copy.get(), mask.get(), hues[static_cast<size_t>(g)]);
        }
    }
}

void SceneHallway::showDoorMedals() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    Sprite* lastStar = nullptr;
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        Sprite* medal = getMedal(d);
        if (!medal) {
            continue;
        }
        const RoomRecord* record = player ? player->getStats().roomRecord(floor, d) : nullptr;
        if (!record || record->levelWinCount <= 0) {
            medal->setVisible(false);
            continue;
        }
        RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, d);
        const int32_t code =
            medalCode(record->levelWinCount, record->bestScore, level ? level->getSilver() : 0,
                      level ? level->getGold() : 0);
        static constexpr const char* KEYS[] = {"MEDAL_BRONZE", "MEDAL_SILVER", "MEDAL_GOLD"};
        medal->setImage(hallwayResource(numbered(KEYS[code], definitionIndex, d)).get());
        medal->setPosition(medalPositions[d - 1].x, medalPositions[d - 1].y);
        if (d == chosenDoor && code != medalBefore) {
            lastStar = animateNewMedal(medal, code + 1);
        }
        medal->setVisible(true);
    }
    if (!lastStar) {
        startClearSequence(nullptr);
        return;
    }
    if (SoundManager* sound = SoundManager::getInstance();
        sound && SoundManager::isSoundAvailable()) {
        sound->fadeOutMusic(MUSIC_FADE_MS);
    }
    disableInput();
    // The last star's fade keeps it; the arrival goes on half a second after its flash.
    const auto& running = lastStar->getRunningModifiers();
    if (!running.empty()) {
        Modifier* fade = running.back().get();
        fade->setFlags(fade->getFlags() & ~Modifier::FLAG_REMOVE_TARGET);
    }
    GameNode::addModifier(lastStar, new ModifierDelay(AFTER_STARS_MS));
    Modifier* next = GameNode::addModifier(
        lastStar, new ModifierFunction(callback<&SceneHallway::startClearSequence>(this)));
    next->setFlags(next->getFlags() | Modifier::FLAG_REMOVE_TARGET);
}

Sprite* SceneHallway::animateNewMedal(Sprite* medal, int32_t stars) {
    medal->setAlpha(0);
    medal->setScale(MEDAL_FALL_SCALE);
    GameNode::addModifier(medal, new ModifierAlpha(MEDAL_FALL_MS, 0, 255));
    GameNode::addModifier(medal,
                          blocking(new ModifierScale(MEDAL_FALL_SCALE, 1.0f, MEDAL_FALL_MS)));
    GameNode::addModifier(medal, new ModifierSound("SOUND_STAR_LANDSONDOOR", "hallway", false));
    RefHolder<Image> flash = hallwayResource("STAR_FLASH");
    Sprite* last = nullptr;
    for (int32_t k = 0; k < stars; ++k) {
        auto* star = new AdditiveSprite((medal->getWidth() / 4 + 3) * (k - 1), 0, flash.get());
        star->setAnchor(4);
        GameNode::appendChild(star, medal);
        star->setAlpha(FLASH_STAR_ALPHA);
        star->setVisible(false);
        GameNode::addModifier(star, new ModifierDelay(medal));
        GameNode::addModifier(star, new ModifierDelay((k + 1) * FLASH_STAR_GAP_MS));
        GameNode::addModifier(star, new ModifierSound("SOUND_STAR_ADDEDTODOOR", "hallway", false));
        GameNode::addModifier(star, new ModifierVisible(ModifierVisible::MODE_SHOW));
        GameNode::addModifier(star, new ModifierDelay(FLASH_STAR_SHOWN_MS));
        Modifier* fade =
            GameNode::addModifier(star, new ModifierAlpha(FLASH_STAR_FADE_MS, FLASH_STAR_ALPHA, 0));
        fade->setFlags(fade->getFlags() | Modifier::FLAG_REMOVE_TARGET);
        last = star;
    }
    return last;
}

int32_t SceneHallway::startClearSequence(BaseObject*) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        finishArrival(nullptr);
        return 0;
    }
    // The floor just ended on the player's own floor (the floor-end hook has handed its item
    // to the lift): the floor-end sequence, once.
    if (chosenDoor > 0 && floor == player->currentFloor &&
        player->currentFloor < player->floorReached) {
        player->currentFloor = player->floorReached;
        showHallwayClear();
        return 0;
    }
    playBuildingMusic();
    player->releaseHeldTrophies(HELD_TROPHIES_ON_ARRIVAL);
    if (!DialogTrophy::showIfNew(callback<&SceneHallway::finishArrival>(this))) {
        finishArrival(nullptr);
    }
    return 0;
}

void SceneHallway::buildSmallStars() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const TuningConstants& tune = tuning();
    RefHolder<Image> full = hallwayResource("STAR_FULL");
    RefHolder<Image> empty = hallwayResource("STAR_EMPTY");
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        const RoomRecord* record = player ? player->getStats().roomRecord(floor, d) : nullptr;
        RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, d);
        const int32_t best = record ? record->bestScore : 0;
        const bool lit[3] = {record && record->levelWinCount > 0,
                             level && best >= level->getSilver(),
                             level && best >= level->getGold()};
        const int32_t width = (lit[0] ? full : empty) ? (lit[0] ? full : empty)->getWidth() : 0;
        const int32_t centre = tune.STARS_LEFT_PADDING + tune.STAR_WIDTH * (d - 1);
        for (int32_t k = 0; k < 3; ++k) {
            Image* image = (lit[k] ? full : empty).get();
            auto* star = new Sprite(centre + (k - 1) * width, tune.SMALL_STAR_Y, image);
            star->setAnchor(4);
            star->setVisible(false);
            star->setTag(k);
            GameNode::appendChild(star, floorEndLayer.get());
        }
    }
}

void SceneHallway::showHallwayClear() {
    killClearSequence();
    const TuningConstants& tune = tuning();
    auto* root = new ModifierContainer();
    ModifierContainer::addModifier(getAnimTree(), root);
    clearSequence = root;

    Modifier* jingle =
        ModifierContainer::addModifier(root, new ModifierDelay(tune.FLOOR_COMPLETE_JINGLE_DELAY));
    ModifierContainer::addModifier(jingle,
                                   new ModifierSound("SOUND_HALLWAY_CLEAR", "hallway", false));

    Modifier* lastMove = nullptr;
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        Sprite* plate = roomNumbers[d - 1].get();
        if (!plate) {
            continue;
        }
        attachTo(root, plate, new ModifierScale(0.4f, 1.0f, tune.STAR_MOVE_TIME));
        plate->setImage(hallwayResource(numbered("STAR_NUMBER", floor, d)).get());
        ModifierContainer::addModifier(root,
                                       new ModifierSound("SOUND_STAR_APPEARS", "hallway", false));
        lastMove =
            attachTo(root, plate,
                     new ModifierLocationLine(plate->getX(), plate->getY(),
                                              tune.STARS_LEFT_PADDING + tune.STAR_WIDTH * (d - 1),
                                              tune.STAR_Y, tune.STAR_MOVE_TIME, false));
    }
    Modifier* appear = lastMove ? lastMove : root;
    attachTo(appear, floorEndDialog.get(), new ModifierVisible(ModifierVisible::MODE_SHOW));
    Modifier* grown = attachTo(appear, floorEndDialog.get(),
                               new ModifierScale(0.1f, 1.0f, tune.DIALOG_APPEAR_TIME));

    // T: the texts slide in while the stars are counted.
    for (GameNode* label : {floorCompletedLabel.get(), unlockedLabel.get(), wellDoneLabel.get()}) {
        if (!label) {
            continue;
        }
        const int32_t x = label->getX();
        const int32_t y = label->getY();
        const int32_t startY = label == unlockedLabel.get()
                                   ? SCREEN_HEIGHT + objectCast<Sprite>(label)->getHeight()
                                   : -y;
        attachTo(grown, label,
                 new ModifierLocationLine(x, startY, x, y, tune.LABEL_APPEAR_TIME, true));
        attachTo(grown, label, new ModifierVisible(ModifierVisible::MODE_SHOW));
    }
    buildSmallStars();
    Modifier* step = grown;
    GameNode* star = floorEndLayer ? floorEndLayer->getFirstChild() : nullptr;
    RefHolder<Image> full = hallwayResource("STAR_FULL");
    for (int32_t d = 1; d <= DOOR_COUNT; ++d) {
        if (Sprite* medal = getMedal(d)) {
            attachTo(step, medal, new ModifierVisible(ModifierVisible::MODE_HIDE));
        }
        for (int32_t k = 0; k < 3 && star; ++k, star = star->getNextSibling()) {
            auto* sprite = objectCast<Sprite>(star);
            attachTo(step, star, new ModifierVisible(ModifierVisible::MODE_SHOW));
            if (sprite && sprite->getImage() && sprite->getImage() == full.get()) {
                attachTo(step, star, new ModifierFunction(callback<&Effects::bonusStar>()));
            }
            Modifier* scale =
                attachTo(step, star, new ModifierScale(0.0f, 1.0f, tune.SMALL_STAR_APPEAR_TIME));
            step = ModifierContainer::addModifier(scale, new ModifierDelay(SMALL_STAR_GAP_MS));
        }
    }
    if (okButton) {
        okButton->setEnabled(true);
        attachTo(step, okButton.get(), new ModifierVisible(ModifierVisible::MODE_SHOW));
        attachTo(step, okButton.get(), new ModifierScale(0.0f, 1.0f, tune.BUTTON_OK_APPEAR_TIME));
    }
    if (auto* goodie = objectCast<Sprite>(goodieLabel.get())) {
        if (auto* text = interfaceCast<iText>(goodie)) {
            text->setText(getBasicText(unlockTextKey(floorUnlockIndex(floor))));
        }
        ModifierContainer::addModifier(
            step, new ModifierSound("SOUND_UNLOCK_ITEM_TEXT", "hallway", false));
        addPopInModifiers(goodie, step, tune.GOODIE_APPEAR_TIME, tune.GOODIE_WIGGLE_TIME,
                          tune.GOODIE_WIGGLE_ANGLE);
    }
}

int32_t SceneHallway::onFloorEndClosed(BaseObject* sender) {
    resetFloorEnd();
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->releaseHeldTrophies(QuovelMahjongPlayer::FLOOR_END_TROPHIES);
    }
    if (!DialogTrophy::showIfNew(callback<&SceneQuovelMahjong::goToElevator>())) {
        goToElevator(sender);
    }
    resetDoorChoice();
    return 0;
}
