#include "game/profile/QuovelMahjongPlayer.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "framework/core/NumberText.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/PlayerManager.h"

QUOVEL_DEFINE_TYPE(QuovelMahjongPlayer, &AbstractPlayer::typeRecord, &IPlayerHooks::typeRecord)
QUOVEL_REGISTER_CLASS(QuovelMahjongPlayer)

namespace {

void addProfileInteger(PropertyNode* node, const char* key, int32_t value) {
    node->addChild(new PropertyValue(key, value, true));
}

// Fills `fields` from the children of the list, in order, as far as both go.
template <class Field, size_t N, class Read>
void readList(const PropertyVector* list, std::array<Field, N>& fields, Read read) {
    const int32_t count = std::min(list->getChildCount(), static_cast<int32_t>(N));
    for (int32_t i = 0; i < count; ++i) {
        fields[i] = read(list->getChildAt(i));
    }
}

template <size_t N>
void addIntegers(PropertyNode* node, const char* key, const std::array<int32_t, N>& values) {
    auto* list = static_cast<PropertyVector*>(node->addChild(new PropertyVector(key)));
    for (int32_t value : values) {
        list->addChild(new PropertyValue("", value));
    }
}

// Whether every value below the property reads as what a profile holds: an integer, or "true"
// or "false".
bool valuesRead(const AbstractProperty* property) {
    if (property->isValue()) {
        const std::wstring text = property->getText();
        return isIntText(text) || text == L"true" || text == L"false";
    }
    if (property->isNode()) {
        const auto& children = static_cast<const PropertyNode*>(property)->getNameTable();
        return std::all_of(children.begin(), children.end(),
                           [](const auto& entry) { return valuesRead(entry.second.get()); });
    }
    const auto* list = static_cast<const PropertyVector*>(property);
    for (int32_t i = 0; i < list->getChildCount(); ++i) {
        if (!valuesRead(list->getChildAt(i))) {
            return false;
        }
    }
    return true;
}

}  // namespace

QuovelMahjongPlayer::QuovelMahjongPlayer(std::string name) : AbstractPlayer(std::move(name)) {
    hints.fill(true);
}

QuovelMahjongPlayer::QuovelMahjongPlayer(PropertyNode* node) : AbstractPlayer(node) {
    hints.fill(true);
}

QuovelMahjongPlayer::~QuovelMahjongPlayer() {
    if (getCurrentPlayer() == this) {
        setCurrentPlayer(nullptr);
    }
}

TrophyList& QuovelMahjongPlayer::trophyList() const {
    if (trophies.get() == nullptr) {
        trophies = new TrophyList();
    }
    return *trophies;
}

QuovelMahjongPlayer* QuovelMahjongPlayer::current() {
    PlayerManager* manager = PlayerManager::getInstance();
    return manager != nullptr ? objectCast<QuovelMahjongPlayer>(manager->getCurrentPlayer())
                              : nullptr;
}

void QuovelMahjongPlayer::writeProperties(AbstractProperty* target) {
    AbstractPlayer::writeProperties(target);
    PropertyNode* node = nodeOrDummy(target);
    if (!node->isDummy()) {
        node->setTypeWord("QuovelMahjongPlayer");
    }
}

void QuovelMahjongPlayer::save(PropertyNode* node) {
    if (node == nullptr || node->isDummy()) {
        return;
    }
    node->addBool("showhints", showHints, true);
    addProfileInteger(node, "background", background);
    addProfileInteger(node, "tileset", tileSet);
    addProfileInteger(node, "floorReached", floorReached);
    trophyList().save(
        static_cast<PropertyNode*>(node->addChild(new PropertyNode("trophies", "Trophies"))));
    auto* hintList = static_cast<PropertyVector*>(node->addChild(new PropertyVector("hints")));
    for (bool hint : hints) {
        hintList->addBool(hint);
    }
    addIntegers(node, "unlockedStuff", unlockedStuff);
    addIntegers(node, "modesUnlocked", modesUnlocked);
    stats.save(static_cast<PropertyNode*>(node->addChild(new PropertyNode("stats", "Data"))));
}

