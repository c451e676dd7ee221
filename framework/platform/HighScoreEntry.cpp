#include "framework/platform/HighScoreEntry.h"

#include <utility>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(HighScoreEntry, &BaseObject::typeRecord)
QUOVEL_REGISTER_CLASS(HighScoreEntry)

HighScoreEntry::HighScoreEntry(std::string playerName, int32_t score, bool isPlayerScore)
    : playerName(std::move(playerName)), score(score), isPlayerScore(isPlayerScore) {}

HighScoreEntry::HighScoreEntry(PropertyNode* node) {
    PropertyNode* source = nodeOrDummy(node);
    playerName = source->getChildValue("playername")->getValue();
    score = source->getChildValue("scorevalue")->getInt();
    const std::string flag = source->getChildValue("isplayerscore")->getValue();
    isPlayerScore = !flag.empty() && flag != "false";
}

void HighScoreEntry::writeProperties(AbstractProperty* target) {
    PropertyNode* node = nodeOrDummy(target);
    if (node->isDummy()) {  // the null node would not take (nor free) the values
        return;
    }
    node->setTypeWord("HighScoreEntry");
    node->addChild(new PropertyValue("scorevalue", score));
    node->addChild(new PropertyValue("playername", playerName));
    node->addBool("isplayerscore", isPlayerScore, false);
}

bool HighScoreEntry::lessOrEqual(const HighScoreEntry& other) const {
    return score <= other.score;
}
