// A whole classic level without a screen: the level and its layout come from files, the level
// is built, and it is played to a win by clicks, with undos along the way.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/PropertyStore.h"
#include "game/rules/GameClassic.h"
#include "rules/GameTestSupport.h"
#include "rules/RecordingGameScreen.h"
#include "testsupport/TempFolder.h"

namespace game_end_to_end_test {

std::string layoutXml() {
    std::string xml =
        "<root><Layout id=\"layout\" displayname=\"TEXT_PYRAMID\"><Vector id=\"tiles\">";
    for (const game_test::Position& p : game_test::pyramid144()) {
        xml += "<Tile x=\"" + std::to_string(p[0]) + "\" y=\"" + std::to_string(p[1]) + "\" z=\"" +
               std::to_string(p[2]) + "\"/>";
    }
    return xml + "</Vector></Layout></root>";
}

TEST(GameEndToEnd, AClassicLevelFromFilesIsPlayedToAWinWithUndos) {
    TempFolder folder;
    writeTestFile(folder.path / "media/levels/pyramid.xml", layoutXml());
    writeTestFile(folder.path / "media/properties/levels/test.xml",
                  "<root><Level id=\"level\" gameType=\"Classic\" layout=\"pyramid.xml\" "
                  "pointsPerMatch=\"20\" timeBonus=\"200\" tileDistMin=\"2\" tileDistMax=\"9\" "
                  "gameMode=\"0\" floor=\"2\" room=\"3\" silver=\"1000\" gold=\"5000\"/></root>");
    CurrentFolderScope inside(folder.path);
    game_test::ScopedSuits suits;
    rules_test::RecordingGameScreen screen;
    rules_test::ScopedGameScreen screenScope(screen);
    Random::createInstance(2024);

    RefHolder<PropertyStore> store(new PropertyStore());
    ASSERT_TRUE(store->loadFile("media/properties/levels/test.xml"));
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->createObject(store->getChildNode("level")));
    RefHolder<Level> level(objectCast<Level>(made.get()));
    ASSERT_NE(level.get(), nullptr);
    ASSERT_NE(level->getLayoutObject(), nullptr);
    ASSERT_EQ(level->getLayoutObject()->getTileCount(), 144);

    Game* game = Game::create(Game::TYPE_CLASSIC);
    game->setLevel(level.get());
    ASSERT_FALSE(game->getBuildStatistics().levelBuildProblem);
    const Game::TileList order = game->getBuildOrder();
    ASSERT_EQ(order.size(), 144u);

    int64_t expectedScore = 0;
    int32_t undos = 0;
    std::vector<int32_t> scores;  // score of each pair on the board's history
    auto clickTile = [&](Tile* tile) {
        game->onTileClicked(tile->getGridX(), tile->getGridY());
        const int outcome = game->getClickOutcome();
        game->update();
        return outcome;
    };
    for (size_t k = 0; k < order.size(); k += 2) {
        for (int round = 0; round < (k % 20 == 10 ? 2 : 1); ++round) {
            ASSERT_EQ(game->countMatches(nullptr) > 0, true);
            EXPECT_EQ(clickTile(order[k].get()), Game::CLICK_SELECT);
            EXPECT_EQ(clickTile(order[k + 1].get()), Game::CLICK_MATCH);
            const int32_t pairScore = 20 * (screen.getChainCounter() - 1);
            expectedScore += pairScore;
            scores.push_back(pairScore);
            EXPECT_EQ(game->getScore().getValue(), expectedScore);
            if (round == 0 && k % 20 == 10) {
                // Take the pair back and play it again.
                game->undo();
                ++undos;
                expectedScore -= scores.back();
                scores.pop_back();
                EXPECT_EQ(game->getScore().getValue(), expectedScore);
                EXPECT_EQ(game->getLayout()->getTileCount(), static_cast<int>(144 - k));
            }
        }
    }
    EXPECT_EQ(game->getLayout()->getTileCount(), 0);
    EXPECT_EQ(std::count(screen.calls.begin(), screen.calls.end(), "enterGameWon"), 1);
    EXPECT_EQ(game->getScore().getValue(), expectedScore);
    EXPECT_EQ(game->getScore().getShown(), expectedScore);
    EXPECT_EQ(game->runCounts.undoCount, undos);
    EXPECT_TRUE(game->screenCounts.pressedUndo);
    EXPECT_EQ(game->screenCounts.matchCount, 72 + undos);
    EXPECT_EQ(game->levelCounts.removedTilesCount, 144 + 2 * undos);
    EXPECT_EQ(static_cast<int>(game->getUndoHistory().size()), 72);
    Game::TileList removed;
    game->getRemovedTiles(removed);
    EXPECT_EQ(removed.size(), 144u);
    EXPECT_FALSE(game->isStuck(game->countMatches(nullptr)));

    // A restart brings the whole board back from the copy and clears the floor's score.
    game->restartLevel();
    EXPECT_EQ(game->getLayout()->getTileCount(), 144);
    EXPECT_EQ(game->getScore().getValue(), 0);
    Game::releaseCurrent();
    Random::releaseInstance();
}

}  // namespace game_end_to_end_test
