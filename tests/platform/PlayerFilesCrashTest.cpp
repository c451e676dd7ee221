#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "PlayerFilesFixture.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/PlayerManager.h"
#include "testsupport/EndWithParent.h"

namespace player_files_crash_test {

constexpr int32_t PADDING_VALUES = 400;

// Saves the list, both profiles, a saved game and the scores over and over, each round with
// new contents, until killed. Writes one byte to `ready` once every file exists (after the second
// round). Runs in the child process: it never returns.
[[noreturn]] void saveForever(int ready) {
    RefHolder<PlayerManager> players(new PlayerManager("1", true));
    auto* ann = static_cast<TestPlayer*>(players->addPlayer(new TestPlayer("Ann")));
    auto* bob = static_cast<TestPlayer*>(players->addPlayer(new TestPlayer("Bob")));
    RefHolder<HighScoreManager> scores(new HighScoreManager("1", true));
    RefHolder<HighScoreTable> table(new HighScoreTable(10, true));
    scores->setTable("best", table.get());
    for (int32_t round = 1; round < 200000; ++round) {
        TestPlayer* current = round % 2 ? ann : bob;
        current->pairs = round;
        players->setCurrentPlayer(current);
        bool saved = players->savePlayers();

        // A saved game large enough that a kill often lands inside its write.
        RefHolder<PropertyStore> game(new PropertyStore());
        game->addChild(new PropertyValue("round", round));
        auto* padding = static_cast<PropertyVector*>(game->addChild(new PropertyVector("pad")));
        for (int32_t i = 0; i < PADDING_VALUES; ++i) {
            padding->addChild(new PropertyValue("", round + i));
        }
        const auto written = players->writeSaveGame(game.get(), "0", "Ann");
        saved = written == PlayerManager::SaveGameWrite::WRITTEN && saved;

        table->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("Ann", round, true)));
        saved = scores->save() && saved;
        if (!saved) {
            _exit(2);
        }
        if (round == 2 && write(ready, "r", 1) != 1) {
            _exit(3);
        }
    }
    _exit(0);
}

using PlayerFilesCrashTest = PlayerFilesTest;

TEST_F(PlayerFilesCrashTest, AKilledSaveLeavesEveryFileOldOrNewNeverBroken) {
    // Delays in microseconds between the second finished round and the kill.
    for (const int delay : {0, 300, 1000, 2500, 4000, 7000, 11000, 17000, 23000, 31000}) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t parent = getpid(), child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            endWithParent(parent);
            close(ready[0]);
            saveForever(ready[1]);
        }
        close(ready[1]);
        char byte = 0;
        const bool started = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        usleep(static_cast<useconds_t>(delay));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(started) << "the child failed before its second round";
        // Killed inside the loop, not ended by a failed save or the round limit.
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << delay;

        // Every file reads whole, with the contents of one of the rounds.
        RefHolder<PlayerManager> players(new PlayerManager("1", true));
        players->loadPlayers();
        ASSERT_EQ(players->getPlayers().size(), 2u) << delay;
        for (const char* name : {"Ann", "Bob"}) {
            RefHolder<TestPlayer> profile(new TestPlayer(name));
            EXPECT_TRUE(players->loadPlayer(profile.get())) << name << " " << delay;
            EXPECT_GE(profile->pairs, 1) << name << " " << delay;
        }

        RefHolder<PropertyStore> game(new PropertyStore());
        ASSERT_TRUE(players->loadSaveGame(game.get(), "0", "Ann")) << delay;
        const int32_t round = game->getChildValue("round")->getInt();
        EXPECT_GE(round, 1);
        PropertyVector* padding = game->getChildVector("pad");
        ASSERT_EQ(padding->getChildCount(), PADDING_VALUES) << delay;
        EXPECT_EQ(padding->getChildAt(PADDING_VALUES - 1)->getInt(), round + PADDING_VALUES - 1);

        RefHolder<HighScoreManager> scores(new HighScoreManager("1", true));
        scores->load();
        HighScoreTable* table = scores->getTable("best");
        ASSERT_NE(table, nullptr) << delay;
        ASSERT_FALSE(table->getEntries().empty());
        EXPECT_LE(table->getEntries().size(), 10u);
        EXPECT_GE(table->getEntries().front()->getScore(), 1);
    }
}

}  // namespace player_files_crash_test
