#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/platform/SceneTasks.h"
#include "framework/platform/TimedTaskManager.h"
#include "testsupport/os/FakeClock.h"

namespace task_test {

std::vector<std::string> taskLog;

// Logs its calls and runs an optional action from inside its update.
class LoggingTask : public Task {
public:
    explicit LoggingTask(std::string name) : name(std::move(name)) {}
    ~LoggingTask() override { taskLog.push_back(name + ":destroyed"); }
    void start() override { taskLog.push_back(name + ":start"); }
    void update(int32_t elapsedMs) override {
        taskLog.push_back(name + ":" + std::to_string(elapsedMs));
        if (action) {
            action();
        }
    }
    void stop() override { taskLog.push_back(name + ":stop"); }

    std::string name;
    std::function<void()> action;
};

class TaskManagerTest : public ::testing::Test {
protected:
    void SetUp() override { taskLog.clear(); }
};

TEST_F(TaskManagerTest, TasksStartOnceAndRunInInsertionOrder) {
    TaskManager manager;
    auto* a = new LoggingTask("a");
    auto* b = new LoggingTask("b");
    manager.addTask(a);
    manager.addTask(b);
    EXPECT_TRUE(a->isRegistered());
    manager.update(16);
    manager.update(17);
    EXPECT_EQ(taskLog,
              (std::vector<std::string>{"a:start", "a:16", "b:start", "b:16", "a:17", "b:17"}));
}

TEST_F(TaskManagerTest, InactiveTasksAreSkippedAndNotStarted) {
    TaskManager manager;
    auto* a = new LoggingTask("a");
    a->setActive(false);
    manager.addTask(a);
    manager.update(5);
    EXPECT_TRUE(taskLog.empty());
    EXPECT_FALSE(a->isStarted());
    a->setActive(true);
    manager.update(6);
    EXPECT_EQ(taskLog, (std::vector<std::string>{"a:start", "a:6"}));
}

TEST_F(TaskManagerTest, AFinishedTaskHandsOverToItsFollowUpInTheSameFrame) {
    TaskManager manager;
    auto* first = new LoggingTask("first");
    auto* next = new LoggingTask("next");
    first->setFollowUp(next);
    manager.addTask(first);
    manager.update(10);
    first->finish();
    taskLog.clear();
    manager.update(20);
    EXPECT_EQ(taskLog,
              (std::vector<std::string>{"first:stop", "first:destroyed", "next:start", "next:20"}));
    ASSERT_EQ(manager.getTaskCount(), 1u);
    EXPECT_EQ(manager.getTaskAt(0), next);
}

TEST_F(TaskManagerTest, ATaskMayRemoveItselfOrALaterTaskWhileUpdating) {
    TaskManager manager;
    auto* a = new LoggingTask("a");
    auto* b = new LoggingTask("b");
    auto* c = new LoggingTask("c");
    manager.addTask(a);
    manager.addTask(b);
    manager.addTask(c);
    a->action = [&] { manager.removeTask(a); };
    b->action = [&] { manager.removeTask(c); };
    manager.update(1);
    EXPECT_EQ(taskLog, (std::vector<std::string>{"a:start", "a:1", "a:stop", "a:destroyed",
                                                 "b:start", "b:1", "c:stop", "c:destroyed"}));
    EXPECT_EQ(manager.getTaskCount(), 1u);
}

TEST_F(TaskManagerTest, ATaskRemovingItselfAndAnEarlierTaskSkipsNoOther) {
    TaskManager manager;
    auto* a = new LoggingTask("a");
    auto* b = new LoggingTask("b");
    auto* c = new LoggingTask("c");
    manager.addTask(a);
    manager.addTask(b);
    manager.addTask(c);
    manager.update(1);
    taskLog.clear();
    b->action = [&] {
        manager.removeTask(a);
        manager.removeTask(b);
    };
    manager.update(2);
    EXPECT_EQ(taskLog, (std::vector<std::string>{"a:2", "b:2", "a:stop", "a:destroyed", "b:stop",
                                                 "b:destroyed", "c:2"}));
}

TEST_F(TaskManagerTest, TasksAddedDuringAWalkRunInThatFrame) {
    TaskManager manager;
    auto* a = new LoggingTask("a");
    a->action = [&] {
        if (manager.getTaskCount() == 1) {
            manager.addTask(new LoggingTask("late"));
        }
    };
    manager.addTask(a);
    manager.update(3);
    EXPECT_EQ(taskLog, (std::vector<std::string>{"a:start", "a:3", "late:start", "late:3"}));
}

TEST_F(TaskManagerTest, DestroyingTheManagerStopsEveryTask) {
    auto* manager = new TaskManager();
    manager->addRef();
    manager->addTask(new LoggingTask("a"));
    auto* held = new LoggingTask("held");
    held->addRef();
    manager->addTask(held);
    manager->update(1);
    taskLog.clear();
    manager->release();
    // Stopped and dropped; the outside reference keeps "held" alive.
    EXPECT_EQ(taskLog, (std::vector<std::string>{"a:stop", "a:destroyed", "held:stop"}));
    EXPECT_FALSE(held->isRegistered());
    held->release();
}

TEST(TimedTaskManager, SleepsAwayTheRestOfThePeriod) {
    taskLog.clear();
    FakeClock clock;
    clock.set(1000);
    TimedTaskManager manager(clock);
    manager.setFrameRate(60);
    EXPECT_EQ(manager.getPeriod(), 16);
    manager.addTask(new LoggingTask("t"));
    clock.advance(5);
    manager.tick();
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{11}));
    EXPECT_EQ(taskLog.back(), "t:16");
    clock.advance(40);
    manager.tick();
    EXPECT_EQ(clock.sleeps.size(), 1u);  // a late frame does not sleep
    EXPECT_EQ(taskLog.back(), "t:40");
}

