#include "game/rules/LevelCatalog.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyVector.h"

namespace {

const char* const DIFFICULTY_WORDS[LevelCatalog::DIFFICULTY_COUNT] = {"normal", "hard", "expert"};

constinit LevelCatalog* processCatalog = nullptr;

bool inRange(int32_t value, int32_t count) {
    return value >= 0 && value < count;
}

// The list position of a number counted from 1; -1 (no entry) for numbers below 1.
int32_t positionOf(int32_t number) {
    return number >= 1 ? number - 1 : -1;
}

}  // namespace

LevelCatalog::LevelCatalog() {
    release();
}

LevelCatalog::~LevelCatalog() = default;

LevelCatalog* LevelCatalog::instance() {
    if (processCatalog == nullptr) {
        processCatalog = new LevelCatalog();
        processCatalog->load();
    }
    return processCatalog;
}

void LevelCatalog::releaseInstance() {
    if (processCatalog != nullptr) {
        processCatalog->release();
        delete processCatalog;
        processCatalog = nullptr;
    }
}

bool LevelCatalog::load() {
    RefHolder<PropertyStore> store(new PropertyStore());
    for (const char* file : LEVEL_FILES) {
        store->addFile(file);
    }
    // A file that fails to read leaves its place empty; the others still load.
    const bool read = store->load();
    hallway = vectorOrDummy(store->getChild("hallway"));
    casino = nodeOrDummy(store->getChild("casino"));
    recroom = vectorOrDummy(store->getChild("recroom"));
    roof = nodeOrDummy(store->getChild("roof"));
    whole = read && !hallway->isDummy() && !casino->isDummy() && !recroom->isDummy() &&
            !roof->isDummy();
    return whole;
}

void LevelCatalog::release() {
    whole = false;
    hallway = DUMMY_VECTOR;
    casino = DUMMY_NODE;
    recroom = DUMMY_VECTOR;
    roof = DUMMY_NODE;
}

PropertyVector* LevelCatalog::getHallway() const {
    return vectorOrDummy(hallway.get());
}

PropertyNode* LevelCatalog::getCasino() const {
    return nodeOrDummy(casino.get());
}

PropertyVector* LevelCatalog::getRecroom() const {
    return vectorOrDummy(recroom.get());
}

PropertyNode* LevelCatalog::getRoof() const {
    return nodeOrDummy(roof.get());
}

RefHolder<Level> LevelCatalog::makeLevel(AbstractProperty* definition) {
    PropertyNode* node = nodeOrDummy(definition);
    // The empty dummy node has no type word, so the factory makes nothing from it.
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(node));
    return RefHolder<Level>(objectCast<Level>(made.get()));
}

PropertyNode* LevelCatalog::seriesNode(PropertyNode* place, const char* typeWord,
                                       int32_t difficulty) {
    return place->getChildNode(typeWord)
        ->getChildNode(DIFFICULTY_WORDS[difficulty])
        ->getChildNode("level");
}

RefHolder<Level> LevelCatalog::findLevel(int32_t floor, int32_t room) const {
    PropertyVector* doors = vectorOrDummy(getHallway()->getChildAt(positionOf(floor)));
    RefHolder<Level> level = makeLevel(doors->getChildAt(positionOf(room)));
    if (level) {
        level->setFloor(floor);
        level->setRoom(room);
    }
    return level;
}

RefHolder<Level> LevelCatalog::casinoLevel(GameType gameType, int32_t difficulty,
                                           RoomKind gameMode) const {
    if (!inRange(gameType, CASINO_TYPE_COUNT) || !inRange(difficulty, DIFFICULTY_COUNT)) {
        return nullptr;
    }
    RefHolder<Level> level =
        makeLevel(seriesNode(getCasino(), Level::gameTypeWord(gameType), difficulty));
    if (level) {
        level->setDifficulty(difficulty);
        level->setGameMode(gameMode);
    }
    return level;
}

RefHolder<Level> LevelCatalog::speedLevel(int32_t difficulty) const {
    if (!inRange(difficulty, DIFFICULTY_COUNT)) {
        return nullptr;
    }
    RefHolder<Level> level = makeLevel(seriesNode(getRoof(), "Speed", difficulty));
    if (level) {
        level->setDifficulty(difficulty);
    }
    return level;
}

void LevelCatalog::levelsOfRoom(std::vector<RefHolder<Level>>& out, int32_t page) const {
    PropertyVector* definitions = vectorOrDummy(getRecroom()->getChildAt(page));
    for (int32_t position = 0; position < definitions->getChildCount(); ++position) {
        // An entry that makes no level is left out; the others keep their place on the page,
        // which is what the room's records are kept by.
        if (RefHolder<Level> level = makeLevel(definitions->getChildAt(position))) {
            level->setIndex(position);
            out.push_back(std::move(level));
        }
    }
}
