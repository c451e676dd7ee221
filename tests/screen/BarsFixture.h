#pragma once
// The game scene on the game's own definitions, art and levels, with a current player, for the
// tests of the time bar and the bonus bar.
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
    TimeBar& timeBar() { return *scene->getTimeBar(); }
    BonusBar& bonusBar() { return *scene->getBonusBar(); }

    QuovelMahjongPlayer* player = nullptr;
};
