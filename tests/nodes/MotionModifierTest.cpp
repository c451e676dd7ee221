#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/Polygon.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierLocation.h"

namespace motion_modifier_test {

using Position = std::pair<int32_t, int32_t>;

Position positionOf(const GameNode* node) {
    return {node->getX(), node->getY()};
}

// Runs the modifier on the node in steps of `stepMs` until it finishes (at most `limit` steps),
// and gives the position after each step.
std::vector<Position> run(GameNode* node, Modifier* modifier, int32_t stepMs, int limit = 100) {
    modifier->setTarget(node);
    std::vector<Position> path;
    for (int i = 0; i < limit && !modifier->isFinished(); ++i) {
        modifier->update(stepMs);
        path.push_back(positionOf(node));
    }
    return path;
}

TEST(MotionModifierTest, LineMovesInTruncatedStepsToTheEndPoint) {
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierLocationLine> line(new ModifierLocationLine(0, 0, 100, 50, 1000, false));
    EXPECT_TRUE(line->isA(&ModifierLocation::typeRecord));
    EXPECT_TRUE(line->isA(&Modifier::typeRecord));
    EXPECT_EQ(run(node.get(), line.get(), 250),
              (std::vector<Position>{{25, 12}, {50, 25}, {75, 37}, {100, 50}}));
    EXPECT_TRUE(line->isFinished());

    // Backwards and eased: the end point exactly, the middle where the easing puts it.
    RefHolder<ModifierLocationLine> smooth(new ModifierLocationLine(90, 10, -10, 10, 400, true));
    const std::vector<Position> eased = run(node.get(), smooth.get(), 100);
    ASSERT_EQ(eased.size(), 4u);
    // 90 - 100 * 0.15625 = 74.375, cut toward zero.
    EXPECT_EQ(eased[0].first, 74);
    EXPECT_EQ(eased[1].first, 40);
    EXPECT_EQ(eased.back(), (Position{-10, 10}));
}

TEST(MotionModifierTest, LineWithoutYMovementLeavesYAlone) {
    RefHolder<GameNode> node(new GameNode());
    node->setY(333);
    RefHolder<ModifierLocationLine> line(new ModifierLocationLine(0, 0, 40, 40, 100, false));
    line->setMoveY(false);
    EXPECT_EQ(run(node.get(), line.get(), 50), (std::vector<Position>{{20, 333}, {40, 333}}));
    // A duration of 0 lands on the end at the first update.
    RefHolder<ModifierLocationLine> instant(new ModifierLocationLine(0, 0, 7, 8, 0, false));
    EXPECT_EQ(run(node.get(), instant.get(), 0), (std::vector<Position>{{7, 8}}));
}

TEST(MotionModifierTest, WaveCirclesTheCentreAndEndsAfterBothTimes) {
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierLocationWave> wave(new ModifierLocationWave(100, 200));
    wave->setRadius(10.0f, 30.0f, 200);
    wave->setAngle(0.0f, static_cast<float>(M_PI), 400);
    const std::vector<Position> path = run(node.get(), wave.get(), 100);
    ASSERT_EQ(path.size(), 5u);
    EXPECT_EQ(path[0], (Position{110, 200}));
    // 100 ms: radius 20, angle pi/4.
    EXPECT_EQ(path[1], (Position{100 + static_cast<int32_t>(std::cos(M_PI / 4) * 20),
                                 200 + static_cast<int32_t>(std::sin(M_PI / 4) * 20)}));
    // 200 ms on: the end radius; the update after 400 ms have passed: the end angle, and done.
    EXPECT_EQ(path[2], (Position{100, 230}));
    EXPECT_EQ(path[4], (Position{70, 200}));
    EXPECT_TRUE(wave->isFinished());

    // Times of 0 take the end values at once, without dividing by them.
    RefHolder<ModifierLocationWave> still(new ModifierLocationWave(0, 0));
    still->setRadius(0.0f, 5.0f, 0);
    still->setMoveY(false);
    node->setY(-1);
    EXPECT_EQ(run(node.get(), still.get(), 10), (std::vector<Position>{{5, -1}}));
}

TEST(MotionModifierTest, PathWalksAtConstantSpeedAndEndsOnTheLastPoint) {
    RefHolder<GameNode> node(new GameNode());
    RefHolder<Polygon> square(new Polygon({{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
    RefHolder<ModifierLocationPolygonicPath> walk(
        new ModifierLocationPolygonicPath(square.get(), 0, false, 300, false));
    EXPECT_FLOAT_EQ(walk->getTotalLength(), 300.0f);
    const std::vector<Position> path = run(node.get(), walk.get(), 50);
    EXPECT_EQ(path, (std::vector<Position>{
                        {0, 0}, {50, 0}, {100, 0}, {100, 50}, {100, 100}, {50, 100}, {0, 100}}));
    EXPECT_TRUE(walk->isFinished());

    // Looping starts again from the start index and never finishes; the speed covers the whole
    // path length in the duration.
    RefHolder<ModifierLocationPolygonicPath> loop(
        new ModifierLocationPolygonicPath(square.get(), 1, true, 200, false));
    const std::vector<Position> looped = run(node.get(), loop.get(), 100, 5);
    EXPECT_EQ(looped, (std::vector<Position>{{100, 0}, {50, 100}, {100, 0}, {50, 100}, {100, 0}}));
    EXPECT_FALSE(loop->isFinished());
}

TEST(MotionModifierTest, ClosedPathsSkipTheRepeatedPoint) {
    RefHolder<GameNode> node(new GameNode());
    RefHolder<Polygon> ring(new Polygon({{0, 0}, {40, 0}, {40, 30}, {0, 0}}));
    RefHolder<ModifierLocationPolygonicPath> walk(
        new ModifierLocationPolygonicPath(ring.get(), 2, false, 120, false));
    // From point 2 the walk wraps to point 0 and goes on; it ends on the path's last point.
    const std::vector<Position> path = run(node.get(), walk.get(), 30);
    EXPECT_EQ(path, (std::vector<Position>{{40, 30}, {16, 12}, {10, 0}, {40, 0}, {0, 0}}));
    EXPECT_TRUE(walk->isFinished());
}

TEST(MotionModifierTest, ShortOrEmptyPathsFinishAtOnce) {
    RefHolder<GameNode> node(new GameNode());
    node->setPosition(9, 9);
    RefHolder<Polygon> empty(new Polygon());
    RefHolder<ModifierLocationPolygonicPath> none(
        new ModifierLocationPolygonicPath(empty.get(), 0, true, 100, false));
    EXPECT_EQ(run(node.get(), none.get(), 10), (std::vector<Position>{{9, 9}}));
    RefHolder<Polygon> dot(new Polygon({{3.6f, 4.4f}}));
    RefHolder<ModifierLocationPolygonicPath> one(
        new ModifierLocationPolygonicPath(dot.get(), 5, true, 100, false));
    EXPECT_EQ(run(node.get(), one.get(), 10), (std::vector<Position>{{4, 4}}));
    RefHolder<ModifierLocationPolygonicPath> nothing(
        new ModifierLocationPolygonicPath(nullptr, 0, false, 100, false));
    EXPECT_EQ(run(node.get(), nothing.get(), 10).size(), 1u);
    // A duration of 0 goes straight to the last point, axis flags or not.
    RefHolder<Polygon> line(new Polygon({{0, 0}, {10, 0}, {10, 20}}));
    RefHolder<ModifierLocationPolygonicPath> instant(
        new ModifierLocationPolygonicPath(line.get(), 0, false, 0, false));
    instant->setMoveY(false);
    EXPECT_EQ(run(node.get(), instant.get(), 10), (std::vector<Position>{{10, 20}}));
}

TEST(MotionModifierTest, PathWalkEndsEvenWhereFloatSumsFallShort) {
    // Many short segments whose float sum differs from the total: every update ends, and the
    // last one lands on the last point.
    RefHolder<Polygon> wiggle(new Polygon());
    for (int i = 0; i <= 1000; ++i) {
        wiggle->addPoint(static_cast<float>(i) * 0.1f, static_cast<float>(i % 2) * 0.3f);
    }
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierLocationPolygonicPath> walk(
        new ModifierLocationPolygonicPath(wiggle.get(), 0, false, 1000, true));
    const std::vector<Position> path = run(node.get(), walk.get(), 7, 1000);
    EXPECT_TRUE(walk->isFinished());
    EXPECT_EQ(path.back(), (Position{100, 0}));
}

TEST(MotionModifierTest, PolygonBuildEndsForTinySteps) {
    // The increment no longer moves t near 0.5; the sample count still ends the loop.
    const Polygon still({{5, 5}, {5, 5}});
    const std::vector<PointF> samples = still.build(0, 1, 1 << 26, false);
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(samples[0], (PointF{5, 5}));
    EXPECT_TRUE(still.build(0, 1, -3, false).empty());
}

}  // namespace motion_modifier_test
