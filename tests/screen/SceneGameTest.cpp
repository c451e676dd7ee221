// The game scene on the game's own definitions, art and levels: shown over an authored level,
// played by mouse events at screen points computed from its board renderer, with the River's
// hint path drawn piece by piece. Pictures go to build/pictures/gui/.

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "framework/core/StringUtils.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/LayoutRenderer.h"
#include "gui/HeadlessPicture.h"
#include "screen/GameSceneFixture.h"

namespace scene_game_test {

class SceneGameTest : public GameSceneTest {
protected:
    void SetUp() override {
        GameSceneTest::SetUp();
        if (!std::filesystem::exists("media/images/game/cap_0.png")) {
            GTEST_SKIP() << "the game art is not built";
        }
        TileManager::createInstance();
        Random::createInstance(31);
        std::vector<std::string> path;
        for (const char* prefix : {"", "RED_"}) {
            for (const char* key : {"PATH_H", "PATH_V", "CAP_0", "CAP_1", "CAP_2", "CAP_3",
                                    "CORNER_0", "CORNER_1", "CORNER_2", "CORNER_3"}) {
                path.push_back(std::string(prefix) + key);
            }
        }
        makeScene(path);
    }
    // The middle of the tile's face on screen.
    int32_t screenX(const Tile* tile) const {
        return scene->getRenderer()->gridToScreenX(tile->getGridZ(), tile->getGridX()) +
               tuning().RENDERER_TILE_FACE_WIDTH / 2;
    }
    int32_t screenY(const Tile* tile) const {
        return scene->getRenderer()->gridToScreenY(tile->getGridZ(), tile->getGridY()) +
               tuning().RENDERER_TILE_FACE_HEIGHT / 2;
    }
    int32_t click(const Tile* tile) {
        EXPECT_FALSE(scene->onLeftButtonDown(screenX(tile), screenY(tile), 1, false))
            << "the click goes on to the other listeners";
        return Game::current()->getClickOutcome();
    }
    std::wstring labelText(const char* name) {
        auto* label = objectCast<Label>(scene->findChild(name));
        return label ? label->getText() : L"<missing>";
    }
};

TEST_F(SceneGameTest, AClassicLevelIsPlayedToAnEmptyBoardByClicksOnTheScreen) {
    Game* game = play(1, 1);
    ASSERT_NE(game->getLayout(), nullptr);
    const Game::TileList order = game->getBuildOrder();
    const int32_t tileCount = game->getLayout()->getTileCount();
    ASSERT_EQ(static_cast<int32_t>(order.size()), tileCount);

    // The board is centred in the layout panel, over the Classic background, with the floors'
    // HUD: the "_REC" labels and the normal hint button.
    LayoutRenderer* renderer = scene->getRenderer();
    GameNode* panel = scene->findChild("PANEL_LAYOUT");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(renderer->getParent(), panel);
    EXPECT_EQ(renderer->getX(), (690 - renderer->getWidth()) / 2);
    EXPECT_EQ(renderer->getY(), (564 - renderer->getHeight()) / 2);
    EXPECT_EQ(LevelFlow::backgroundKey(TYPE_CLASSIC, 0), "BACKGROUND1");
    EXPECT_EQ(LevelFlow::backgroundKey(TYPE_TRIPLE, 0), "BACKGROUND4");
    EXPECT_EQ(LevelFlow::backgroundKey(TYPE_TRIPLE, 3), "BACKGROUND_CUSTOM3");
    EXPECT_EQ(LevelFlow::musicKey(TYPE_SPEED), "MUSIC_GAME_RIVER");
    EXPECT_NE(scene->getBackgroundImage(), nullptr);
    EXPECT_TRUE(scene->findChild("LABEL_MATCHES_REC")->isVisible());
    EXPECT_FALSE(scene->findChild("LABEL_MATCHES")->isVisible());
    EXPECT_TRUE(scene->findChild("BUTTON_HINT_NORMAL")->isVisible());
    EXPECT_FALSE(scene->findChild("BUTTON_HINT_UNLIMITED")->isVisible());
    EXPECT_TRUE(scene->findChild("NAME_CLASSIC")->isVisible());
    EXPECT_GE(scene->findChild("NAME_CLASSIC")->getY(), 28) << "under the full-screen buttons";
    EXPECT_FALSE(scene->findChild("NAME_RIVER")->isVisible());
    // The first door of a floor is its level 1.
    EXPECT_EQ(labelText("LABEL_LEVEL"), L"1");
    // The time is the whole ms per tile times the tiles of the layout.
    EXPECT_EQ(scene->getTimeValue().getMaximum(),
              game->getLevel()->getPlayTime().getInt() * tileCount);
    frame(16);
    ASSERT_NE(writeScenePicture(scene.get(), "game-first-frame"), nullptr);

    // A blocked tile is refused with its pulse; a right click drops the selection.
    Tile* blocked = nullptr;
    for (const RefHolder<Tile>& tile : order) {
        if (!game->getLayout()->isTileFree(tile.get())) {
            blocked = tile.get();
            break;
        }
    }
    ASSERT_NE(blocked, nullptr);
    EXPECT_EQ(click(blocked), Game::CLICK_BLOCKED);
    // Hover marks only free tiles and gives the look back when the mouse leaves; a selected
    // tile keeps its tint.
    const auto plain = [renderer](const Tile* tile) {
        RenderTile* renderTile = renderer->findRenderTile(const_cast<Tile*>(tile));
        return renderTile->getTopModifier()->getPicture() == LayoutRenderer::getTileImage();
    };
    Tile* free = order[0].get();
    EXPECT_FALSE(plain(blocked)) << "the blocked pulse runs";
    runFrames(60, 20);
    scene->onMouseMove(screenX(blocked), screenY(blocked), 0);
    EXPECT_EQ(scene->getInput().getHoveredTile(), nullptr);
    EXPECT_TRUE(plain(blocked));
    scene->onMouseMove(screenX(free), screenY(free), 0);
    EXPECT_EQ(scene->getInput().getHoveredTile(), free);
    EXPECT_FALSE(plain(free));
    scene->onMouseMove(screenX(blocked), screenY(blocked), 0);
    EXPECT_TRUE(plain(free));
    EXPECT_EQ(click(free), Game::CLICK_SELECT);
    scene->onMouseMove(0, 0, 0);
    EXPECT_FALSE(plain(free));
    EXPECT_TRUE(scene->onRightButtonDown(0, 0, 2, false));
    EXPECT_TRUE(game->getSelection().empty());
    EXPECT_TRUE(plain(free));

    // The score ticker counts to each new score through numbers between; a won level's score
    // shows at once, grouped in thousands.
    const auto grouped = [](int32_t score) { return formatGroupedNumber(score, L","); };
    std::set<std::wstring> reached{L"0"};
    bool between = false;
    for (size_t k = 0; k < order.size(); k += 2) {
        // Hovering the free tile marks it; it stays marked when selected.
        EXPECT_TRUE(scene->onMouseMove(screenX(order[k].get()), screenY(order[k].get()), 0));
        EXPECT_EQ(scene->getInput().getHoveredTile(), order[k].get());
        ASSERT_EQ(click(order[k].get()), Game::CLICK_SELECT) << k;
        ASSERT_EQ(click(order[k + 1].get()), Game::CLICK_MATCH) << k;
        reached.insert(grouped(game->getScore().getValue()));
        if (scene->getFlow().isLevelOver()) {
            EXPECT_EQ(scene->getHud().getScoreLabel()->getText(),
                      grouped(game->getScore().getValue()));
        }
        for (int t = 0; t < 4; ++t, frame(10)) {
            reached.insert(grouped(game->getScore().getShown()));
            between = between || !reached.count(scene->getHud().getScoreLabel()->getText());
        }
        if (k + 2 == order.size() / 2 + (order.size() / 2) % 2) {
            // Let the fading pair finish before the picture.
            runFrames(40, 40);
            ASSERT_NE(writeScenePicture(scene.get(), "game-half-cleared"), nullptr);
            EXPECT_EQ(game->getLayout()->getTileCount(), tileCount - static_cast<int32_t>(k + 2));
        }
    }
    EXPECT_EQ(game->getLayout()->getTileCount(), 0);
    EXPECT_TRUE(scene->getFlow().isLevelOver());
    // Play has ended: the board takes no more clicks.
    EXPECT_FALSE(
        scene->onLeftButtonDown(screenX(order[0].get()), screenY(order[0].get()), 1, false));
    EXPECT_FALSE(scene->onMouseMove(10, 10, 0));
    EXPECT_TRUE(between);
}

TEST_F(SceneGameTest, ARiverPathBuildsUpPieceByPieceBetweenTheSelectedAndTheHoveredTile) {
    Game* game = play(7, 3);
    ASSERT_EQ(game->getLevel()->getGameType(), Game::TYPE_RIVER);
    EXPECT_TRUE(scene->findChild("NAME_RIVER")->isVisible());
    const Game::TileList order = game->getBuildOrder();
    ASSERT_GE(order.size(), 4u);
    Tile* first = order[0].get();
    Tile* partner = order[1].get();

    // A matching pair: the path appears at once when the partner is hovered.
    ASSERT_EQ(click(first), Game::CLICK_SELECT);
    scene->onMouseMove(screenX(partner), screenY(partner), 0);
    scene->update(16);  // the scene's part of the frame, before the animations run
    const TilePath& path = scene->getInput().getPathSegments();
    ASSERT_FALSE(path.empty());
    GameNode* layer = scene->getInput().getHintPathLayer();
    std::vector<Sprite*> pieces;
    for (GameNode* node = layer->getFirstChild(); node; node = node->getNextSibling()) {
        pieces.push_back(objectCast<Sprite>(node));
    }
    ASSERT_GE(pieces.size(), path.size() + 1);
    // Caps and corners of the matching set; nothing shows yet.
    const auto image = [this](const std::string& key) {
        return objectCast<Image>(manager->getResourceHandle(key, "game"));
    };
    std::set<Image*> gold;
    for (const char* key : {"PATH_H", "PATH_V", "CAP_0", "CAP_1", "CAP_2", "CAP_3", "CORNER_0",
                            "CORNER_1", "CORNER_2", "CORNER_3"}) {
        gold.insert(image(key));
    }
    for (Sprite* piece : pieces) {
        ASSERT_NE(piece, nullptr);
        EXPECT_TRUE(gold.count(piece->getImage())) << "a red piece between matching tiles";
        EXPECT_EQ(piece->getAlpha(), 0);
    }
    // The start cap shows first, the end cap last: the path grows towards the hovered tile.
    std::set<Image*> caps;
    for (const char* key : {"CAP_0", "CAP_1", "CAP_2", "CAP_3"}) {
        caps.insert(image(key));
    }
    size_t endCap = pieces.size() - 1;
    while (endCap > 0 && !caps.count(pieces[endCap]->getImage())) {
        --endCap;
    }
    ASSERT_GT(endCap, 0u);
    std::vector<int32_t> shownAt(pieces.size(), -1);
    int32_t elapsed = 0;
    while (std::count(shownAt.begin(), shownAt.end(), -1) > 0 && elapsed < 20000) {
        frame(5);
        elapsed += 5;
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (shownAt[i] < 0 && pieces[i]->getAlpha() > 0) {
                shownAt[i] = elapsed;
            }
        }
    }
    ASSERT_EQ(std::count(shownAt.begin(), shownAt.end(), -1), 0);
    EXPECT_EQ(*std::min_element(shownAt.begin(), shownAt.end()), shownAt.front());
    EXPECT_EQ(*std::max_element(shownAt.begin(), shownAt.end()), shownAt[endCap]);
    EXPECT_LT(shownAt.front(), shownAt[endCap]);
    runFrames(100, 10);
    for (Sprite* piece : pieces) {
        EXPECT_EQ(piece->getAlpha(), 255);
    }
    ASSERT_NE(writeScenePicture(scene.get(), "game-river-path"), nullptr);

