#pragma once

#include <cstdint>
#include <string>

#include "game/rules/GameType.h"

class HighScoreEntry;
class HighScoreTable;

// The five-row high-score tables of the casino, the roof and the mini-game: looked up by key
// in the HighScoreManager, made on first use and topped up with preset entries whose names
// come from the text list "CTEXT_HIGHSCORE_NAMES".
class HighScoreTables {
public:
    static constexpr int32_t ROWS = 5;
    // Game types with a column of preset scores: the five casino types and Speed.
    static constexpr int32_t PRESET_COLUMNS = 6;

    // Adds the five preset entries of the game type (rows 0 to 4, levels 2 to 6).
    static void createTable(HighScoreTable* table, GameType gameType);
    // The preset score of a row (0-4) and game type (0-5); 0 outside the table.
    static int32_t presetScore(int32_t row, GameType gameType);
};

// Adds a player's score to the table and, when it made the table, writes the high-score file
// at once (a failure is told to the player), so that no later crash loses it. The new
// position, or -1.
int32_t addHighScore(HighScoreTable* table, HighScoreEntry* entry);

// The table registered under the key, made (five entries, best first) when missing. With
// fillDefaults, a table not holding exactly five entries gets the five presets added to what
// it holds (the table keeps the best five). The manager keeps the table; null only without
// a manager.
HighScoreTable* getHighScoreTable(const std::string& key, GameType gameType, bool fillDefaults);
