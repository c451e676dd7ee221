#include "game/rules/Level.h"

#include <algorithm>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"

QUOVEL_DEFINE_TYPE(Level, &BaseObject::typeRecord)
QUOVEL_REGISTER_CLASS(Level)

namespace {

const char* const GAME_TYPE_WORDS[GAME_TYPE_COUNT] = {"Classic", "Freecell", "Split",
                                                      "Triple",  "River",    "Speed"};

// The texts of the value elements of a vector, in order.
std::vector<std::string> valueTexts(PropertyVector* vector, int32_t from = 0) {
    std::vector<std::string> texts;
    for (int32_t i = from; i < vector->getChildCount(); ++i) {
        AbstractProperty* child = vector->getChildAt(i);
        if (child->isValue()) {
            texts.push_back(child->getValue());
        }
    }
    return texts;
}

// "0" is what toProperties writes for false, so it reads back as false.
bool readMixed(const std::string& text) {
    return !text.empty() && text != "false" && text != "0";
}

}  // namespace

Level::Level(PropertyNode* node) {
    gameType = static_cast<GameType>(node->getChoice("gameType", GAME_TYPE_WORDS, NO_GAME_TYPE));
    pointsPerMatch.read(node->getChild("pointsPerMatch"));
    const std::pair<const char*, Progression*> timing[] = {{"playTime", &playTime},
                                                           {"timeBonus", &timeBonus},
                                                           {"bonusAt", &bonusAt},
                                                           {"bonusSpeed", &bonusSpeed},
                                                           {"multiplierTime", &multiplierTime}};
    for (const auto& [key, progression] : timing) {
        if (AbstractProperty* child = node->getChild(key)) {
            progression->read(child);
        }
    }
    if (node->getChild("layout") != nullptr) {
        layout = node->getChildValue("layout")->getValue();
    }
    if (node->getChild("gameMode") != nullptr) {
        gameMode = static_cast<RoomKind>(node->getChildValue("gameMode")->getInt());
    }
    const std::pair<const char*, int32_t*> integers[] = {
        {"difficulty", &difficulty}, {"room", &room}, {"floor", &floor}, {"index", &index}};
    for (const auto& [key, field] : integers) {
        if (node->getChild(key) != nullptr) {
            *field = node->getChildValue(key)->getInt();
        }
    }
    if (AbstractProperty* child = node->getChild("darkenTiles")) {
        darkenTiles.read(child);
    }
    if (node->getChild("mixed") != nullptr) {
        mixed = readMixed(node->getChildValue("mixed")->getValue());
    }
    if (isGameTypeOf(gameType, {TYPE_FREECELL, TYPE_SPLIT, TYPE_SPEED})) {
        sideBoardIndex.read(node->getChild("sideBoardIndex"));
    }
    if (isGameTypeOf(gameType, {TYPE_CLASSIC, TYPE_TRIPLE, TYPE_FREECELL})) {
        tileDistMin.read(node->getChild("tileDistMin"));
        tileDistMax.read(node->getChild("tileDistMax"));
    }
    if (isGameTypeOf(gameType, {TYPE_SPLIT, TYPE_SPEED})) {
        firstHand.read(node->getChild("firstHand"));
        secondHand.read(node->getChild("secondHand"));
        thirdHand.read(node->getChild("thirdHand"));
    }
    readLayoutFileNames(node);
    if (node->getChild("silver") != nullptr) {
        silver = node->getChildValue("silver")->getInt();
    }
    if (node->getChild("gold") != nullptr) {
        gold = node->getChildValue("gold")->getInt();
    }
    if (node->getChild("isSaveGame") == nullptr) {
        layoutObject = Layout::findByName(layoutPath(), gameType, sideBoardIndex.getInt());
    }
}

void Level::readLayoutFileNames(PropertyNode* node) {
    if (AbstractProperty* list = node->getChild("layoutFileNames")) {
        layoutFileNames = valueTexts(vectorOrDummy(list));
        hardStartIndex = node->getChildValue("hardStartIndex")->getInt();
        return;
    }
    if (node->getChild("hard") == nullptr) {
        return;
    }
    layoutFileNames = valueTexts(node->getChildVector("intro"));
    for (const char* group : {"easy", "normal"}) {
        PropertyVector* names = node->getChildVector(group);
        if (names->getChildCount() == 0) {
            continue;
        }
        const int32_t wanted = names->getChildAt(0)->getInt();
        std::vector<std::string> pool = valueTexts(names, 1);
        shuffleList(pool.begin(), pool.end());
        const size_t taken = static_cast<size_t>(std::clamp<int64_t>(wanted, 0, pool.size()));
        layoutFileNames.insert(layoutFileNames.end(), pool.begin(), pool.begin() + taken);
    }
    hardStartIndex = static_cast<int32_t>(layoutFileNames.size());
    for (std::string& name : valueTexts(node->getChildVector("hard"))) {
        layoutFileNames.push_back(std::move(name));
    }
    shuffleList(layoutFileNames.begin() + hardStartIndex, layoutFileNames.end());
    // Groups without any name keep the layout read before.
    if (!layoutFileNames.empty()) {
        layout = layoutFileNames.front();
    }
}