    // Moving away clears the path; a path between tiles that do not match is red.
    scene->onMouseMove(0, 0, 0);
    EXPECT_EQ(layer->getFirstChild(), nullptr);
    Tile* other = nullptr;
    for (const RefHolder<Tile>& tile : order) {
        if (tile.get() != first && tile->getGridZ() == first->getGridZ() &&
            !game->canMatch(first, tile.get()) && game->getLayout()->isTileFree(tile.get())) {
            other = tile.get();
            break;
        }
    }
    if (other) {
        scene->getInput().showHintPath(first, other);
        if (!scene->getInput().getPathSegments().empty()) {
            auto* piece = objectCast<Sprite>(layer->getFirstChild());
            ASSERT_NE(piece, nullptr);
            EXPECT_FALSE(gold.count(piece->getImage()));
        }
    }
    // A path drawn for hinted tiles stays while the mouse moves; a right click clears it.
    game->clearSelection();
    game->addSuperHintTile(first);
    game->addSuperHintTile(partner);
    scene->getInput().showHintPath(first, partner);
    ASSERT_NE(layer->getFirstChild(), nullptr);
    scene->onMouseMove(1, 1, 0);
    scene->onMouseMove(screenX(partner), screenY(partner), 0);
    EXPECT_NE(layer->getFirstChild(), nullptr);
    EXPECT_TRUE(scene->onRightButtonDown(0, 0, 2, false));
    EXPECT_EQ(layer->getFirstChild(), nullptr);
    scene->getInput().deselectAll();
    EXPECT_TRUE(game->getSuperHintTiles().empty());
    EXPECT_EQ(click(first), Game::CLICK_SELECT);

