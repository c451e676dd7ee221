// The hidden arcade game on the game's own definitions, art and texts, driven frame by frame
// with mouse input through the scene: the casino's nine hidden clicks open it, a scripted
// player shoots (with the whole ship on the screen) until it stops and the tiles end the game
// (one score in the table, even when two tiles land in one frame), a new opening is a new game,
// the levels' pace and the spawn rules, hits with their margins, points and floaters, the level
// end with its power-ups, the weapons' cooldown, queue, special shots and bombs (one thrown
// under a falling tile destroys it), and the captions' lifetimes. Pictures of a game under way
// and of its game over go to build/pictures/gui.

#include <algorithm>
#include <set>

#include "app/GameServicesFixture.h"
#include "framework/gui/Label.h"
#include "framework/os/Messages.h"
#include "framework/platform/Image.h"
#include "game/dialogs/DialogKillerStones.h"
#include "game/profile/QuovelMahjongScoreEntry.h"
#include "gui/HeadlessPicture.h"
#include "gui/TextLayoutAudit.h"

namespace dialog_killer_stones_test {

using Stones = DialogKillerStones;

class KillerStonesTest : public SceneTest {
protected:
    KillerStonesTest() {
        startServices(
            {.seed = 48,
             .sections = {"preloading", "default", "trophy", "elevator", "hallway", "game"},
             .highScores = true});
        plain = new Scene(nullptr);
        scene = plain.get();
        manager->addScene("plain", plain.get());
        manager->requestScene(scene);
        manager->update(0);
    }
    void TearDown() override {
        plain.reset();
        SceneTest::TearDown();
    }

    // The game as the scene opens it by name, with the pointer at x (as the window reports
    // it, so the input handler knows where it is).
    Stones* open(int32_t mouseX = 400) {
        post(WM_MOUSEMOVE, 0, mouseX, 500);
        manager->update(0);
        auto* game = objectCast<Stones>(scene->getDialog("DIALOG_KILLER_STONES"));
        scene->openDialog(game);
        return game;
    }
    // A message of the game window, replayed to the scene's input in the next frame.
    void post(uint32_t message, uint32_t buttons, int32_t x, int32_t y) {
        scene->getInputHandler()->onWindowMessage(message, buttons,
                                                  static_cast<uint32_t>(x | y << 16));
    }
    void run(int32_t ms) {
        for (int32_t t = 0; t < ms; t += FRAME_MS) {
            manager->update(FRAME_MS);
        }
    }
    // Frames in which no tile is left to fall.
    void runWithoutTiles(Stones* game, int32_t ms) {
        for (int32_t t = 0; t < ms; t += FRAME_MS) {
            game->clearTiles(false);
            manager->update(FRAME_MS);
        }
    }
    void click(int32_t x, int32_t y) {
        scene->getInputHandler()->onLeftButtonDown(x, y, 1, false);
        scene->getInputHandler()->onLeftButtonUp(x, y, 0);
    }
    void rightClick(int32_t x, int32_t y) {
        scene->getInputHandler()->onRightButtonDown(x, y, 2, false);
        scene->getInputHandler()->onRightButtonUp(x, y, 0);
    }
    // A tile held still at (x, y), in the game's tile list.
    static Sprite* stillTile(Stones* game, int32_t x, int32_t y) {
        Sprite* tile = game->spawnTile();
        GameNode::removeAllModifiers(tile);
        tile->setPosition(x, y);
        return tile;
    }
    // The labels among the game's components that read `text` in a font.
    static int countLabels(Stones* game, const std::wstring& text) {
        int count = 0;
        for (GameNode* node = game->getComponents()->getFirstChild(); node;
             node = node->getNextSibling()) {
            if (auto* label = objectCast<Label>(node);
                label && !label->isRemoved() && label->getFont() && label->getText() == text) {
                ++count;
            }
        }
        return count;
    }
    static HighScoreTable* table() {
        return HighScoreManager::getInstance()->getTable(Stones::SCORE_TABLE);
    }

