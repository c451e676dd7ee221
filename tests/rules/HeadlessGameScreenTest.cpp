#include <gtest/gtest.h>

#include "framework/core/PropertyNode.h"
#include "game/rules/Layout.h"
#include "rules/RecordingGameScreen.h"
#include "testsupport/rules/HeadlessGameScreen.h"
#include "testsupport/rules/RulesFixtures.h"

namespace headless_game_screen_test {

using rules_test::makeTile;
using rules_test::RecordingGameScreen;
using rules_test::ScopedGameScreen;

TEST(HeadlessGameScreen, PointsFindTheTopmostPresentTileOfTheirCell) {
    RefHolder<Layout> layout(new Layout(DUMMY_NODE, TYPE_CLASSIC, -1));
    RefHolder<Tile> low = makeTile(10, 4, 0);
    RefHolder<Tile> high = makeTile(11, 5, 1);
    layout->placeTile(low.get(), 10, 4, 0);
    layout->placeTile(high.get(), 11, 5, 1);
    // Cells of 20 x 30 pixels from (100, 50).
    HeadlessGameScreen screen(20, 30, 100, 50);
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 100 + 10 * 20, 50 + 4 * 30), low.get());
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 100 + 11 * 20 + 19, 50 + 5 * 30 + 29), high.get());
    high->setVisible(false);
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 100 + 11 * 20, 50 + 5 * 30), low.get());
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 99, 50), nullptr);
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 100 + 41 * 20, 50), nullptr);
    EXPECT_EQ(screen.tileAtPoint(nullptr, 0, 0), nullptr);
}

TEST(HeadlessGameScreen, TheChainCounterRisesWithEveryMatchUpTo99) {
    HeadlessGameScreen screen;
    EXPECT_EQ(screen.getChainCounter(), 0);
    screen.addBonusPoints(100);
    screen.addBonusPoints(150);
    EXPECT_EQ(screen.getChainCounter(), 2);
    EXPECT_EQ(screen.getBonusPoints(), 250);
    for (int i = 0; i < 200; ++i) {
        screen.addBonusPoints(1);
    }
    EXPECT_EQ(screen.getChainCounter(), 99);

    EXPECT_EQ(screen.getTimeValue().getValue(), 30000);
    screen.getTimeValue().add(-45000);
    EXPECT_EQ(screen.getTimeValue().getValue(), 0);
    screen.setSuperHintCounter(3);
    EXPECT_EQ(screen.getSuperHintCounter(), 3);
}

TEST(HeadlessGameScreen, TheRulesTalkToTheInstalledScreen) {
    IGameScreen* headless = &getGameScreen();
    EXPECT_EQ(&getGameScreen(), headless);  // one process-wide fallback
    {
        RecordingGameScreen recording;
        ScopedGameScreen installed(recording);
        EXPECT_EQ(&getGameScreen(), &recording);
        RefHolder<Tile> tile = makeTile(3, 4, 5);
        getGameScreen().showTileBlocked(tile.get());
        getGameScreen().addBonusPoints(20);
        EXPECT_EQ(recording.calls,
                  (std::vector<std::string>{"showTileBlocked 3,4,5", "addBonusPoints 20"}));
        EXPECT_EQ(recording.getChainCounter(), 1);
    }
    EXPECT_EQ(&getGameScreen(), headless);
}

TEST(HeadlessGameScreen, FadeOutsFinishAgainstTheClock) {
    HeadlessGameScreen screen;
    RefHolder<RenderTile> tile(screen.createRenderTile(1, 2, 0, 30, 41));
    tile->addLook({TileLook::PLAIN, 0, 0, 0});
    EXPECT_TRUE(tile->takeRedrawRequest());
    EXPECT_FALSE(tile->takeRedrawRequest());
    tile->updateTopLook(1000);
    EXPECT_FALSE(tile->isOutOfGrid());
    tile->addLook({TileLook::FADE_OUT, 0, 0, 250});
    tile->updateTopLook(249);
    EXPECT_FALSE(tile->isOutOfGrid());
    tile->updateTopLook(1);
    EXPECT_TRUE(tile->isOutOfGrid());
}

}  // namespace headless_game_screen_test
