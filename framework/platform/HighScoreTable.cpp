#include "framework/platform/HighScoreTable.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(HighScoreTable, &BaseObject::typeRecord)

HighScoreTable::HighScoreTable(int32_t maxEntries, bool descending)
    : descending(descending), maxEntries(maxEntries) {}

HighScoreTable::HighScoreTable(AbstractProperty* definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (node->getChild("descending")) {
        descending = node->getChildValue("descending")->getBool();
    }
    if (node->getChild("lastscore")) {
        lastScore = node->getChildValue("lastscore")->getInt();
    }
    maxEntries = node->getChildValue("maxentries")->getInt();
    PropertyVector* stored = node->getChildVector("entries");
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    for (int32_t i = 0; i < stored->getChildCount(); ++i) {
        // Held at once, so that an object that is not an entry is freed here.
        const RefHolder<BaseObject> made(factory->createObject(nodeOrDummy(stored->getChildAt(i))));
        if (auto* entry = objectCast<HighScoreEntry>(made.get())) {
            entries.emplace_back(entry);
        }
    }
}

int32_t HighScoreTable::addScore(const RefHolder<HighScoreEntry>& entry) {
    if (!entry) {
        lastScore = -1;
        return lastScore;
    }
    const int32_t count = static_cast<int32_t>(entries.size());
    for (int32_t i = 0; i < count; ++i) {
        if (entries[static_cast<size_t>(i)]->lessOrEqual(*entry) == descending) {
            entries.insert(entries.begin() + i, entry);
            if (static_cast<int32_t>(entries.size()) > maxEntries) {
                entries.pop_back();
            }
            lastScore = i;
            return lastScore;
        }
    }
    if (count < maxEntries) {
        entries.push_back(entry);
        lastScore = count;
    } else {
        lastScore = -1;
    }
    return lastScore;
}

bool HighScoreTable::containsPlayer(const std::string& name) const {
    for (const RefHolder<HighScoreEntry>& entry : entries) {
        if (entry->getIsPlayerScore() && entry->getPlayerName() == name) {
            return true;
        }
    }
    return false;
}

void HighScoreTable::toProperties(PropertyNode* node) {
    if (!node || node->isDummy()) {
        return;
    }
    node->addBool("descending", descending, false);
    node->addChild(new PropertyValue("maxentries", maxEntries));
    node->addChild(new PropertyValue("lastscore", lastScore));
    auto* stored = static_cast<PropertyVector*>(node->addChild(new PropertyVector("entries")));
    for (const RefHolder<HighScoreEntry>& entry : entries) {
        entry->writeProperties(stored->addChild(new PropertyNode("")));
    }
}
