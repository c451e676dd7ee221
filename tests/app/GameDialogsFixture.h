#pragma once

// The game's own dialogs over the game (level end, menu, pause, help): the choice-dialog
// fixture's window, recording sound device, settings and player "Ann", with the game's art,
// sounds and texts of these dialogs loaded and a current game on an authored floor level whose
// room kind, outcome, score and times each test sets.

#include <string>
#include <vector>

#include "app/ChoiceDialogsFixture.h"
#include "framework/core/Random.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TileManager.h"

class GameDialogsTest : public ChoiceDialogsTest {
protected:
    void SetUp() override {
        ChoiceDialogsTest::SetUp();
        TileManager::createInstance();
        Random::createInstance(7);
        loadResources({"IMAGE_BUTTON_CONTINUE", "IMAGE_BUTTON_HELP", "IMAGE_BUTTON_SETTINGS",
                       "IMAGE_BUTTON_STOP", "IMAGE_BUTTON_RESUME", "IMAGE_BUTTON_TROPHIES",
                       "IMAGE_BUTTON_LOBBY", "BONUS_STAR"},
                      "default");
        loadResources({"IMAGE_BUTTON_YES", "IMAGE_BUTTON_NO"}, "preloading");
        loadResources({"IMAGE_LEVEL_END", "IMAGE_GAMEOVER", "LEVEL_END_BOX", "LEVEL_END_DIVIDER",
                       "IMAGE_PAUSE", "SOUND_SCORE_TICK", "SOUND_RECORD_BROKEN", "SOUND_PAUSE",
                       "SOUND_UNPAUSE"},
                      "game");
    }

    // A game of floor 2, room 3 made current, in the room kind given, with its outcome.
    Game* playLevel(int32_t roomKind, bool won, int32_t score, int32_t realTime,
                    int32_t clockTime) {
        RefHolder<Level> level = LevelCatalog::instance()->findLevel(2, 3);
        EXPECT_NE(level.get(), nullptr);
        level->setGameMode(static_cast<RoomKind>(roomKind));
        Game* game = Game::create(level->getGameType());
        game->setLevel(level.get());
        // The middle difficulty: the casino and the roof keep records per difficulty.
        level->setDifficulty(1);
        game->setHasWon(won);
        game->getScore().set(score);
        game->runCounts.realTime = realTime;
        game->runCounts.clockTime = clockTime;
        return game;
    }
    // How many of the files played since the last call end in `name`.
    int countPlayed(const std::vector<std::string>& files, const std::string& name) {
        int count = 0;
        for (const std::string& file : files) {
            count += file.size() >= name.size() &&
                     file.compare(file.size() - name.size(), name.size(), name) == 0;
        }
        return count;
    }
};