    // One tile with itself draws nothing; the pair then matches by clicks.
    scene->getInput().showHintPath(first, first);
    EXPECT_EQ(layer->getFirstChild(), nullptr);
    EXPECT_TRUE(scene->getInput().getPathSegments().empty());
    EXPECT_EQ(click(partner), Game::CLICK_MATCH);
    EXPECT_EQ(game->getLayout()->getTileCount(), static_cast<int32_t>(order.size()) - 2);
}

TEST_F(SceneGameTest, ARecRoomSplitLevelShowsTheRecRoomHud) {
    std::vector<RefHolder<Level>> levels;
    LevelCatalog::instance()->levelsOfRoom(levels, Game::TYPE_SPLIT);
    ASSERT_FALSE(levels.empty());
    levels.front()->setGameMode(RoomKind::RECROOM);
    Game* game = play(levels.front());
    ASSERT_EQ(game->getLevel()->getGameType(), Game::TYPE_SPLIT);
    for (const char* shown : {"LABEL_MATCHES_REC", "LABEL_PROGRESS_TEXT_REC",
                              "BUTTON_HINT_UNLIMITED", "NAME_SPLIT", "LABEL_TIME"}) {
        EXPECT_TRUE(scene->findChild(shown)->isVisible()) << shown;
    }
    for (const char* hidden : {"LABEL_MATCHES", "BUTTON_HINT_NORMAL", "NAME_CLASSIC"}) {
        EXPECT_FALSE(scene->findChild(hidden)->isVisible()) << hidden;
    }
    // With a rack beside it, the board still finds its free tiles at their screen points.
    for (const RefHolder<Tile>& tile : game->getBuildOrder()) {
        if (!tile->isOnSideBoard() && game->getLayout()->isTileFree(tile.get())) {
            const int32_t outcome = click(tile.get());
            EXPECT_TRUE(outcome == Game::CLICK_SELECT || outcome == Game::CLICK_MATCH) << outcome;
            break;
        }
    }
}