const char* Level::gameTypeWord(int32_t type) {
    return type >= 0 && type < GAME_TYPE_COUNT ? GAME_TYPE_WORDS[type] : "";
}

std::string Level::layoutPath() const {
    if (layout.find(LAYOUT_FOLDER) != std::string::npos) {
        return layout;
    }
    return LAYOUT_FOLDER + layout;
}

std::vector<Progression*> Level::progressions() {
    return {&playTime,       &timeBonus,      &pointsPerMatch, &bonusAt,   &bonusSpeed,
            &multiplierTime, &tileDistMin,    &tileDistMax,    &firstHand, &secondHand,
            &thirdHand,      &sideBoardIndex, &darkenTiles};
}

void Level::toProperties(PropertyNode* node) const {
    const auto addNumber = [node](const char* key, int32_t number) {
        node->addChild(new PropertyValue(key, number, true));
    };
    // A level of no known type writes an empty word, which reads back as -1.
    node->addChild(new PropertyValue("gameType", gameTypeWord(gameType)));
    addNumber("gameMode", static_cast<int32_t>(gameMode));
    addNumber("difficulty", difficulty);
    node->addChild(new PropertyValue("layout", layout));
    const std::pair<const char*, const Progression*> values[] = {
        {"playTime", &playTime},
        {"timeBonus", &timeBonus},
        {"pointsPerMatch", &pointsPerMatch},
        {"bonusAt", &bonusAt},
        {"bonusSpeed", &bonusSpeed},
        {"multiplierTime", &multiplierTime},
        {"tileDistMin", &tileDistMin},
        {"tileDistMax", &tileDistMax},
        {"firstHand", &firstHand},
        {"secondHand", &secondHand},
        {"thirdHand", &thirdHand},
        {"sideBoardIndex", &sideBoardIndex},
        {"darkenTiles", &darkenTiles}};
    for (const auto& [key, progression] : values) {
        addNumber(key, progression->getInt());
    }
    addNumber("room", room);
    addNumber("floor", floor);
    addNumber("index", index);
    addNumber("silver", silver);
    addNumber("gold", gold);
    addNumber("mixed", mixed ? 1 : 0);
    addNumber("hardStartIndex", hardStartIndex);
    node->addChild(new PropertyValue("isSaveGame", "you betcha"));
    auto* names = new PropertyVector("layoutFileNames");
    node->addChild(names);
    for (const std::string& name : layoutFileNames) {
        names->addChild(new PropertyValue("", name));
    }
}

std::string Level::toString() const {
    std::string text = "<Level\t";
    const auto field = [&text](const char* label, const std::string& value) {
        text += label;
        text += '"';
        text += value;
        text += "\"\t";
    };
    const auto number = [&field](const char* label, const Progression& progression) {
        field(label, std::to_string(progression.getInt()));
    };
    field("gameType=", gameTypeWord(gameType));
    size_t cut = layout.rfind('/');
    if (cut == std::string::npos) {
        cut = layout.rfind('\\');
    }
    field("layout=", cut == std::string::npos ? layout : layout.substr(cut + 1));
    number("playTime=", playTime);
    number("timeBonus=", timeBonus);
    number("score=", pointsPerMatch);
    number("bonusAt=", bonusAt);
    number("bonusSpeed=", bonusSpeed);
    number("multiplierTime=", multiplierTime);
    number("darkenTiles=", darkenTiles);
    if (isGameTypeOf(gameType, {TYPE_CLASSIC, TYPE_FREECELL, TYPE_TRIPLE, TYPE_RIVER})) {
        number("tileDistMin=", tileDistMin);
        number("tileDistMax=", tileDistMax);
    }
    if (isGameTypeOf(gameType, {TYPE_SPLIT, TYPE_SPEED})) {
        number("firstHand=", firstHand);
        number("secondHand=", secondHand);
        number("thirdHand=", thirdHand);
    }
    if (isGameTypeOf(gameType, {TYPE_FREECELL, TYPE_SPLIT, TYPE_SPEED})) {
        number("sideBoardIndex =", sideBoardIndex);
    }
    if (gameMode == RoomKind::FLOORS) {
        field("silver=", std::to_string(silver));
        field("gold=", std::to_string(gold));
    }
    return text + "/>";
}

void Level::nextLevel() {
    for (Progression* progression : progressions()) {
        progression->advance();
    }
    if (index < INT32_MAX) {
        ++index;
    }
    const int64_t count = static_cast<int64_t>(layoutFileNames.size());
    if (count == 0) {
        return;  // no series: the layout stays
    }
    int64_t entry = 0;
    if (index >= 0 && index < count) {
        entry = index;
    } else if (index >= count) {
        // Past the list the hard part repeats, or without one the first layout returns.
        const int64_t hardStart = std::clamp<int64_t>(hardStartIndex, 0, count);
        if (hardStart != 0 && hardStart != count) {
            entry = hardStart + (index - hardStart) % (count - hardStart);
        }
    }
    layout = LAYOUT_FOLDER + layoutFileNames[static_cast<size_t>(entry)];
}

void Level::loadLayout() {
    layoutObject.reset();
    // Under its folder, as the constructor loads it: a name straight from a level file has none.
    layoutObject = Layout::findByName(layoutPath(), gameType, sideBoardIndex.getInt());
}
