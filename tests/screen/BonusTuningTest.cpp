// The bars' tuning against the authored levels: a plain player who takes the first free pair
// it sees, at a steady pace and without hints, plays every level of the first floor on the game
// scene with the real time bar and bonus bar. Most levels give at least silver, some gold, and
// not all of them gold.
#include "screen/BarsFixture.h"

#include <cstdio>

#include "game/rules/Layout.h"
#include "game/rules/Tile.h"

namespace bonus_tuning_test {

// The first pair of free tiles, in the board's order, that the game type lets match.
bool takeFirstFreePair(Game* game) {
    Game::TileList free;
    game->getLayout()->getFreeTiles(free);
    for (size_t i = 0; i < free.size(); ++i) {
        for (size_t j = i + 1; j < free.size(); ++j) {
            if (game->canMatch(free[i].get(), free[j].get())) {
                game->clearSelection();
                game->addSelectedTile(free[i].get());
                game->addSelectedTile(free[j].get());
                game->removePair();
                return true;
            }
        }
    }
    return false;
}

TEST_F(BarsTest, APlainPlayerReachesSilverOnMostFirstFloorLevelsAndGoldOnSome) {
    // Milliseconds between two matches of the plain player: well inside the levels' time.
    constexpr int32_t PACE_MS = 3000;
    constexpr int32_t FRAME_MS = 50;
    int32_t silver = 0;
    int32_t gold = 0;
    for (int32_t room = 1; room <= 5; ++room) {
        Game* game = play(1, room);
        ASSERT_NE(game->getLayout(), nullptr);
        bool cleared = false;
        while (timeBar().getTime().getValue() > 0) {
            if (!takeFirstFreePair(game)) {
                break;  // stuck: the plain player gives up
            }
            if (game->getLayout()->getTileCount() == 0) {
                cleared = true;
                break;
            }
            for (int32_t t = 0; t < PACE_MS; t += FRAME_MS) {
                frame(FRAME_MS);
            }
        }
        const int32_t score = game->getScore().getValue();
        std::printf("room %d: %s, score %d (silver %d, gold %d), bonuses %d\n", room,
                    cleared ? "cleared" : "not cleared", score, game->getLevel()->getSilver(),
                    game->getLevel()->getGold(), game->screenCounts.bonusesClaimed);
        silver += cleared && score >= game->getLevel()->getSilver();
        gold += cleared && score >= game->getLevel()->getGold();
        scene->hide();
    }
    EXPECT_GE(silver, 3);
    EXPECT_GE(gold, 1);
    EXPECT_LT(gold, 5);
}

}  // namespace bonus_tuning_test
