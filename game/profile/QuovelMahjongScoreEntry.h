#pragma once

#include <cstdint>
#include <string>

#include "framework/platform/HighScoreEntry.h"

// The game's high-score entry: a score with the level the player reached in that game. The
// tables of the casino, of the game over and of the mini-game hold entries of this class, and
// rebuild them from their file under the factory name "QuovelMahjongScore".
class QuovelMahjongScoreEntry : public HighScoreEntry {
    QUOVEL_TYPE(QuovelMahjongScoreEntry)
public:
    QuovelMahjongScoreEntry(std::string playerName, int32_t score, bool isPlayerScore,
                            int32_t level);
    // The base's values, then "level".
    explicit QuovelMahjongScoreEntry(PropertyNode* node);

    int32_t getLevel() const { return level; }

    // The base's values under the type word "QuovelMahjongScore", then an untyped "level".
    void writeProperties(AbstractProperty* target) override;

private:
    int32_t level = 0;
};