bool QuovelMahjongPlayer::load(PropertyNode* node) {
    const PropertyNode* source = nodeOrDummy(node);
    // A value that is no number would read as 0: the progress it held would be saved over.
    if (!valuesRead(source)) {
        return false;
    }
    showHints = source->getChildValue("showhints")->getBool();
    // An edited or damaged file may hold any number: each is kept to what the game can show.
    background = std::clamp(source->getChildValue("background")->getInt(), 0, BACKGROUND_COUNT - 1);
    tileSet = std::clamp(source->getChildValue("tileset")->getInt(), 0, TILESET_COUNT - 1);
    floorReached =
        std::clamp(source->getChildValue("floorReached")->getInt(), 0, HIGHEST_FLOOR_REACHED);
    currentFloor = floorReached != 0 ? floorReached : 1;
    if (source->getChild("trophies") != nullptr) {
        trophyList().load(source->getChildNode("trophies"));
    }
    // Without a list made, nothing is held.
    if (trophies) {
        releaseHeldTrophies(FLOOR_END_TROPHIES);
    }
    readList(source->getChildVector("hints"), hints,
             [](const AbstractProperty* child) { return child->getBool(); });
    readList(source->getChildVector("unlockedStuff"), unlockedStuff,
             [](const AbstractProperty* child) { return child->getInt(); });
    // A group opened in the last run is no longer new.
    readList(source->getChildVector("modesUnlocked"), modesUnlocked,
             [](const AbstractProperty* child) {
                 const int32_t mode = child->getInt();
                 return mode == UNLOCKED_NEW ? UNLOCKED_SEEN : mode;
             });
    stats.load(source->getChildNode("stats"));
    return true;
}

void QuovelMahjongPlayer::clearSavedGame() {
    savedGame = nullptr;
}

void QuovelMahjongPlayer::setRoomWon(int32_t item) {
    if (item < 0 || item >= UNLOCKABLE_COUNT) {
        return;
    }
    // Progress moves one way: an item already shown as new stays shown.
    if (unlockedStuff[item] == LOCKED) {
        unlockedStuff[item] = UNLOCKED_NEW;
    }
    // Each room's group of modes opens with any item of the room.
    const auto openWhenUnlocked = [&](RoomKind room, const auto& items) {
        const bool unlocked = std::any_of(std::begin(items), std::end(items),
                                          [&](UnlockItem i) { return isUnlocked(i); });
        int32_t& mode = modesUnlocked[static_cast<size_t>(room)];
        if (unlocked && mode == LOCKED) {
            mode = UNLOCKED_NEW;
        }
    };
    openWhenUnlocked(RoomKind::CASINO, CASINO_UNLOCKS);
    openWhenUnlocked(RoomKind::RECROOM, RECROOM_UNLOCKS);
    openWhenUnlocked(RoomKind::ROOF, ROOF_UNLOCKS);
}

bool QuovelMahjongPlayer::isBackgroundLocked(const QuovelMahjongPlayer* player, int32_t number) {
    const auto open = [&](UnlockItem item) { return player && player->isUnlocked(item); };
    return (number >= 3 && !open(UnlockItem::BACKGROUNDS_3_TO_6)) ||
           (number >= 7 && !open(UnlockItem::BACKGROUNDS_7_TO_10));
}

bool QuovelMahjongPlayer::isTileSetLocked(const QuovelMahjongPlayer* player, int32_t number) {
    return number >= 1 && number < TILESET_COUNT &&
           !(player && player->isUnlocked(TILESET_UNLOCKS[static_cast<size_t>(number - 1)]));
}

std::optional<UnlockItem> QuovelMahjongPlayer::newBackgroundGroup(int32_t number) const {
    if (number >= 3 && number <= 6 && unlockState(UnlockItem::BACKGROUNDS_3_TO_6) == UNLOCKED_NEW) {
        return UnlockItem::BACKGROUNDS_3_TO_6;
    }
    if (number >= 7 && unlockState(UnlockItem::BACKGROUNDS_7_TO_10) == UNLOCKED_NEW) {
        return UnlockItem::BACKGROUNDS_7_TO_10;
    }
    return std::nullopt;
}