TEST(TimedTaskManager, RatesAreBoundedAndZeroNeverSleeps) {
    FakeClock clock;
    TimedTaskManager manager(clock);
    EXPECT_EQ(manager.getFrameRate(), 50);
    EXPECT_EQ(manager.getPeriod(), 20);
    manager.setFrameRate(5000);
    EXPECT_EQ(manager.getFrameRate(), 1000);
    EXPECT_EQ(manager.getPeriod(), 1);
    manager.setFrameRate(0);
    EXPECT_EQ(manager.getPeriod(), 0);
    manager.tick();
    manager.tick();
    EXPECT_TRUE(clock.sleeps.empty());
    manager.setFrameRate(-5);
    EXPECT_EQ(manager.getPeriod(), 0);
}

TEST(TimedTaskManager, ElapsedTimeIsCappedAndSurvivesTheClockWrap) {
    taskLog.clear();
    FakeClock clock;
    clock.set(0xFFFFFFF0u);
    TimedTaskManager manager(clock);
    manager.setFrameRate(60);
    manager.addTask(new LoggingTask("t"));
    clock.advance(5000);  // a long stall, across the wrap
    manager.tick();
    EXPECT_EQ(taskLog.back(), "t:100");
    clock.advance(20);
    manager.tick();
    EXPECT_EQ(taskLog.back(), "t:20");
}

TEST(TimedTaskManager, AFollowUpRunsInTheSameTimedFrame) {
    taskLog.clear();
    FakeClock clock;
    TimedTaskManager manager(clock);
    manager.setFrameRate(60);
    auto* intro = new LoggingTask("intro");
    auto* after = new LoggingTask("after");
    intro->setFollowUp(after);
    intro->action = [intro] { intro->finish(); };
    manager.addTask(intro);
    manager.addTask(new LoggingTask("last"));
    clock.advance(16);
    manager.tick();
    taskLog.clear();
    clock.advance(20);
    manager.tick();
    // The follow-up is appended behind "last" and still updated in this frame, with the
    // frame's elapsed time.
    EXPECT_EQ(taskLog, (std::vector<std::string>{"intro:stop", "intro:destroyed", "last:20",
                                                 "after:start", "after:20"}));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(TimedTaskManager, OneGlobalInstance) {
    FakeClock clock;
    TimedTaskManager* made = TimedTaskManager::createInstance(clock);
    EXPECT_EQ(TimedTaskManager::getInstance(), made);
    EXPECT_EQ(TimedTaskManager::createInstance(clock), made);
    TimedTaskManager::releaseInstance();
    EXPECT_EQ(TimedTaskManager::getInstance(), nullptr);
}

// A node that marks itself removed from inside its own update.
class SelfRemovingNode : public GameNode {
public:
    explicit SelfRemovingNode(int& destroyed) : destroyed(destroyed) {}
    ~SelfRemovingNode() override { ++destroyed; }
    void update(int32_t) override {
        ++updates;
        setRemoved(true);
    }
    int updates = 0;
    int& destroyed;
};

TEST(SceneTasks, ANodeRemovingItselfIsPurgedAfterMoving) {
    int destroyed = 0;
    RefHolder<GameTree> nodes(new GameTree());
    RefHolder<AnimTree> animations(new AnimTree());
    auto* node = new SelfRemovingNode(destroyed);
    auto* sibling = new SelfRemovingNode(destroyed);
    GameNode::appendChild(node, nodes.get());
    GameNode::appendChild(sibling, nodes.get());

    TaskManager frame;
    frame.addTask(new MoveTask(nodes.get(), animations.get()));
    frame.addTask(new PurgeTask(nodes.get(), animations.get()));
    frame.update(16);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(nodes->getFirstChild(), nullptr);
    frame.update(16);  // nothing left to walk
    EXPECT_EQ(destroyed, 2);
}

TEST(SceneTasks, SuspendedSubtreesDoNotMoveButArePurged) {
    int destroyed = 0;
    RefHolder<GameTree> nodes(new GameTree());
    auto* parent = new GameNode();
    auto* child = new SelfRemovingNode(destroyed);
    GameNode::appendChild(parent, nodes.get());
    GameNode::appendChild(child, parent);
    parent->setSuspended(true);

    MoveTask move(nodes.get(), nullptr);
    move.update(16);
    EXPECT_EQ(child->updates, 0);
    child->setRemoved(true);
    PurgeTask purge(nodes.get(), nullptr);
    purge.update(16);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(parent->getFirstChild(), nullptr);
}

}  // namespace task_test
