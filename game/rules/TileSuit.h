#pragma once

#include <cstdint>
#include <string>

#include "framework/core/BaseObject.h"

class PropertyNode;

// One suit of tile faces as the global "suitDefs" describe it: how many faces it has and whether
// its tiles match only face to face ("exact") or every tile of the suit with every other
// ("suit"). The tile manager numbers the suits in the order it reads them.
class TileSuit : public BaseObject {
    QUOVEL_TYPE(TileSuit)
public:
    static constexpr int32_t MATCH_EXACT = 0;
    static constexpr int32_t MATCH_SUIT = 1;

    // Reads "size", "numAppears", "image", "matchType", "faceXIdx" and "faceYIdx".
    explicit TileSuit(PropertyNode* definition);

    int32_t getIndex() const { return index; }
    void setIndex(int32_t value) { index = value; }
    int32_t getSize() const { return size; }
    int32_t getAppearances() const { return appearances; }
    const std::string& getImage() const { return image; }
    bool matchesAsWhole() const { return matchType != MATCH_EXACT; }
    int32_t getFaceColumn() const { return faceColumn; }
    int32_t getFaceRow() const { return faceRow; }

private:
    int32_t index = -1;
    int32_t size = 0;
    int32_t appearances = 0;
    std::string image;
    int32_t matchType = MATCH_EXACT;
    int32_t faceColumn = 0;
    int32_t faceRow = 0;
};