std::optional<UnlockItem> QuovelMahjongPlayer::newTileSet(int32_t number) const {
    if (number >= 1 && number < TILESET_COUNT &&
        unlockState(TILESET_UNLOCKS[static_cast<size_t>(number - 1)]) == UNLOCKED_NEW) {
        return TILESET_UNLOCKS[static_cast<size_t>(number - 1)];
    }
    return std::nullopt;
}

int32_t QuovelMahjongPlayer::roomsReached() const {
    if (floorReached < 1) {
        return 0;
    }
    // Past the top the building has 100 rooms; the floor is checked before it is multiplied.
    if (floorReached > QuovelMahjongStats::FLOORS) {
        return QuovelMahjongStats::FLOORS * QuovelMahjongStats::ROOMS_PER_FLOOR;
    }
    const int32_t below = QuovelMahjongStats::ROOMS_PER_FLOOR * (floorReached - 1);
    int32_t won = 0;
    for (int32_t room = 1; room <= QuovelMahjongStats::ROOMS_PER_FLOOR; ++room) {
        won += stats.roomRecord(floorReached, room)->levelWinCount >= 1 ? 1 : 0;
    }
    return below + won;
}

void QuovelMahjongPlayer::setTrophiesSeen() {
    for (int32_t i = 0; i < TrophyList::TROPHY_COUNT; ++i) {
        Trophy* trophy = trophyList().getTrophy(i);
        if (trophy != nullptr && trophy->state != Trophy::NOT_EARNED) {
            trophy->state = Trophy::SEEN;
        }
    }
}

void QuovelMahjongPlayer::releaseHeldTrophies(std::span<const TrophyId> ids) {
    for (TrophyId id : ids) {
        Trophy* trophy = trophyList().getTrophy(id);
        if (trophy != nullptr && trophy->state == Trophy::HELD_BACK) {
            trophy->state = Trophy::EARNED;
        }
    }
}

bool QuovelMahjongPlayer::isFloorComplete(int32_t floor, const QuovelMahjongStats& statistics) {
    if (floor < 1 || floor > QuovelMahjongStats::FLOORS) {
        return false;
    }
    for (int32_t room = 1; room <= QuovelMahjongStats::ROOMS_PER_FLOOR; ++room) {
        if (statistics.roomRecord(floor, room)->levelWinCount < 1) {
            return false;
        }
    }
    return true;
}

bool QuovelMahjongPlayer::isHintPending(int32_t hint) const {
    return showHints && hint >= 0 && hint < HINT_COUNT && hints[hint];
}

bool QuovelMahjongPlayer::isTutorialHintSet(int32_t flag) const {
    return isHintPending(flag);
}

void QuovelMahjongPlayer::clearTutorialHint(int32_t flag) {
    if (flag >= 0 && flag < HINT_COUNT) {
        hints[flag] = false;
    }
}

bool QuovelMahjongPlayer::wasHostHintShown(int32_t hint) const {
    // A trophy the definitions lack can never be awarded: it counts as shown.
    const Trophy* trophy = trophyList().getTrophy(hint);
    return trophy == nullptr || trophy->state != Trophy::NOT_EARNED;
}

void QuovelMahjongPlayer::setHostHintShown(int32_t hint) {
    Trophy* trophy = trophyList().getTrophy(hint);
    if (trophy != nullptr && trophy->state == Trophy::NOT_EARNED) {
        trophy->state = Trophy::EARNED;
    }
}

int32_t QuovelMahjongPlayer::getRemovedPairs() const {
    return stats.numMatches;
}

void QuovelMahjongPlayer::addRemovedPair() {
    if (stats.numMatches < std::numeric_limits<int32_t>::max()) {
        ++stats.numMatches;
    }
}

int32_t QuovelMahjongPlayer::getBestScore(int32_t floor, int32_t room) const {
    const RoomRecord* record = stats.roomRecord(floor, room);
    return record != nullptr ? record->bestScore : 0;
}

DisplayValue& QuovelMahjongPlayer::getShuffleStock() {
    return stats.shuffleTokens;
}

DisplayValue& QuovelMahjongPlayer::getHintStock() {
    return stats.hintTokens;
}

void QuovelMahjongPlayer::keepSavedGame(PropertyNode* node) {
    savedGame = node;
}