TEST_F(SceneGameTest, FocusMessagesSetAndClearTheirRequests) {
    play(1, 2);
    scene->onWindowMessage(8, 0, 0);
    EXPECT_TRUE(scene->getInput().isFocusLost());
    scene->onWindowMessage(0xAF00FA02u, 0, 0);
    EXPECT_FALSE(scene->getInput().isFocusLost());
    scene->onWindowMessage(0xAF00FA01u, 0, 0);
    EXPECT_TRUE(scene->getInput().isDeactivatedThisFrame());
    // An open game dialog holds the game; the last one to close resumes it.
    RefHolder<Dialog> a(new Dialog());
    RefHolder<Dialog> b(new Dialog());
    scene->onDialogOpened(a.get());
    scene->onDialogOpened(b.get());
    EXPECT_EQ(scene->getFlow().getPauseState(), SceneGame::HELD);
    EXPECT_FALSE(scene->getHud().getHintButton()->isEnabled());
    scene->onDialogClosed(a.get());
    EXPECT_EQ(scene->getFlow().getPauseState(), SceneGame::HELD);
    scene->onDialogClosed(b.get());
    EXPECT_EQ(scene->getFlow().getPauseState(), SceneGame::RUNNING);
    EXPECT_TRUE(scene->getHud().getHintButton()->isEnabled());
    // The deactivation pauses at the next frame and hides the tiles (this scene's files have no
    // pause dialog); a dialog opened meanwhile leaves them hidden.
    frame(16);
    EXPECT_FALSE(scene->getInput().isDeactivatedThisFrame());
    EXPECT_EQ(scene->getFlow().getPauseState(), SceneGame::HIDDEN);
    scene->onDialogOpened(a.get());
    scene->onDialogOpened(a.get());
    EXPECT_EQ(scene->getFlow().getPauseState(), SceneGame::HIDDEN);
    // One close takes a dialog registered twice off the list.
    scene->onDialogClosed(a.get());
    EXPECT_TRUE(scene->GameDialogHost::getOpenDialogs().empty());
    EXPECT_EQ(scene->getFlow().getPauseState(), SceneGame::RUNNING);
}

