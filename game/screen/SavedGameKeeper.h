#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "game/rules/RoomKind.h"

class PlayScreen;
class PropertyNode;

// The game screen's saved game: the running game written to the player's saved game of its room
// when the game is stopped or the scene is left. A write that fails is told to the player and kept,
// to be written again at the next save, when the scene goes at quit and before a room offers it; a
// room offers one still unwritten from memory.
class SavedGameKeeper {
public:
    // What the next save writes: nothing, the running level, or a won level's next one.
    enum Mode : int32_t { SAVE_NOTHING = 0, SAVE_RUNNING = 1, SAVE_WON = 2 };

    explicit SavedGameKeeper(PlayScreen& screen);

    // Writes the game as the mode asks (a won casino or roof level: the run's next level),
    // then saves nothing until the mode is set again.
    void save();
    // Writes the kept saved games again; those written, or held unread, are dropped.
    void writeUnsaved();
    // Before a room offers the current player's saved game of `room`: the kept ones are
    // written again, a failure of that one told once more. That one's "game" node when it is
    // still kept, from now on as offered; null when none is (the room offers the file).
    PropertyNode* offer(RoomKind room);
    // The current player's kept saved game of `room`: its "game" node, or null.
    PropertyNode* findKept(RoomKind room) const;
    // Whether a saved game is kept because its last write failed.
    bool holdsUnsaved() const { return !unsaved.empty(); }
    // Deletes the current player's saved game of the level's room, and a kept one the player
    // was offered; one not offered yet stays, to be offered.
    void drop();
    int32_t getMode() const { return mode; }
    void setMode(int32_t value) { mode = value; }

private:
    // Player name and room key.
    using Key = std::pair<std::string, std::string>;
    struct Kept {
        RefHolder<PropertyStore> store;
        bool offered = false;
    };
    // The current player's key for the room; an empty name without a player.
    static Key currentKey(RoomKind room);
    // Writes the kept ones; a failure of `retold` is told though one was told before.
    void writeKept(const Key* retold);

    PlayScreen& screen;
    int32_t mode = SAVE_NOTHING;
    // Saved games whose write failed.
    std::map<Key, Kept> unsaved;
};
