#pragma once

#include <cstdint>
#include <string>

#include "framework/core/BaseObject.h"

class AbstractProperty;
class PropertyNode;

// One score of a high-score table: who made it, the score, and whether a player made it (preset
// scores are not). Factory name "HighScoreEntry"; the game's entry class derives from it and
// writes its own values after these.
class HighScoreEntry : public BaseObject {
    QUOVEL_TYPE(HighScoreEntry)
public:
    HighScoreEntry(std::string playerName, int32_t score, bool isPlayerScore);
    // From "playername", "scorevalue" and "isplayerscore" (true unless empty or "false").
    explicit HighScoreEntry(PropertyNode* node);

    const std::string& getPlayerName() const { return playerName; }
    int32_t getScore() const { return score; }
    bool getIsPlayerScore() const { return isPlayerScore; }

    // Sets the node's type word to "HighScoreEntry" and adds "scorevalue", "playername" and
    // "isplayerscore" (nothing when the target is not a node).
    virtual void writeProperties(AbstractProperty* target);
    // Whether this score is at most the other's.
    virtual bool lessOrEqual(const HighScoreEntry& other) const;

private:
    std::string playerName;
    int32_t score = 0;
    bool isPlayerScore = false;
};