    RefHolder<Scene> plain;
    // Where the game opens: the plain scene, or the casino.
    Scene* scene = nullptr;
};

TEST_F(KillerStonesTest, NineClicksInTheCasinoOpenItAndAScriptedPlayerPlaysToGameOver) {
    auto* player =
        objectCast<QuovelMahjongPlayer>(PlayerManager::getInstance()->getCurrentPlayer());
    ASSERT_NE(player, nullptr);
    player->unlockedStuff[0] = 2;
    player->showHints = false;
    Scene* casino = manager->createScene("SCENE_CASINO");
    ASSERT_NE(casino, nullptr);
    manager->requestScene(casino);
    ASSERT_GT(runUntil([&] { return manager->getCurrentScene() == casino; }, 3000), 0);
    run(1000);
    scene = casino;
    // The casino's hidden sequence: chips, cards, dice in its order, as the window reports it.
    const int32_t spots[3][2] = {{440, 470}, {330, 440}, {750, 492}};
    const int32_t order[9] = {0, 1, 2, 0, 2, 1, 1, 0, 2};
    for (int i = 0; i < 9; ++i) {
        const auto [x, y] = spots[order[i]];
        EXPECT_FALSE(casino->isDialogOpen("DIALOG_KILLER_STONES"));
        post(WM_MOUSEMOVE, 0, x, y);
        post(WM_LBUTTONDOWN, 1, x, y);
        post(WM_LBUTTONUP, 0, x, y);
        manager->update(FRAME_MS);
    }
    ASSERT_TRUE(casino->isDialogOpen("DIALOG_KILLER_STONES"));
    auto* game = objectCast<Stones>(casino->findDialog("DIALOG_KILLER_STONES"));
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->getShipX(), 750.0f);  // under the pointer of the last click
    EXPECT_EQ(game->getLevel(), 0);
    EXPECT_EQ(game->getBombsLabel()->getText(), L"Bombs: 3");
    EXPECT_EQ(game->getBulletsLabel()->getAlpha(), 100);
    EXPECT_EQ(game->getScoreLabel()->getText(), L"Score: 0");

    // The ship follows the pointer and stops on it without overshooting.
    post(WM_MOUSEMOVE, 0, 150, 500);
    float furthest = game->getShipX();
    runUntil(
        [&] {
            furthest = std::min(furthest, game->getShipX());
            return false;
        },
        800);
    EXPECT_EQ(game->getShipX(), 150.0f);
    EXPECT_EQ(furthest, 150.0f);
    EXPECT_EQ(game->getShip()->getX(), 150);
    // Steered against either edge the ship stays whole on the screen and clear of the status
    // labels in the corners.
    for (const int32_t edge : {0, 799}) {
        post(WM_MOUSEMOVE, 0, edge, 500);
        run(700);
        expectClearPicture(scene, "killer-stones-edge-" + std::to_string(edge), game);
    }
    post(WM_MOUSEMOVE, 0, 150, 500);
    run(700);

    // The first tile falls 4500 ms after the opening.
    run(4500 - 2900 - 3 * FRAME_MS);
    EXPECT_TRUE(game->getTiles().empty());
    run(4 * FRAME_MS);
    ASSERT_EQ(game->getTiles().size(), 1u);

    // The player chases the lowest tile and fires whenever it stands under it.
    bool pictured = false;
    const int32_t hitsAt = runUntil(
        [&] {
            const auto& tiles = game->getTiles();
            if (tiles.empty()) {
                return false;
            }
            const Sprite* lowest =
                std::max_element(tiles.begin(), tiles.end(), [](auto& a, auto& b) {
                    return a->getY() < b->getY();
                })->get();
            scene->getInputHandler()->onMouseMove(lowest->getX(), 500, 0);
            if (std::abs(game->getShip()->getX() - lowest->getX()) < 10) {
                click(lowest->getX(), 500);
            }
            if (!pictured && game->getHits() >= 4 && !game->getShots().empty() &&
                lowest->getY() > 150) {
                EXPECT_NE(writeScenePicture(scene, "killer-stones-mid-game"), nullptr);
                pictured = true;
            }
            return game->getHits() >= 8 || game->isGameOver();
        },
        60000);
    ASSERT_GT(hitsAt, 0);
    EXPECT_FALSE(game->isGameOver());
    EXPECT_TRUE(pictured);
    // The whole ship is on the screen: the last drawn row of its picture stays above the bottom
    // edge, also while the ship swells to 110 % about its centre at each shot.
    Sprite* ship = game->getShip();
    Image* hull = ship->getImage();
    ASSERT_TRUE(hull->lock());
    int32_t lastRow = -1;
    for (int32_t y = 0; y < hull->getHeight(); ++y) {
        for (int32_t x = 0; x < hull->getWidth(); ++x) {
            if (*hull->getAlphaAddress(x, y) > 0) {
                lastRow = y;
            }
        }
    }
    hull->unlock();
    ASSERT_GE(lastRow, 0);
    EXPECT_GE(ship->getY() - hull->getHeight() / 2, 0);
    EXPECT_LE(ship->getY() + (lastRow + 1 - hull->getHeight() / 2) * 1.1, 600.0);
    EXPECT_GE(game->getScore(), 8 * 20);
    EXPECT_EQ(game->getScoreLabel()->getText(), L"Score: " + std::to_wstring(game->getScore()));

