#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/iGuiMethod.h"
#include "game/profile/QuovelMahjongStats.h"
#include "game/rules/GameType.h"
#include "game/rules/RoomKind.h"
#include "game/screen/PlayScreen.h"

class Level;
class SoundNode;
class Tile;

// A phase of a level on the game screen other than play: the level flow holds at most one, runs
// only its update while it is current, and the board input ignores clicks meanwhile. The flow's
// setState runs exit on the state it replaces and enter on the new one, holding a reference
// across both, so a state may replace itself from its own enter or update.
class GameSceneState : public BaseObject {
    QUOVEL_TYPE(GameSceneState)
public:
    explicit GameSceneState(PlayScreen* scene) : scene(scene) {}

    virtual void enter() = 0;
    virtual void update(int32_t elapsedMs);
    virtual void exit();

protected:
    // The scene outlives its states: it ends the current one before it goes.
    PlayScreen* scene;
};

// The level's information dialog; its close starts the instructions.
class StateRoomInfo : public GameSceneState {
    QUOVEL_TYPE(StateRoomInfo)
public:
    using GameSceneState::GameSceneState;
    void enter() override;
    // The level-information dialog's close callback.
    static int32_t startInstructions(BaseObject* sender);
};

// The host's instructions for the game type, once per player; then the build.
class StateInstructions : public GameSceneState {
    QUOVEL_TYPE(StateInstructions)
public:
    using GameSceneState::GameSceneState;
    void enter() override;
    // The host's hint number of a room kind and game type.
    static int32_t hintNumber(RoomKind roomKind, GameType gameType);
    // The hint dialog's close callback (no target): the game music, then the build.
    static int32_t finish(BaseObject* sender);
};

// Builds the board tile by tile: a removal order of free tiles is worked out and replayed
// backwards, so every tile is put onto the board it was taken from.
class StateBuildLevel : public GameSceneState {
    QUOVEL_TYPE(StateBuildLevel)
public:
    explicit StateBuildLevel(PlayScreen* scene);
    ~StateBuildLevel() override;
    void enter() override;
    void update(int32_t elapsedMs) override;

    int32_t getInterval() const { return interval; }
    size_t tilesLeft() const { return buildList.size(); }

private:
    void layOutTiles();
    void finish();

    int32_t interval = 0;
    int32_t accumulator = 0;
    std::vector<RefHolder<Tile>> buildList;
    RefHolder<SoundNode> sound;
};

// Opens the board to play and ends itself: play is the absence of a state.
class StatePlaying : public GameSceneState {
    QUOVEL_TYPE(StatePlaying)
public:
    using GameSceneState::GameSceneState;
    void enter() override;
};

// Takes the board down tile by tile while the game deals the shuffled layout, which the next
// build puts up.
class StateShuffle : public GameSceneState {
    QUOVEL_TYPE(StateShuffle)
public:
    explicit StateShuffle(PlayScreen* scene);
    ~StateShuffle() override;
    void enter() override;
    void update(int32_t elapsedMs) override;
    void exit() override;

    int32_t getInterval() const { return interval; }

private:
    int32_t interval = 0;
    int32_t accumulator = 0;
    std::vector<RefHolder<Tile>> tiles;
    RefHolder<SoundNode> sound;
};

// The end of a level: the result is recorded on entry, and the level-end dialog opens once the
// delay has run out in frame time.
class StateLevelEnd : public GameSceneState {
    QUOVEL_TYPE(StateLevelEnd)
public:
    StateLevelEnd(PlayScreen* scene, int32_t delay) : GameSceneState(scene), delay(delay) {}
    void update(int32_t elapsedMs) override;

protected:
    virtual iGuiMethod::Bound continuation() const = 0;

private:
    int32_t delay;
};

// The level was lost: a casino or roof run ends with its score in the high-score table.
class StateGameOver : public StateLevelEnd {
    QUOVEL_TYPE(StateGameOver)
public:
    using StateLevelEnd::StateLevelEnd;
    void enter() override;
    // The level-end dialog's continuation: back to the room.
    static int32_t next(BaseObject* sender);

protected:
    iGuiMethod::Bound continuation() const override { return callback<&StateGameOver::next>(); }
};

// The level was won: the player's records, star counts, floor progress and trophies.
class StateGameWon : public StateLevelEnd {
    QUOVEL_TYPE(StateGameWon)
public:
    using StateLevelEnd::StateLevelEnd;
    void enter() override;
    // The level-end dialog's continuation: the next level of a casino or roof run, else back to
    // the room.
    static int32_t next(BaseObject* sender);
    // Where the level is played, as the player's records see it.
    static LevelPlace placeOf(const Level* level);
    // Medal queries on the current player's best scores of the floors' levels. Every room of
    // the twenty floors at its level's silver (gold) score or above.
    static bool allLevelsSilver();
    static bool allLevelsGold();
    // The level's best reaches silver; unless `orGold`, it must also stay below gold.
    static bool levelHasMedal(const Level* level, bool orGold);
    static bool levelHasGold(const Level* level);

protected:
    iGuiMethod::Bound continuation() const override { return callback<&StateGameWon::next>(); }

private:
    void recordFloorWin();
    void awardTrophies();
};
