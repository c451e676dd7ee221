#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/HighScoreEntry.h"

class AbstractProperty;
class PropertyNode;

// A ranked list of scores, best first, holding at most `maxEntries`: higher scores rank first
// in a descending table, lower ones in an ascending table. Remembers where the last score went.
class HighScoreTable : public BaseObject {
    QUOVEL_TYPE(HighScoreTable)
public:
    HighScoreTable(int32_t maxEntries, bool descending);
    // From a "ScoreTable" node (the null node when the definition is not one); entries whose
    // type word builds no HighScoreEntry are skipped.
    explicit HighScoreTable(AbstractProperty* definition);

    // Ranks the entry (the table keeps a reference): a new score goes above older equal ones
    // in a descending table and below them in an ascending one. Returns its position, or -1
    // when it did not make the table; that is also the new lastScore.
    virtual int32_t addScore(const RefHolder<HighScoreEntry>& entry);
    // Whether a player's own score (not a preset one) carries exactly this name.
    virtual bool containsPlayer(const std::string& name) const;
    // Writes "descending", "maxentries", "lastscore" and the "entries" vector into the node.
    virtual void toProperties(PropertyNode* node);

    const std::vector<RefHolder<HighScoreEntry>>& getEntries() const { return entries; }
    bool isDescending() const { return descending; }
    int32_t getLastScore() const { return lastScore; }
    void setLastScore(int32_t position) { lastScore = position; }
    int32_t getMaxEntries() const { return maxEntries; }

private:
    std::vector<RefHolder<HighScoreEntry>> entries;
    bool descending = true;
    int32_t lastScore = -1;
    int32_t maxEntries = -1;
};