    // The player stops: a tile reaches the bottom, the screen empties, the score is entered.
    ASSERT_GT(runUntil([&] { return game->isGameOver(); }, 20000), 0);
    const int32_t score = game->getScore();
    ASSERT_NE(table(), nullptr);
    ASSERT_EQ(table()->getEntries().size(), 1u);
    EXPECT_EQ(table()->getEntries()[0]->getPlayerName(), "Ann");
    EXPECT_EQ(table()->getEntries()[0]->getScore(), score);
    EXPECT_EQ(objectCast<QuovelMahjongScoreEntry>(table()->getEntries()[0].get())->getLevel(), 0);
    EXPECT_EQ(countLabels(game, L"GAME OVER"), 1);
    EXPECT_EQ(countLabels(game, L"Ann"), 1);
    EXPECT_EQ(countLabels(game, L"1"), 1);  // the first level is shown as level 1
    run(2 * FRAME_MS);
    EXPECT_TRUE(game->getTiles().empty());
    EXPECT_TRUE(game->getShots().empty());

    // A click during the wait does nothing; after it the caption asks for one, which closes.
    click(400, 300);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_KILLER_STONES"));
    ASSERT_GT(runUntil([&] { return game->getContinueLabel() != nullptr; }, 1100), 0);
    run(600);
    EXPECT_NE(writeScenePicture(scene, "killer-stones-game-over"), nullptr);
    RefHolder<Stones> closed = game;
    click(400, 300);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_KILLER_STONES"));
    EXPECT_EQ(scene->findDialog("DIALOG_KILLER_STONES"), nullptr);

    // A new opening is a new game.
    Stones* again = open();
    ASSERT_NE(again, closed.get());
    EXPECT_EQ(again->getScore(), 0);
    EXPECT_EQ(again->getLevel(), 0);
    EXPECT_FALSE(again->isGameOver());
    // Escape closes in any state, at once.
    scene->getInputHandler()->onKeyUp(27);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_KILLER_STONES"));
}

TEST_F(KillerStonesTest, TwoTilesLandingInOneFrameEndTheGameOnce) {
    Stones* game = open();
    game->spawnTile();
    game->spawnTile();
    ASSERT_GT(runUntil([&] { return game->isGameOver(); }, 3000), 0);
    run(FRAME_MS);
    ASSERT_NE(table(), nullptr);
    EXPECT_EQ(table()->getEntries().size(), 1u);
    EXPECT_EQ(countLabels(game, L"GAME OVER"), 1);
    EXPECT_EQ(countLabels(game, L"Name"), 1);
}

