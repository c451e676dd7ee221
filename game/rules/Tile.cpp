#include "game/rules/Tile.h"

#include <cstdlib>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "game/rules/TileManager.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(Tile, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(Tile)

namespace {

bool suitMatchesAsWhole(int32_t suit) {
    const TileManager* manager = TileManager::instance();
    return manager != nullptr && manager->matchesAsWhole(suit);
}

}  // namespace

Tile::Tile(PropertyNode* definition) : Sprite(definition) {
    gridX = definition->getChildValue("x")->getInt();
    gridY = definition->getChildValue("y")->getInt();
    gridZ = definition->getChildValue("z")->getInt();
    if (definition->getChild("suit") != nullptr) {
        suit = definition->getChildValue("suit")->getInt();
        value = definition->getChildValue("idx")->getInt();
        onSideBoard = definition->getChildValue("sideboard")->getBool() ? 1 : 0;
        wholeSuit = suitMatchesAsWhole(suit) ? 1 : 0;
    }
}

Tile::Tile(const Tile& other)
    : Sprite(other),
      effectNode(other.effectNode),
      wholeSuit(other.wholeSuit),
      suit(other.suit),
      value(other.value),
      spareFlag(other.spareFlag),
      onSideBoard(other.onSideBoard),
      present(other.present),
      distance(other.distance),
      freeMark(other.freeMark),
      secondReference(other.secondReference),
      gridX(other.gridX),
      gridY(other.gridY),
      gridZ(other.gridZ) {}

void Tile::save(PropertyNode* node) const {
    node->addChild(new PropertyValue("x", gridX, true));
    node->addChild(new PropertyValue("y", gridY, true));
    node->addChild(new PropertyValue("z", gridZ, true));
    node->addChild(new PropertyValue("idx", value, true));
    node->addChild(new PropertyValue("suit", suit, true));
    node->addChild(PropertyValue::fromBool("sideboard", onSideBoard != 0, true));
}

void Tile::setVisible(bool visible) {
    present = visible ? 1 : 0;
}

int32_t Tile::getMatchKey() const {
    // Shifted as unsigned: suit numbers come from files and may be negative.
    const auto key = static_cast<uint32_t>(suit) << 8;
    return static_cast<int32_t>(wholeSuit != 0 ? key : key + static_cast<uint32_t>(value));
}

bool Tile::isNeighbourOf(const Tile* other) const {
    return other != nullptr && other != this && other->gridZ == gridZ &&
           std::abs(int64_t{other->gridX} - gridX) <= 2 &&
           std::abs(int64_t{other->gridY} - gridY) <= 2;
}

int32_t Tile::getFaceOffsetX() const {
    return suitFaceOffsetX(suit, value);
}

int32_t suitFaceOffsetX(int32_t suit, int32_t value) {
    const int32_t width = tuning().TILE_FACE_WIDTH;
    int64_t offset = int64_t{value} * width;
    if (suit == 4 || suit == 6) {
        offset += 4 * int64_t{width};
    }
    return static_cast<int32_t>(offset);
}

int32_t Tile::getFaceOffsetY() const {
    return suitFaceOffsetY(suit);
}

void Tile::setFace(int32_t newSuit, int32_t newValue) {
    suit = newSuit;
    value = newValue;
    wholeSuit = suitMatchesAsWhole(newSuit) ? 1 : 0;
}

void Tile::setGridPosition(int32_t x, int32_t y, int32_t z) {
    gridX = x;
    gridY = y;
    gridZ = z;
}

int32_t suitFaceOffsetY(int32_t suit) {
    int32_t row = 0;
    if (suit >= 0 && suit <= 2) {
        row = suit;
    } else if (suit == 3 || suit == 4) {
        row = 4;
    } else if (suit == 5 || suit == 6) {
        row = 3;
    }
    return row * (tuning().TILE_FACE_HEIGHT + 1);
}

void collectTilesOfSuit(const std::vector<RefHolder<Tile>>& tiles, int32_t suit,
                        std::vector<RefHolder<Tile>>& out) {
    for (const RefHolder<Tile>& tile : tiles) {
        if (tile && tile->getSuit() == suit) {
            out.push_back(tile);
        }
    }
}
