// The end of a floor played by synthetic input on one-pair levels: every room of floor 1 won
// by clicks, the floor-end sequence and its trophy award, the lift with floor 2's button opened
// and shining, and floor 2's hallway.
#include <gtest/gtest.h>

#include <string>

#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/visuals/GameModifiers.h"
#include "testsupport/e2e/RoadSteps.h"

namespace floor_end_road_test {

size_t occurrences(const std::string& text, const std::string& word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        ++count;
    }
    return count;
}

bool shines(GameNode* node) {
    for (const auto& modifier : node->getRunningModifiers()) {
        if (objectCast<ModifierShine>(modifier.get())) {
            return true;
        }
    }
    return false;
}

TEST(Road, FloorOneIsClearedRoomByRoomAndTheLiftOpensFloorTwo) {
    RoadDriver road("floor-end");
    road.playOwnLevels(1);
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    road.picture("floor-1");
    auto* hallway = objectCast<SceneHallway>(road.scene());
    QuovelMahjongPlayer* ann = QuovelMahjongPlayer::current();

    for (int32_t door = 1; door <= 5; ++door) {
        SCOPED_TRACE("door " + std::to_string(door));
        ASSERT_TRUE(enterRoom(road, door));
        Level* level = Game::current()->getLevel();
        EXPECT_EQ(level->getFloor(), 1);
        EXPECT_EQ(level->getRoom(), door);
        EXPECT_EQ(Game::current()->getLayout()->getTileCount(), 2);
        // A new level's score shows at once, not the last level's counted down.
        EXPECT_EQ(gameScreen(road)->getHud().getScoreLabel()->getText(), L"0");
        ASSERT_TRUE(clearBoardByClicks(road));
        ASSERT_TRUE(continueFromLevelEnd(road, "SCENE_HALLWAY"));
        EXPECT_EQ(ann->getStats().roomRecord(1, door)->levelWinCount, 1);
        if (door < 5) {
            ASSERT_TRUE(road.waitFor([&] { return hallway->isInputEnabled(); },
                                     "the medal of door " + std::to_string(door)));
            road.run(600);
            dismissHostHint(road);
            EXPECT_TRUE(hallway->getMedal(door)->isVisible());
            EXPECT_EQ(ann->floorReached, 1);
        }
    }
    road.run(800);
    road.picture("fifth-medal");

    // The fifth win completes the floor: the floor-end sequence counts its stars and offers OK.
    EXPECT_EQ(ann->floorReached, 2);
    Button* ok = hallway->getOkButton();
    ASSERT_TRUE(road.waitFor([&] { return ok->isVisible() && ok->isEnabled(); },
                             "the floor end's OK", 30000));
    EXPECT_TRUE(hallway->getFloorEndDialog()->isVisible());
    EXPECT_FALSE(hallway->isInputEnabled());
    EXPECT_EQ(ann->currentFloor, 2);
    road.run(1500);
    road.picture("floor-end");
    // The title stands clear above the row of star numbers, the small stars above the texts.
    const auto top = [](GameNode* node) {
        auto* sprite = objectCast<Sprite>(node);
        return sprite->getAbsoluteY() - (sprite->getY() - sprite->getTop());
    };
    const auto bottom = [&](GameNode* node) {
        return top(node) + objectCast<Sprite>(node)->getHeight();
    };
    for (int32_t door = 1; door <= 5; ++door) {
        EXPECT_LE(bottom(road.find("FLOOR_COMPLETED")) + 4, top(hallway->getRoomNumber(door)));
    }
    EXPECT_LE(bottom(hallway->getFloorEndLayer()->getFirstChild()) + 4, top(road.find("UNLOCKED")));

    // Its OK leads through the floor's trophy to the lift.
    ASSERT_TRUE(road.clickWidget(ok, "the floor end's OK"));
    bool cabinetSeen = false;
    ASSERT_TRUE(road.waitFor(
        [&] {
            Scene* now = road.scene();
            if (now && now->getName() == "SCENE_ELEVATOR") {
                return true;
            }
            stepThroughCabinet(road, cabinetSeen);
            return false;
        },
        "the way from the floor end to the lift", 60000));
    EXPECT_TRUE(cabinetSeen);

    // Floor 2 waits for the host's finger snap with its locked look over it, then opens under
    // its glow and shines.
    SceneElevator* lift = SceneElevator::instance();
    Button* floorTwo = lift->getStopButton(2);
    ASSERT_TRUE(road.waitFor([&] { return !lift->areDoorsMoving(); }, "the lift's doors"));
    EXPECT_FALSE(floorTwo->isEnabled());
    EXPECT_TRUE(lift->getStopButton(1)->isEnabled());
    auto* locked = dynamic_cast<Sprite*>(floorTwo->getFirstChild());
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(locked->getWidth(), floorTwo->getWidth());
    EXPECT_EQ(locked->getHeight(), floorTwo->getHeight());
    EXPECT_EQ(locked->getFrame(), Button::FRAME_DISABLED);
    road.picture("lift-floor-2-locked");
    ASSERT_TRUE(road.waitFor([&] { return floorTwo->isEnabled(); }, "floor 2's button", 30000));
    EXPECT_TRUE(lift->getPendingFloors().empty());
    auto* glow = dynamic_cast<Sprite*>(road.find("FLOOR_UNLOCK_EFFECT"));
    ASSERT_NE(glow, nullptr);
    ASSERT_TRUE(road.waitFor([&] { return shines(floorTwo); }, "floor 2's shine", 5000));
    road.run(200);
    road.picture("lift-floor-2-shines");
    EXPECT_GT(glow->getAlpha(), 0);
    // The glow sits on floor 2's button.
    EXPECT_EQ(glow->getX(), floorTwo->getX() + floorTwo->getWidth() / 2 + 1);
    EXPECT_EQ(glow->getY(), floorTwo->getY() + floorTwo->getHeight() / 2 + 3);

    ASSERT_TRUE(road.click("BUTTON_FLOOR_2"));
    ASSERT_TRUE(road.waitForScene("SCENE_HALLWAY", 30000));
    EXPECT_EQ(hallway->getFloor(), 2);
    ASSERT_TRUE(road.waitFor([&] { return hallway->isInputEnabled(); }, "floor 2's hallway"));
    road.run(1000);
    road.picture("floor-2");
    for (int32_t door = 1; door <= 5; ++door) {
        EXPECT_FALSE(hallway->getMedal(door)->isVisible()) << "door " << door;
    }
    dismissHostHint(road);
    EXPECT_EQ(road.finish(), 0);

    // The run's session events: floor 1 shown on the first arrival and after each of the five
    // levels, floor 2 once; five level builds; no level session, as no level was stopped.
    const std::string statistics = road.sessionEventsText();
    EXPECT_EQ(occurrences(statistics, "floorNumber=\"1\""), 6u) << statistics;
    EXPECT_EQ(occurrences(statistics, "floorNumber=\"2\""), 1u) << statistics;
    EXPECT_EQ(occurrences(statistics, "numNotSolvable"), 5u) << statistics;
    EXPECT_EQ(occurrences(statistics, "QVLevelSession"), 0u) << statistics;
}

}  // namespace floor_end_road_test
