#pragma once
// The game scene on the game's own definitions, art and levels, with a current player, for the
// tests of the time bar and the bonus bar.
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/screen/BonusBar.h"
#include "game/screen/TimeBar.h"
#include "screen/GameSceneFixture.h"

class BarsTest : public GameSceneTest {
protected:
    void SetUp() override {
        GameSceneTest::SetUp();
        if (!std::filesystem::exists("media/images/game/timebar_fill.png")) {
            GTEST_SKIP() << "the game art is not built";
        }
        player = addPlayer();
        TileManager::createInstance();
        Random::createInstance(33);
        loadResources({"BONUS_STAR"}, "default");
        makeScene({});
    }

    // Shows the scene on the level behind the door.
    Game* play(int32_t floor, int32_t room) {
        Game* game = show(LevelCatalog::instance()->findLevel(floor, room));
        reachPlay();
        return game;
    }
    // Through the level notice, the host's hint and the build, into play.
    void reachPlay() {
        for (int32_t ms = 0; ms < 30000 && scene->getFlow().getCurrentState(); ms += 16) {
            if (scene->isDialogOpen("DIALOG_DORRICK_HINT")) {
                objectCast<DialogQuovelMahjong>(scene->findDialog("DIALOG_DORRICK_HINT"))
                    ->closeAsOwnTarget(nullptr);
            }
            frame(16);
        }
        EXPECT_TRUE(scene->isPlaying());
    }
    TimeBar& timeBar() { return *scene->getTimeBar(); }
    BonusBar& bonusBar() { return *scene->getBonusBar(); }

    QuovelMahjongPlayer* player = nullptr;
};
