#include "game/profile/HighScoreTables.h"

#include <algorithm>
#include <set>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/HighScoreTable.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongScoreEntry.h"

namespace {

// Rows 0-4 by game type: Classic, FreeCell, Split, Triple, River, Speed.
constexpr int32_t PRESET_SCORES[HighScoreTables::ROWS][HighScoreTables::PRESET_COLUMNS] = {
    {150000, 150000, 200000, 160000, 200000, 200000},
    {175000, 175000, 250000, 185000, 225000, 225000},
    {200000, 200000, 300000, 210000, 250000, 250000},
    {225000, 225000, 350000, 235000, 275000, 275000},
    {250000, 250000, 400000, 260000, 300000, 300000},
};
constexpr int32_t EXTRA_NAME_DRAWS = 10;
constexpr int32_t FIRST_PRESET_LEVEL = 2;

}  // namespace

int32_t HighScoreTables::presetScore(int32_t row, GameType gameType) {
    if (row < 0 || row >= ROWS || gameType < 0 || gameType >= PRESET_COLUMNS) {
        return 0;
    }
    return PRESET_SCORES[row][gameType];
}

void HighScoreTables::createTable(HighScoreTable* table, GameType gameType) {
    if (!table) {
        return;
    }
    BasicProperties* values = BasicProperties::instance();
    PropertyVector* names = values ? values->getVector("CTEXT_HIGHSCORE_NAMES") : nullptr;
    const int32_t nameCount = names ? names->getChildCount() : 0;
    Random* random = Random::getInstance();
    std::set<int32_t> used;
    for (int32_t row = 0; row < ROWS; ++row) {
        std::string name;
        // An empty list of names gives empty names rather than a draw modulo zero.
        if (nameCount > 0) {
            auto draw = [&] { return random ? random->nextInt(0, nameCount) : row % nameCount; };
            int32_t position = draw();
            for (int32_t extra = 0; extra < EXTRA_NAME_DRAWS && used.count(position); ++extra) {
                position = draw();
            }
            used.insert(position);
            if (AbstractProperty* child = names->getChildAt(position)) {
                name = child->getValue();
            }
        }
        table->addScore(RefHolder<HighScoreEntry>(new QuovelMahjongScoreEntry(
            name, presetScore(row, gameType), false, row + FIRST_PRESET_LEVEL)));
    }
}

int32_t addHighScore(HighScoreTable* table, HighScoreEntry* entry) {
    const RefHolder<HighScoreEntry> held(entry);
    if (!table) {
        return -1;
    }
    const int32_t place = table->addScore(held);
    if (HighScoreManager* manager = HighScoreManager::getInstance(); manager && place >= 0) {
        PlayerFileReport::saved(PlayerFileReport::SavedFiles::HIGH_SCORES, manager->save());
    }
    return place;
}

HighScoreTable* getHighScoreTable(const std::string& key, GameType gameType, bool fillDefaults) {
    HighScoreManager* manager = HighScoreManager::getInstance();
    if (!manager) {
        return nullptr;
    }
    HighScoreTable* table = manager->getTable(key);
    if (!table) {
        RefHolder<HighScoreTable> made(new HighScoreTable(HighScoreTables::ROWS, true));
        manager->setTable(key, made.get());
        table = made.get();
    }
    // An incomplete table gets five more presets on every call; the mini-game's table relies
    // on being topped up this way.
    if (fillDefaults && static_cast<int32_t>(table->getEntries().size()) != HighScoreTables::ROWS) {
        // The presets' own insertions must not take the place of the newest score: it keeps
        // pointing at that entry wherever the presets push it (or at none once it drops out).
        const auto& entries = table->getEntries();
        const int32_t last = table->getLastScore();
        RefHolder<HighScoreEntry> newest;
        if (last >= 0 && last < static_cast<int32_t>(entries.size())) {
            newest = entries[static_cast<size_t>(last)];
        }
        HighScoreTables::createTable(table, gameType);
        const auto found = std::find(entries.begin(), entries.end(), newest);
        table->setLastScore(
            newest && found != entries.end() ? static_cast<int32_t>(found - entries.begin()) : -1);
    }
    return table;
}