TEST_F(KillerStonesTest, LevelsGetFasterAndTilesKeepTheirDistance) {
    Stones* game = open();
    const auto spawnSome = [&](int count, std::set<int32_t>& tags) {
        for (int i = 0; i < count; ++i) {
            tags.insert(game->spawnTile()->getTag());
        }
        game->clearTiles(false);
    };
    // Spawn places are drawn at least 100 apart, the first of a level 100 from 0.
    int32_t previousX = 0;
    for (int i = 0; i < 40; ++i) {
        Sprite* tile = game->spawnTile();
        EXPECT_EQ(tile->getTag(), Stones::TILE_STRAIGHT);  // level 0: nobody weaves
        EXPECT_GE(tile->getX(), 40);
        EXPECT_LT(tile->getX(), 760);
        EXPECT_GE(std::abs(tile->getX() - previousX), 100);
        previousX = tile->getX();
    }
    game->clearTiles(false);
    EXPECT_EQ(game->getCooldownProgression().getInt(), 225);
    EXPECT_EQ(game->getSpawnProgression().getInt(), 1600);
    EXPECT_EQ(game->getFallProgression().getInt(), 2200);

    const int32_t bombs = game->getBombs();
    game->nextLevel();
    EXPECT_EQ(game->getLevel(), 1);
    EXPECT_EQ(game->getBombs(), bombs + 2);
    EXPECT_EQ(game->getSpawnTimer(), 2000);
    EXPECT_EQ(countLabels(game, L"Level 2"), 1);
    Sprite* first = game->spawnTile();
    EXPECT_GE(first->getX(), 100);
    game->clearTiles(false);

    for (int level = 2; level <= 22; ++level) {
        game->nextLevel();
        std::set<int32_t> tags;
        if (level == 8) {
            EXPECT_EQ(game->getCooldownProgression().getInt(), 425);
        }
        if (level == 9) {
            EXPECT_EQ(game->getSpawnProgression().getInt(), 300);
        }
        if (level == 13) {
            EXPECT_EQ(game->getWeaveProgression().getInt(), 1000);
            spawnSome(30, tags);
            EXPECT_EQ(tags, std::set<int32_t>{Stones::TILE_WEAVING});  // every tile weaves
        }
        if (level == 21) {
            EXPECT_EQ(game->getFallProgression().getInt(), 625);
        }
    }
    EXPECT_EQ(game->getFallProgression().getInt(), 600);
    EXPECT_EQ(game->getCooldownProgression().getInt(), 425);
    EXPECT_EQ(game->getSpawnProgression().getInt(), 300);
}

TEST_F(KillerStonesTest, HitsTakeTheFirstShotAndScoreByTileAndShot) {
    Stones* game = open();
    run(FRAME_MS);
    // Two shots on one tile: the first in list order hits, the second stays.
    Sprite* tile = stillTile(game, 200, 200);
    Sprite* first = game->createShot(200, 200, true);
    Sprite* second = game->createShot(205, 200, true);
    run(FRAME_MS);
    EXPECT_EQ(game->getHits(), 1);
    EXPECT_EQ(game->getScore(), 20);
    EXPECT_TRUE(std::none_of(game->getShots().begin(), game->getShots().end(),
                             [&](auto& s) { return s.get() == first; }));
    EXPECT_TRUE(std::any_of(game->getShots().begin(), game->getShots().end(),
                            [&](auto& s) { return s.get() == second; }));
    EXPECT_TRUE(std::none_of(game->getTiles().begin(), game->getTiles().end(),
                             [&](auto& t) { return t.get() == tile; }));
    EXPECT_EQ(countLabels(game, L"20"), 1);
    EXPECT_EQ(game->getScoreLabel()->getText(), L"Score: 20");
    game->clearShots(false);

    // Margins: a shot of 40 x 40 whose picture reaches 7 pixels into the tile's hit area meets
    // it as an ordinary shot (margin 5) but not as a bomb star (margin 10).
    RefHolder<Image> picture = Image::createImage(40, 40, 4);
    const int32_t reach = tile->getWidth() / 2 - 10 + 20 - 7;
    Sprite* near = stillTile(game, 400, 300);
    Sprite* star = game->createShot(400 + reach, 300, true);
    star->setImage(picture.get());
    star->setAnchor(Sprite::ANCHOR_CENTER);
    star->setTag(Stones::SHOT_BOMB_STAR);
    run(FRAME_MS);
    EXPECT_EQ(game->getHits(), 1);
    star->setTag(Stones::SHOT_PLAIN);
    run(FRAME_MS);
    EXPECT_EQ(game->getHits(), 2);
    EXPECT_TRUE(std::none_of(game->getTiles().begin(), game->getTiles().end(),
                             [&](auto& t) { return t.get() == near; }));

    // A weaving tile is worth 50; a shield bar costs 250 and is used up; a frag piece doubles.
    Sprite* weaver = stillTile(game, 300, 200);
    weaver->setTag(Stones::TILE_WEAVING);
    game->createShot(300, 200, true);
    run(FRAME_MS);
    EXPECT_EQ(game->getScore(), 20 + 20 + 50);
    EXPECT_EQ(countLabels(game, L"50"), 1);

    stillTile(game, 500, 200);
    Sprite* shield = game->createShot(500, 200, true);
    shield->setTag(Stones::SHOT_SHIELD);
    run(FRAME_MS);
    EXPECT_EQ(game->getScore(), 90 - 250);
    EXPECT_EQ(countLabels(game, L"-250"), 1);
    EXPECT_TRUE(game->getShots().empty());

    stillTile(game, 600, 250);
    Sprite* piece = game->createShot(600, 250, true);
    piece->setTag(Stones::SHOT_FRAG_PIECE);
    run(FRAME_MS);
    EXPECT_EQ(game->getScore(), -160 + 40);
    EXPECT_EQ(countLabels(game, L"20x2"), 1);

    // A frag shot bursts into pieces that hit only from the next frame on, for double points.
    stillTile(game, 200, 400);
    Sprite* frag = game->createShot(200, 400, true);
    frag->setTag(Stones::SHOT_FRAG);
    stillTile(game, 200, 400);
    run(FRAME_MS);
    EXPECT_EQ(game->getHits(), 6);
    const size_t pieces = game->getShots().size();
    EXPECT_GE(pieces, 8u);
    EXPECT_LE(pieces, 13u);
    EXPECT_TRUE(std::all_of(game->getShots().begin(), game->getShots().end(),
                            [](auto& s) { return s->getTag() == Stones::SHOT_FRAG_PIECE; }));
    run(FRAME_MS);
    EXPECT_EQ(game->getHits(), 7);
    EXPECT_EQ(game->getScore(), -120 + 20 + 40);
}

