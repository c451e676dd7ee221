#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/RefHolder.h"
#include "game/rules/Level.h"

class AbstractProperty;
class PropertyNode;
class PropertyVector;

// The level definitions of the four places of the building where levels are chosen: the
// hallway floors, the casino, the rec room and the roof. The four level files are read once
// into one tree; each lookup makes a fresh Level from its definition node, so the caller may
// step and change it freely.
//
// A lookup that leads nowhere (an argument out of range, a missing entry, a node that does not
// make a Level) gives no level: callers check for null.
class LevelCatalog {
public:
    // The level files, read in this order into one root.
    static constexpr const char* LEVEL_FILES[4] = {
        "media/properties/levels/casino.xml", "media/properties/levels/recroom.xml",
        "media/properties/levels/hallway.xml", "media/properties/levels/roof.xml"};
    // Casino entries are named by the first five game-type words; Speed lives on the roof.
    static constexpr int32_t CASINO_TYPE_COUNT = 5;
    static constexpr int32_t DIFFICULTY_COUNT = 3;

    // An empty catalogue (every place the empty dummy of its kind) until load() runs.
    LevelCatalog();
    ~LevelCatalog();
    LevelCatalog(const LevelCatalog&) = delete;
    LevelCatalog& operator=(const LevelCatalog&) = delete;

    // The process-wide catalogue, made and loaded on first use.
    static LevelCatalog* instance();
    // Releases the catalogue's references and frees the process-wide catalogue (last at exit).
    static void releaseInstance();

    // Reads the four level files and keeps their "hallway", "casino", "recroom" and "roof"
    // children; a missing child or one of the wrong kind leaves that place empty. False when
    // a file did not read or a place is left empty: the game's data is damaged.
    bool load();
    // Whether the last load read every file and filled every place.
    bool isWhole() const { return whole; }
    // Drops the references to the four places; every lookup then gives no level.
    void release();

    // The level behind door `room` of floor `floor` (both from 1), with those two numbers set.
    RefHolder<Level> findLevel(int32_t floor, int32_t room) const;
    // The casino level of a game type (0 Classic to 4 River) and difficulty (0 normal,
    // 1 hard, 2 expert), with the difficulty and the room kind `gameMode` set.
    RefHolder<Level> casinoLevel(GameType gameType, int32_t difficulty, RoomKind gameMode) const;
    // The roof's Speed level of a difficulty, with the difficulty set.
    RefHolder<Level> speedLevel(int32_t difficulty) const;
    // Appends a level for every definition of rec-room page `page` (from 0; the page is the
    // game type), each with its index set to its position on the page.
    void levelsOfRoom(std::vector<RefHolder<Level>>& out, int32_t page) const;

    PropertyVector* getHallway() const;
    PropertyNode* getCasino() const;
    PropertyVector* getRecroom() const;
    PropertyNode* getRoof() const;

private:
    // Makes a level from a definition node by its type word; null when that makes no Level.
    static RefHolder<Level> makeLevel(AbstractProperty* definition);
    // The "level" node below `place`/`typeWord`/difficulty word, or the dummy node.
    static PropertyNode* seriesNode(PropertyNode* place, const char* typeWord, int32_t difficulty);

    RefHolder<AbstractProperty> hallway;
    RefHolder<AbstractProperty> casino;
    RefHolder<AbstractProperty> recroom;
    RefHolder<AbstractProperty> roof;
    bool whole = false;
};