TEST_F(SceneGameTest, AOneSegmentRiverPathIsTwoCapsFacingEachOtherWithTheStretchBetween) {
    // The first River level with two tiles of one layer joined by a straight path.
    Game* game = nullptr;
    Tile* from = nullptr;
    Tile* to = nullptr;
    for (int32_t floor = 1; floor <= 20 && !from; ++floor) {
        for (int32_t room = 1; room <= 5 && !from; ++room) {
            RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, room);
            if (!level || level->getGameType() != Game::TYPE_RIVER) {
                continue;
            }
            if (game) {
                scene->hide();
            }
            game = play(level);
            const Game::TileList order = game->getBuildOrder();
            for (size_t a = 0; a < order.size() && !from; ++a) {
                for (size_t b = 0; b < order.size() && !from; ++b) {
                    Tile* p = order[a].get();
                    Tile* q = order[b].get();
                    if (p != q && p->getGridZ() == q->getGridZ() &&
                        (p->getGridX() == q->getGridX() || p->getGridY() == q->getGridY())) {
                        scene->getInput().showHintPath(p, q);
                        if (scene->getInput().getPathSegments().size() == 1) {
                            from = p;
                            to = q;
                        }
                    }
                }
            }
        }
    }
    ASSERT_NE(from, nullptr) << "no straight path on the level";
    const auto image = [this](const std::string& key) {
        return objectCast<Image>(manager->getResourceHandle(key, "game"));
    };
    GameNode* layer = scene->getInput().getHintPathLayer();
    // Both ways: the stretch grows from the first tile towards the second either way.
    for (const auto& [start, end] : {std::pair{from, to}, std::pair{to, from}}) {
        scene->getInput().showHintPath(start, end);
        ASSERT_EQ(scene->getInput().getPathSegments().size(), 1u);
        const PathSegment segment = scene->getInput().getPathSegments().front();
        const bool horizontal = segment.dy == 0;
        const bool forwards = horizontal ? segment.dx > 0 : segment.dy > 0;
        SCOPED_TRACE(std::string(horizontal ? "horizontal" : "vertical") +
                     (forwards ? ", forwards" : ", backwards"));
        const std::string red = game->canMatch(start, end) ? "" : "RED_";
        std::vector<Sprite*> pieces;
        for (GameNode* node = layer->getFirstChild(); node; node = node->getNextSibling()) {
            pieces.push_back(objectCast<Sprite>(node));
        }
        ASSERT_GE(pieces.size(), 3u) << "two caps and at least one straight piece";
        Sprite* startCap = pieces[0];
        Sprite* endCap = pieces[1];
        // The caps' arms point at each other.
        const char* startKey =
            horizontal ? (forwards ? "CAP_1" : "CAP_3") : (forwards ? "CAP_2" : "CAP_0");
        const char* endKey =
            horizontal ? (forwards ? "CAP_3" : "CAP_1") : (forwards ? "CAP_0" : "CAP_2");
        EXPECT_EQ(startCap->getImage(), image(red + startKey));
        EXPECT_EQ(endCap->getImage(), image(red + endKey));
        // Each cap is centred on its end of the segment.
        EXPECT_EQ(startCap->getX(), segment.x1 - startCap->getWidth() / 2);
        EXPECT_EQ(startCap->getY(), segment.y1 - startCap->getHeight() / 2);
        EXPECT_EQ(endCap->getX(), segment.x2 - endCap->getWidth() / 2);
        EXPECT_EQ(endCap->getY(), segment.y2 - endCap->getHeight() / 2);
        // The straight pieces fill the gap between the caps without a hole, in the caps' line.
        Image* straight = image(red + (horizontal ? "PATH_H" : "PATH_V"));
        const auto along = [horizontal](const Sprite* s) {
            return horizontal ? s->getX() : s->getY();
        };
        const auto across = [horizontal](const Sprite* s) {
            return horizontal ? s->getY() : s->getX();
        };
        const auto size = [horizontal](const Sprite* s) {
            return horizontal ? s->getWidth() : s->getHeight();
        };
        const Sprite* nearCap = forwards ? startCap : endCap;
        const Sprite* farCap = forwards ? endCap : startCap;
        std::vector<Sprite*> stretch(pieces.begin() + 2, pieces.end());
        std::sort(stretch.begin(), stretch.end(),
                  [&](const Sprite* a, const Sprite* b) { return along(a) < along(b); });
        int32_t reach = along(nearCap) + size(nearCap);
        for (Sprite* piece : stretch) {
            EXPECT_EQ(piece->getImage(), straight);
            EXPECT_EQ(across(piece), across(startCap));
            EXPECT_EQ(along(piece), reach);
            reach = along(piece) + size(piece);
        }
        EXPECT_GE(reach, along(farCap));
        EXPECT_LT(along(stretch.back()), along(farCap));
        // The path builds up from the first tile: the start cap, the straight pieces in the
        // direction of travel, then the end cap.
        std::vector<Sprite*> travel = {startCap};
        if (forwards) {
            travel.insert(travel.end(), stretch.begin(), stretch.end());
        } else {
            travel.insert(travel.end(), stretch.rbegin(), stretch.rend());
        }
        travel.push_back(endCap);
        std::vector<int32_t> shownAt(travel.size(), -1);
        for (int32_t ms = 0; ms < 20000 && std::count(shownAt.begin(), shownAt.end(), -1) > 0;
             ms += 2) {
            frame(2);
            for (size_t i = 0; i < travel.size(); ++i) {
                if (shownAt[i] < 0 && travel[i]->getAlpha() > 0) {
                    shownAt[i] = ms;
                }
            }
        }
        ASSERT_EQ(std::count(shownAt.begin(), shownAt.end(), -1), 0);
        EXPECT_TRUE(std::is_sorted(shownAt.begin(), shownAt.end()));
        EXPECT_LT(shownAt.front(), shownAt[1]);
        EXPECT_LT(shownAt[shownAt.size() - 2], shownAt.back());
    }
}

}  // namespace scene_game_test
