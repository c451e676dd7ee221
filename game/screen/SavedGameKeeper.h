#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"

class PlayScreen;

// The game screen's saved game: the running game written to the player's saved game of its room
// when the scene is left. A write that fails is told to the player and kept, to be written
// again at the next save and when the scene goes at quit.
class SavedGameKeeper {
public:
    // What the next save writes: nothing, the running level, or a won level's next one.
    enum Mode : int32_t { SAVE_NOTHING = 0, SAVE_RUNNING = 1, SAVE_WON = 2 };

    explicit SavedGameKeeper(PlayScreen& screen);

    // Writes the game as the mode asks (a won casino or roof level: the run's next level),
    // then saves nothing until the mode is set again.
    void save();
    // Writes the kept saved games again; those written are dropped.
    void writeUnsaved();
    // Deletes the current player's saved game of the level's room, kept one included.
    void drop();
    int32_t getMode() const { return mode; }
    void setMode(int32_t value) { mode = value; }

private:
    PlayScreen& screen;
    int32_t mode = SAVE_NOTHING;
    // Saved games whose write failed, by player name and room key.
    std::map<std::pair<std::string, std::string>, RefHolder<PropertyStore>> unsaved;
};
