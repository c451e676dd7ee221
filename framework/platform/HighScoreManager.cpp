#include "framework/platform/HighScoreManager.h"

#include "framework/core/BasicProperties.h"
#include "framework/core/ProcessInstance.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"

QUOVEL_DEFINE_TYPE(HighScoreManager, &BaseObject::typeRecord)

namespace {

constinit ProcessInstance<HighScoreManager> processScores;

}  // namespace

HighScoreManager::HighScoreManager(const std::string& version, bool scrambled)
    : version(version), scrambled(scrambled) {
    if (this->version.empty() && BasicProperties::instance()) {
        this->version = BasicProperties::instance()->getString("HIGHSCORES_VERSION");
    }
}

void HighScoreManager::createInstance(const std::string& version, bool scrambled) {
    processScores.create([&] { return new HighScoreManager(version, scrambled); });
}

void HighScoreManager::releaseInstance() {
    processScores.release();
}

HighScoreManager* HighScoreManager::getInstance() {
    return processScores.get();
}

std::string HighScoreManager::getScoresFileName() const {
    const std::string folder = getGameDataFolder() + "/players";
    createFolderTree(folder);
    return folder + "/scores.xml";
}

void HighScoreManager::load() {
    RefHolder<PropertyStore> store(new PropertyStore());
    store->setSourceMode(fileMode());
    const bool read = store->loadFile(getScoresFileName());
    PropertyNode* stored = store->getChildNode("highscoretables");
    if (!read || stored->isDummy() || stored->getChildValue("version")->getValue() != version) {
        // A file that exists but holds no tables of this version (damaged, another kind of
        // file, another version) is kept, never saved over.
        fileHeld = !setAsideUnloadableFile(fileMode(), getScoresFileName(),
                                           {StoredFileKind::HIGH_SCORES, {}, !stored->isDummy()});
        return;
    }
    PropertyVector* list = stored->getChildVector("scoretables");
    for (int32_t i = 0; i < list->getChildCount(); ++i) {
        PropertyNode* definition = nodeOrDummy(list->getChildAt(i));
        RefHolder<HighScoreTable> table(new HighScoreTable(definition));
        if (!keepLastScore) {
            table->setLastScore(-1);
        }
        setTable(definition->getName(), table.get());
    }
}

bool HighScoreManager::save() {
    // A file held unread is not written; that is no failure: it was told when it was found.
    if (fileHeld) {
        return true;
    }
    RefHolder<PropertyStore> store(new PropertyStore());
    auto* root = static_cast<PropertyNode*>(
        store->addChild(new PropertyNode("highscoretables", "HighScoreTables")));
    root->addChild(new PropertyValue("version", version));
    auto* list = static_cast<PropertyVector*>(root->addChild(new PropertyVector("scoretables")));
    for (const auto& [name, table] : tables) {
        auto* node =
            static_cast<PropertyNode*>(list->addChild(new PropertyNode(name, "ScoreTable")));
        table->toProperties(node);
    }
    store->setSourceMode(fileMode());
    store->setSaveFileName(getScoresFileName());
    return store->save();
}

void HighScoreManager::setTable(const std::string& name, HighScoreTable* table) {
    if (!table) {
        tables.erase(name);
        return;
    }
    tables[name] = table;
}

HighScoreTable* HighScoreManager::getTable(const std::string& name) const {
    const auto found = tables.find(name);
    return found == tables.end() ? nullptr : found->second.get();
}
