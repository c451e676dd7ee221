#pragma once

#include <cstdint>

#include "game/rules/FaceGroups.h"
#include "game/rules/Game.h"

// The split game (type 2): every match joins a tile of the side board with a tile of the board.
// The side board shows copies of the faces of board tiles, handed out from a queue that the
// build records: the board tiles in an order in which each is free when its copy comes up.
// GameSpeed builds on it.
class GameSplit : public Game {
    QUOVEL_TYPE(GameSplit)
public:
    // The side board's slots split into three hands: chosen among the free tiles, among the
    // tiles one removal frees, and among the rest.
    struct Hands {
        int32_t first = 0;
        int32_t second = 0;
        int32_t third = 0;
    };

    // A new game, or one restored from a saved node ("sb_order", "sb_order_undo" and
    // "sb_order_start" too).
    explicit GameSplit(PropertyNode* saved);

    // The hands for `slots` slots and the level's hand weights. Negative weights count as 0;
    // weights summing to 0 give the whole rack to the first hand's single tile; the first hand
    // is at least 1 and the third never negative.
    static Hands computeHands(int32_t slots, int32_t h1, int32_t h2, int32_t h3);

    // Different tiles with equal keys, exactly one of them on a side board.
    bool canMatch(Tile* a, Tile* b) override;
    // Every free board tile against every side-board tile.
    void findMatches(TileList& out, Layout* layout) override;
    // One face per tile in random order: copies need no grouping.
    void dealTileDefs(FaceList& out) override;
    // Chooses the hands, then takes free chosen tiles off one by one, topping the chosen set up
    // from the board. Fails without side-board slots.
    bool buildAttempt(Layout* layout, TileList& order) override;
    // The rack is dealt again from the order's first tiles; kept, the rest is the queue.
    void dealSideBoard(Layout* board, const TileList& order, bool keep) override;
    // A copy of the next queued tile (suits 5 and 6 with a random value 0 to 3), or null.
    Tile* nextTile() override;
    // Puts the tile back into its slot; the tile the refill put there goes back to the queue.
    void restoreSideBoardTile(Layout* layout, Tile* tile) override;
    void setLevel(Level* level) override;
    void restartLevel() override;
    void save(PropertyNode* node) override;
    // A board tile is never selected alone; side-board clicks only take super-hint tiles.
    void onTileClicked(int32_t x, int32_t y) override;
    // The clicked tile matches some tile of the side board.
    bool completesSelection() override;
    void resetHintCounters() override;

    const TileList& getSideBoardOrder() const { return sideBoardOrder; }
    const TileList& getSideBoardOrderUndo() const { return sideBoardOrderUndo; }
    const TileList& getInitialOrder() const { return initialOrder; }
    uint32_t getSideBoardAttempts() const { return sideBoardAttempts; }
    uint32_t getBoardAttempts() const { return boardAttempts; }

protected:
    // The constructor of GameSpeed.
    GameSplit(PropertyNode* saved, GameType gameType);
    // A new side-board tile with the face of `source`.
    static Tile* copyFace(const Tile* source);
    // The side board's slot count, 0 without a side board.
    static int32_t slotCount(Layout* layout);

private:
    void loadSideBoardOrder(PropertyNode* saved);
    // The queue as the level began, from what a game kept without it holds: the queue, then
    // the handed out tiles newest last, without those the first deal put on the side board.
    void rebuildInitialOrder();
    // Whether `order` can be the level start's queue: one tile of the first board per tile the
    // first deal left off the side board, at distinct places, each with its key there.
    bool coversLevelStart(const TileList& order) const;
    // A queue for the level start found from its first board and side board alone, with which
    // the board can be emptied.
    void queueFromLevelStart();

    SharedFaces faces;            // the face records every deal of this game hands out
    TileList sideBoardOrder;      // the queue; its last entry comes next
    TileList sideBoardOrderUndo;  // handed out, in the order taken
    TileList initialOrder;
    uint32_t sideBoardAttempts = 0;
    uint32_t boardAttempts = 0;
};