TEST_F(KillerStonesTest, ABombThrownUnderAFallingTileDestroysIt) {
    Stones* game = open(100);
    run(FRAME_MS);
    // A tile falling as the game spawns it; the ship waits under it until it is near.
    Sprite* tile = game->spawnTile();
    scene->getInputHandler()->onMouseMove(tile->getX(), 500, 0);
    ASSERT_GT(runUntil([&] { return tile->getY() >= 450; }, 3000), 0);
    ASSERT_EQ(game->getShip()->getX(), tile->getX());
    rightClick(tile->getX(), 500);
    EXPECT_EQ(game->getBombs(), 2);
    EXPECT_GT(runUntil([&] { return game->getHits() == 1; }, 800), 0);
    EXPECT_TRUE(std::none_of(game->getTiles().begin(), game->getTiles().end(),
                             [&](auto& t) { return t.get() == tile; }));
    EXPECT_EQ(game->getScore(), 20);
    run(1000);
    EXPECT_FALSE(game->isGameOver());
}

TEST_F(KillerStonesTest, TwentyFiveHitsClearALevelWithPowerUpsAtTheTenthsOnly) {
    Stones* game = open();
    run(FRAME_MS);
    std::vector<int32_t> awarded;
    const auto hit = [&] {
        stillTile(game, 400, 150);
        game->createShot(400, 150, true);
        const int32_t previous = game->getPreviousPowerUp();
        const int32_t hits = game->getHits();
        run(FRAME_MS);
        EXPECT_EQ(game->getHits(), hits + 1);
        // Never the same power-up twice in a row, so every award changes the last one.
        if (game->getPreviousPowerUp() != previous) {
            awarded.push_back(game->getHits());
        }
    };
    for (int i = 0; i < 25; ++i) {
        hit();
    }
    EXPECT_EQ(awarded, (std::vector<int32_t>{10, 20}));
    EXPECT_TRUE(game->isLevelCleared());
    EXPECT_EQ(countLabels(game, L"Bonus:"), 2);
    run(FRAME_MS);
    EXPECT_TRUE(game->getShots().empty());
    EXPECT_TRUE(game->getTiles().empty());
    click(400, 300);  // during the wait: nothing
    EXPECT_EQ(game->getLevel(), 0);
    ASSERT_GT(runUntil([&] { return game->getContinueLabel() != nullptr; }, 1100), 0);
    EXPECT_EQ(game->getContinueLabel()->getText(), L"Click to continue");
    click(400, 300);
    EXPECT_EQ(game->getLevel(), 1);
    EXPECT_FALSE(game->isLevelCleared());
    EXPECT_EQ(game->getPowerUp(), Stones::POWER_UP_NONE);
    EXPECT_EQ(game->getContinueLabel(), nullptr);
    for (int i = 0; i < 25; ++i) {
        hit();
    }
    EXPECT_EQ(awarded, (std::vector<int32_t>{10, 20, 30, 40}));
    EXPECT_TRUE(game->isLevelCleared());
    EXPECT_EQ(game->getHits(), 50);
}

