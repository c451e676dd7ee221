// The time bar on the game scene: the clock of a level runs down frame by frame, warns in its
// last seconds, stops while paused, takes a time bonus, and is saved and restored.
#include "screen/BarsFixture.h"

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/gui/Dialog.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Layout.h"
#include "game/rules/TuningConstants.h"

namespace time_bar_test {

TEST_F(BarsTest, TheTimeRunsDownWarnsStopsWhilePausedAndEndsAtZero) {
    Game* game = play(1, 1);
    // The level's full time is its ms per tile times its tiles, and the rules see it.
    const int32_t full =
        game->getLevel()->getPlayTime().getInt() * game->getLayout()->getStartingTileCount();
    EXPECT_EQ(scene->getTimeValue().getMaximum(), full);
    EXPECT_EQ(&scene->getTimeValue(), &timeBar().getTime());
    EXPECT_EQ(timeBar().getX(), LevelFlow::TIME_BAR_X);

    timeBar().getTime() = DisplayValue(60000, 0, 60000);
    timeBar().reset();
    Sprite* filling = objectCast<Sprite>(scene->findChild("TIMEBAR_FILLING"));
    Sprite* hand = objectCast<Sprite>(scene->findChild("TIMEBAR_ROTATE"));
    Sprite* glow = objectCast<Sprite>(scene->findChild("TIMEBAR_GLOW"));
    ASSERT_TRUE(filling && hand && glow);
    EXPECT_EQ(timeBar().getShownTop(), static_cast<float>(filling->getY()));
    const int32_t warnAt = tuning().TIME_ALMOST_UP_ANIM;
    int32_t frames = 0;
    bool warned = false;
    while (timeBar().getTime().getValue() > 0 && frames < 1000) {
        const int32_t before = timeBar().getTime().getValue();
        frame(100);
        ++frames;
        ASSERT_EQ(timeBar().getTime().getValue(), before - 100) << frames;
        ASSERT_EQ(timeBar().getTime().getShown(), before - 100);
        const bool animating = !hand->getRunningModifiers().empty();
        ASSERT_EQ(animating,
                  timeBar().getTime().getValue() < warnAt && timeBar().getTime().getValue() >= 1)
            << timeBar().getTime().getValue();
        warned = warned || animating;
        // The filling's top follows the time down, never ahead of it.
        ASSERT_GE(timeBar().getShownTop() + 0.5f, static_cast<float>(filling->getY()));
        if (frames == 300) {
            // Half the time: the clip shows the lower half, gliding toward it.
            EXPECT_NEAR(timeBar().fillTop(), filling->getY() + filling->getHeight() / 2.0f, 1.0f);
            // A paused screen stops the clock and the warnings.
            RefHolder<Dialog> dialog(new Dialog(nullptr));
            GameDialogHost::get()->onDialogOpened(dialog.get());
            frame(100);
            EXPECT_EQ(timeBar().getTime().getValue(), before - 100);
            GameDialogHost::get()->onDialogClosed(dialog.get());
        }
    }
    EXPECT_EQ(frames, 600) << "60000 ms in 100 ms frames";
    EXPECT_TRUE(warned);
    frame(100);
    EXPECT_EQ(timeBar().getTime().getValue(), 0) << "never below 0";
    EXPECT_TRUE(hand->getRunningModifiers().empty());
    EXPECT_EQ(hand->getFrame(), 0);
    EXPECT_EQ(glow->getAlpha(), 0);
    runFrames(100, 100);
    EXPECT_NEAR(timeBar().getShownTop(), static_cast<float>(filling->getY() + filling->getHeight()),
                0.5f);
    ASSERT_TRUE(filling->getClipRect().has_value());
    EXPECT_EQ(filling->getClipRect()->h, 0) << "an empty bar shows no filling";
}

TEST_F(BarsTest, ATimeBonusRaisesTheValueAtOnceAndTheFillingWhenItArrives) {
    play(1, 2);
    DisplayValue& time = timeBar().getTime();
    time = DisplayValue(20000, 0, 60000);
    for (int i = 0; i < 100; ++i) {
        frame(20);  // settle the filling
    }
    const float settled = timeBar().getShownTop();
    time.add(15000);
    EXPECT_EQ(time.getValue(), 33000);
    EXPECT_EQ(time.getShown(), 18000);
    frame(20);
    EXPECT_NEAR(timeBar().getShownTop(), settled, 1.0f) << "nothing shows before the arrival";
    time.arrive(15000);
    frame(20);
    const float target = timeBar().fillTop();
    EXPECT_LT(timeBar().getShownTop(), settled) << "the filling rises";
    EXPECT_GT(timeBar().getShownTop(), target) << "and glides rather than jumps";
    runFrames(100, 20);
    EXPECT_NEAR(timeBar().getShownTop(), timeBar().fillTop(), 0.5f);

    // A maximum of 0 shows an empty bar, never a division by it.
    time = DisplayValue(0, 0, 0);
    auto* filling = objectCast<Sprite>(scene->findChild("TIMEBAR_FILLING"));
    EXPECT_EQ(timeBar().fillTop(), static_cast<float>(filling->getY() + filling->getHeight()));
}

TEST_F(BarsTest, ASavedTimeBarComesBackWithItsMaximumAndRefusesForeignNodes) {
    Game* game = play(1, 3);
    timeBar().getTime() = DisplayValue(45000, 0, 90000);
    RefHolder<PropertyNode> saved(new PropertyNode("timeBar", "TimeBar"));
    timeBar().save(saved.get());
    EXPECT_EQ(saved->getChildValue("currentTime")->getInt(), 45000);
    EXPECT_EQ(saved->getChildValue("maxTime")->getInt(), 90000);

    // Restored through the scene from the player's saved game, above the default 30000 ms.
    RefHolder<PropertyNode> savedGame(new PropertyNode("game"));
    savedGame->addChild(saved.get());
    player->keepSavedGame(savedGame.get());
    TimeBar* old = &timeBar();
    scene->getFlow().setupBars();
    EXPECT_NE(&timeBar(), old);
    EXPECT_TRUE(old->isRemoved());
    EXPECT_EQ(timeBar().getTime().getMaximum(), 90000);
    EXPECT_EQ(timeBar().getTime().getValue(), 45000);
    EXPECT_EQ(timeBar().getTime().getShown(), 45000);

    // Saved values out of range are clamped.
    const auto restored = [this](int32_t current, int32_t maximum) {
        RefHolder<PropertyNode> node(new PropertyNode("timeBar", "TimeBar"));
        node->addChild(new PropertyValue("currentTime", current));
        node->addChild(new PropertyValue("maxTime", maximum));
        RefHolder<TimeBar> bar(new TimeBar(node.get(), scene.get()));
        return std::make_pair(bar->getTime().getValue(), bar->getTime().getMaximum());
    };
    EXPECT_EQ(restored(200000, 50000), std::make_pair(50000, 50000));
    EXPECT_EQ(restored(-7, 50000), std::make_pair(0, 50000));
    EXPECT_EQ(restored(1000, -5), std::make_pair(0, 0));

    // A node that names another class is refused: a fresh bar for the level instead.
    RefHolder<PropertyNode> foreign(new PropertyNode("game"));
    RefHolder<PropertyNode> wrong(new PropertyNode("timeBar", "BonusBar"));
    wrong->addChild(new PropertyValue("currentTime", 5));
    wrong->addChild(new PropertyValue("maxTime", 10));
    foreign->addChild(wrong.get());
    player->keepSavedGame(foreign.get());
    scene->getFlow().setupBars();
    const int32_t full =
        game->getLevel()->getPlayTime().getInt() * game->getLayout()->getStartingTileCount();
    EXPECT_EQ(timeBar().getTime().getMaximum(), full);
    EXPECT_EQ(timeBar().getTime().getValue(), full);
    EXPECT_EQ(objectCast<TimeBar>(&timeBar()), &timeBar());
}

}  // namespace time_bar_test
