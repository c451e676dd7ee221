#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"

class PropertyNode;

// One mahjong stone of a level: a sprite that knows its face (suit and value), whether it lies in
// a side-board slot, whether it is present, and its place in the layout grid (for a slot tile:
// slot column, slot row and 0). Tiles match when their match keys are equal.
class Tile : public Sprite {
    QUOVEL_TYPE(Tile)
public:
    static constexpr int32_t NO_SUIT = 7;

    // Reads "x", "y", "z" and, only with a "suit" child, "suit", "idx" and "sideboard"; the
    // whole-suit flag comes from the tile manager's suit of that number.
    explicit Tile(PropertyNode* definition);
    // Copies every field; both object references are shared.
    Tile(const Tile& other);
    Tile& operator=(const Tile&) = delete;

    // Writes "x", "y", "z", "idx", "suit" and "sideboard" as untyped values into the node, which
    // the owner makes with the type word "Tile".
    virtual void save(PropertyNode* node) const;

    // A hidden tile keeps its node visible; only its present flag changes, and the grid treats
    // its cells as empty.
    void setVisible(bool value) override;

    // (suit << 8) + value, or suit << 8 when the suit matches as a whole.
    int32_t getMatchKey() const;
    // A different tile on the same layer at most 2 cells away on both axes.
    bool isNeighbourOf(const Tile* other) const;
    // Offsets of the tile's face in the tile-face sheet.
    int32_t getFaceOffsetX() const;
    int32_t getFaceOffsetY() const;

    int32_t getSuit() const { return suit; }
    int32_t getValue() const { return value; }
    bool isWholeSuit() const { return wholeSuit != 0; }
    // Gives the tile a face; the whole-suit flag from the tile manager's suit.
    void setFace(int32_t newSuit, int32_t newValue);
    bool isOnSideBoard() const { return onSideBoard != 0; }
    void setOnSideBoard(bool value) { onSideBoard = value ? 1 : 0; }
    bool isPresent() const { return present != 0; }

    int32_t getGridX() const { return gridX; }
    int32_t getGridY() const { return gridY; }
    int32_t getGridZ() const { return gridZ; }
    void setGridPosition(int32_t x, int32_t y, int32_t z);

    // Scratch value of the level builders: distance to the tile they picked.
    int32_t getDistance() const { return distance; }
    void setDistance(int32_t value) { distance = value; }

    // The scene node the game screen attaches to the tile (held by reference), or null.
    GameNode* getEffectNode() const { return effectNode.get(); }
    void setEffectNode(GameNode* node) { effectNode = node; }

    // Whether the game screen last saw the tile free (set for a new tile, so that the first
    // marking darkens every blocked one).
    bool isFreeMarked() const { return freeMark != 0; }
    void setFreeMarked(bool value) { freeMark = value ? 1 : 0; }

private:
    RefHolder<GameNode> effectNode;
    int32_t wholeSuit = 0;
    int32_t suit = NO_SUIT;
    int32_t value = 0;
    uint8_t spareFlag = 0;  // kept and copied with the tile
    uint8_t onSideBoard = 0;
    uint8_t present = 1;
    int32_t distance = 0;
    uint8_t freeMark = 1;
    RefHolder<BaseObject> secondReference;
    int32_t gridX = 0;
    int32_t gridY = 0;
    int32_t gridZ = 0;
};

// Horizontal offset of a face in the tile-face sheet.
int32_t suitFaceOffsetX(int32_t suit, int32_t value);
// Vertical offset of a suit's row in the tile-face sheet.
int32_t suitFaceOffsetY(int32_t suit);
// Appends every tile of the list whose suit equals `suit`.
void collectTilesOfSuit(const std::vector<RefHolder<Tile>>& tiles, int32_t suit,
                        std::vector<RefHolder<Tile>>& out);
