#include "game/profile/QuovelMahjongScoreEntry.h"

#include <utility>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(QuovelMahjongScoreEntry, &HighScoreEntry::typeRecord)
QUOVEL_REGISTER_CLASS_AS(QuovelMahjongScore, QuovelMahjongScoreEntry)

QuovelMahjongScoreEntry::QuovelMahjongScoreEntry(std::string playerName, int32_t score,
                                                 bool isPlayerScore, int32_t level)
    : HighScoreEntry(std::move(playerName), score, isPlayerScore), level(level) {}

QuovelMahjongScoreEntry::QuovelMahjongScoreEntry(PropertyNode* node)
    : HighScoreEntry(node), level(nodeOrDummy(node)->getChildValue("level")->getInt()) {}

void QuovelMahjongScoreEntry::writeProperties(AbstractProperty* target) {
    HighScoreEntry::writeProperties(target);
    PropertyNode* node = nodeOrDummy(target);
    if (node->isDummy()) {
        return;
    }
    node->setTypeWord("QuovelMahjongScore");
    node->addChild(new PropertyValue("level", level, true));
}