TEST_F(KillerStonesTest, ShotsQueueDuringTheCooldownSpecialShotsCountDownAndBombsRunOut) {
    Stones* game = open(300);
    runWithoutTiles(game, FRAME_MS);
    const auto shotsOf = [&](int32_t tag) {
        return std::count_if(game->getShots().begin(), game->getShots().end(),
                             [tag](auto& s) { return s->getTag() == tag; });
    };
    // One shot now, the clicks during the cooldown give one more when it has run out.
    click(300, 500);
    EXPECT_EQ(game->getShots().size(), 1u);
    EXPECT_EQ(game->getFireCooldown(), 225);
    click(300, 500);
    click(300, 500);
    EXPECT_TRUE(game->isShotQueued());
    EXPECT_EQ(game->getShots().size(), 1u);
    runWithoutTiles(game, 225);
    EXPECT_EQ(game->getShots().size(), 2u);
    EXPECT_FALSE(game->isShotQueued());
    runWithoutTiles(game, 250);
    EXPECT_EQ(game->getShots().size(), 2u);
    runWithoutTiles(game, 700);  // both shots have flown off
    EXPECT_TRUE(game->getShots().empty());

    // Ten laser shots, each a standing column of 24; clicks during their cooldown are dropped.
    game->grantPowerUp(Stones::POWER_UP_LASER);
    runWithoutTiles(game, 400);
    EXPECT_EQ(game->getBulletsLabel()->getAlpha(), 255);
    EXPECT_EQ(game->getBulletsLabel()->getText(), L"Bullets: 10");
    click(300, 500);
    EXPECT_EQ(shotsOf(Stones::SHOT_PLAIN), 24);
    click(300, 500);
    EXPECT_FALSE(game->isShotQueued());
    EXPECT_EQ(game->getSpecialShotsLeft(), 9);
    for (int i = 0; i < 8; ++i) {
        runWithoutTiles(game, 500);
        click(300, 500);
    }
    EXPECT_EQ(game->getSpecialShotsLeft(), 1);
    EXPECT_EQ(game->getSpecialKind(), Stones::SPECIAL_LASER);
    runWithoutTiles(game, 500);
    click(300, 500);  // the tenth is still a laser
    EXPECT_EQ(shotsOf(Stones::SHOT_PLAIN), 24);
    EXPECT_EQ(game->getSpecialKind(), Stones::SPECIAL_NONE);
    EXPECT_EQ(game->getBulletsLabel()->getText(), L"Bullets: 0");
    runWithoutTiles(game, 500);
    EXPECT_EQ(game->getBulletsLabel()->getAlpha(), 100);
    EXPECT_TRUE(game->getShots().empty());
    click(300, 500);  // the eleventh is ordinary
    EXPECT_EQ(game->getShots().size(), 1u);

    // Rapid fire: every click fires at once, whatever the cooldown, for six seconds.
    game->grantPowerUp(Stones::POWER_UP_RAPID_FIRE);
    click(300, 500);
    click(300, 500);
    EXPECT_EQ(game->getShots().size(), 3u);
    EXPECT_FALSE(game->isShotQueued());
    runWithoutTiles(game, 6100);
    EXPECT_EQ(game->getPowerUp(), Stones::POWER_UP_NONE);

    // Frag shots; while rapid fire runs they are not counted down.
    game->grantPowerUp(Stones::POWER_UP_FRAG);
    runWithoutTiles(game, 500);
    click(300, 500);
    EXPECT_EQ(shotsOf(Stones::SHOT_FRAG), 1);
    EXPECT_EQ(game->getSpecialShotsLeft(), 9);
    game->grantPowerUp(Stones::POWER_UP_RAPID_FIRE);
    click(300, 500);  // special shots still wait for the cooldown
    EXPECT_EQ(shotsOf(Stones::SHOT_FRAG), 1);
    runWithoutTiles(game, 300);
    click(300, 500);
    EXPECT_EQ(shotsOf(Stones::SHOT_FRAG), 2);
    EXPECT_EQ(game->getSpecialShotsLeft(), 9);

    // Three bombs of 25 stars each, then one that changes nothing but the label's blink.
    game->clearShots(false);
    for (int i = 0; i < 3; ++i) {
        rightClick(300, 500);
    }
    EXPECT_EQ(game->getBombs(), 0);
    EXPECT_EQ(shotsOf(Stones::SHOT_BOMB_STAR), 75);
    EXPECT_EQ(game->getBombsLabel()->getText(), L"Bombs: 0");
    rightClick(300, 500);
    EXPECT_EQ(game->getBombs(), 0);
    EXPECT_EQ(shotsOf(Stones::SHOT_BOMB_STAR), 75);
    runWithoutTiles(game, 420);  // the last bomb's shake, then the blink
    EXPECT_LT(game->getBombsLabel()->getAlpha(), 255);

    // A shield: two bars on the sides at y 500, there for about nine seconds.
    game->clearShots(false);
    game->grantPowerUp(Stones::POWER_UP_SHIELD);
    ASSERT_EQ(shotsOf(Stones::SHOT_SHIELD), 2);
    const Sprite* right = game->getShots()[0].get();
    EXPECT_EQ(right->getX() + right->getWidth() / 2, 795);
    EXPECT_EQ(game->getShots()[1]->getX() - game->getShots()[1]->getWidth() / 2, 5);
    runWithoutTiles(game, 8000);
    EXPECT_EQ(shotsOf(Stones::SHOT_SHIELD), 2);
    runWithoutTiles(game, 1500);
    EXPECT_EQ(shotsOf(Stones::SHOT_SHIELD), 0);

    const int32_t score = game->getScore();
    game->grantPowerUp(Stones::POWER_UP_SCORE);
    EXPECT_EQ(game->getScore(), score + 1000);
    game->grantPowerUp(Stones::POWER_UP_BOMB);
    EXPECT_EQ(game->getBombs(), 1);
    // Each power-up is announced by its pick-up text, under the "Bonus:" header.
    const std::wstring captions[] = {L"Shoot!",      L"Laser!", L"Frag!",
                                     L"Extra bomb!", L"Shield", L"+1000 Score!"};
    for (int32_t kind = Stones::POWER_UP_RAPID_FIRE; kind <= Stones::POWER_UP_SCORE; ++kind) {
        const int before = countLabels(game, captions[kind]);
        game->grantPowerUp(kind);
        EXPECT_EQ(countLabels(game, captions[kind]), before + 1) << kind;
    }
}

