#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "game/rules/GameType.h"
#include "game/rules/Layout.h"
#include "game/rules/Progression.h"
#include "game/rules/RoomKind.h"

class PropertyNode;

// The definition of one level: game type, layout, timing and scoring values, the values that
// steer level building, medal scores and, for a series, the layout files and the step to the
// next level. Read from the level files and from saved games, and written back into saved games.
class Level : public BaseObject {
    QUOVEL_TYPE(Level)
public:
    // Layout files of levels live here.
    static constexpr const char* LAYOUT_FOLDER = "media/levels/";

    // Reads the level schema; unless the node has "isSaveGame", loads the layout too.
    explicit Level(PropertyNode* node);
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Writes the level for a saved game; progressions are written as their integer parts.
    void toProperties(PropertyNode* node) const;
    // The one-line text form.
    std::string toString() const override;
    // Steps every progression and goes on to the next layout of the series; the layout object
    // is loaded by loadLayout.
    void nextLevel();
    // Replaces the held layout by the one of the layout name.
    void loadLayout();

    // The game-type word of a type, empty outside 0 to 5.
    static const char* gameTypeWord(int32_t type);

    const Progression& getPlayTime() const { return playTime; }
    const Progression& getTimeBonus() const { return timeBonus; }
    const Progression& getPointsPerMatch() const { return pointsPerMatch; }
    const Progression& getBonusAt() const { return bonusAt; }
    const Progression& getBonusSpeed() const { return bonusSpeed; }
    const Progression& getMultiplierTime() const { return multiplierTime; }
    const Progression& getTileDistMin() const { return tileDistMin; }
    const Progression& getTileDistMax() const { return tileDistMax; }
    const Progression& getFirstHand() const { return firstHand; }
    const Progression& getSecondHand() const { return secondHand; }
    const Progression& getThirdHand() const { return thirdHand; }
    const Progression& getSideBoardIndex() const { return sideBoardIndex; }
    const Progression& getDarkenTiles() const { return darkenTiles; }
    Layout* getLayoutObject() const { return layoutObject.get(); }
    // Whether its layout holds a tile to deal: a layout file that could not be read holds none.
    bool hasTiles() const { return layoutObject && layoutObject->getTileCount() > 0; }
    // The game keeps its own board in the level.
    void setLayoutObject(Layout* layout) { layoutObject = layout; }
    GameType getGameType() const { return gameType; }
    const std::string& getLayout() const { return layout; }
    RoomKind getGameMode() const { return gameMode; }
    void setGameMode(RoomKind value) { gameMode = value; }
    int32_t getDifficulty() const { return difficulty; }
    void setDifficulty(int32_t value) { difficulty = value; }
    bool isMixed() const { return mixed; }
    void setMixed(bool value) { mixed = value; }
    int32_t getRoom() const { return room; }
    void setRoom(int32_t value) { room = value; }
    int32_t getFloor() const { return floor; }
    void setFloor(int32_t value) { floor = value; }
    int32_t getIndex() const { return index; }
    void setIndex(int32_t value) { index = value; }
    int32_t getSilver() const { return silver; }
    int32_t getGold() const { return gold; }
    const std::vector<std::string>& getLayoutFileNames() const { return layoutFileNames; }
    int32_t getHardStartIndex() const { return hardStartIndex; }

private:
    void readLayoutFileNames(PropertyNode* node);
    // The layout name as a path under the layout folder.
    std::string layoutPath() const;
    // Every progression, in field order.
    std::vector<Progression*> progressions();

    Progression playTime{1.0f};
    Progression timeBonus{1.0f};
    Progression pointsPerMatch{0.0f};
    Progression bonusAt{1.0f};
    Progression bonusSpeed{0.0f};
    Progression multiplierTime{1.0f};
    Progression tileDistMin{0.0f};
    Progression tileDistMax{0.0f};
    Progression firstHand{0.0f};
    Progression secondHand{0.0f};
    Progression thirdHand{0.0f};
    Progression sideBoardIndex{-1.0f};
    Progression darkenTiles{0.0f};
    RefHolder<Layout> layoutObject;
    GameType gameType = NO_GAME_TYPE;
    std::string layout;
    // Outside the four rooms until a room sets it.
    RoomKind gameMode = static_cast<RoomKind>(4);
    int32_t difficulty = 3;
    bool mixed = false;
    int32_t room = 1;
    int32_t floor = 1;
    int32_t index = 0;
    int32_t silver = 0;
    int32_t gold = 0;
    std::vector<std::string> layoutFileNames;
    int32_t hardStartIndex = 0;
};