TEST_F(KillerStonesTest, CaptionsWaitUnseenPopInRiseAndGo) {
    Stones* game = open();
    Label* caption = game->showHeader(L"Hello", true, 0, 500, 1000);
    const int32_t width = caption->getWidth();
    run(480);
    ASSERT_TRUE(caption->getStretchRect().has_value());
    EXPECT_EQ(caption->getStretchRect()->w, 0);
    EXPECT_EQ(caption->getY(), 300);
    run(400);  // the pop-in (350 ms) is over
    EXPECT_EQ(caption->getStretchRect()->w, width);
    EXPECT_LT(caption->getY(), 300);
    RefHolder<Label> held = caption;
    // Its life is delay + 350 + duration; each step of the running list may start in the
    // frame the one before it ended, so it is over up to a frame per step early.
    const int32_t gone = runUntil([&] { return caption->getParent() == nullptr; }, 2000);
    ASSERT_GT(gone, 0);
    EXPECT_GE(880 + gone, 500 + 350 + 1000 - 5 * FRAME_MS);
    EXPECT_LE(880 + gone, 500 + 350 + 1000 + FRAME_MS);
    EXPECT_EQ(caption->getY(), 200);
    EXPECT_EQ(caption->getAlpha(), 0);
}

}  // namespace dialog_killer_stones_test
