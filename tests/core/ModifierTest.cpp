#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/SceneGraphProbes.h"
#include "framework/core/GameNode.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFraction.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/iGuiMethod.h"

namespace modifier_test {

using Node = Counted<GameNode>;

class ModifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        liveObjects = 0;
        updateLog.clear();
    }
    void TearDown() override { EXPECT_EQ(liveObjects, 0) << "objects left alive"; }
};

std::vector<Modifier*> modifierChildren(const Modifier* container) {
    std::vector<Modifier*> children;
    for (Modifier* child = container->getFirstChild(); child; child = child->getNextSibling()) {
        children.push_back(child);
    }
    return children;
}

TEST_F(ModifierTest, TimedModifiersStepToTheirDuration) {
    TimedProbe probe("", 300);
    probe.update(100);
    EXPECT_FLOAT_EQ(probe.getFraction(), 1.0f / 3.0f);
    probe.update(100);
    EXPECT_FLOAT_EQ(probe.getFraction(), 2.0f / 3.0f);
    EXPECT_FALSE(probe.isFinished());
    probe.update(100);
    EXPECT_TRUE(probe.isFinished());
    EXPECT_EQ(probe.getElapsed(), 300);
    EXPECT_EQ(probe.getFraction(), 1.0f);

    TimedProbe instant("", 0);
    instant.update(0);
    EXPECT_TRUE(instant.isFinished());

    // A long step past a long duration neither overflows nor misses the end.
    TimedProbe longOne("", INT32_MAX - 5);
    longOne.update(INT32_MAX - 10);
    longOne.update(100);
    EXPECT_TRUE(longOne.isFinished());

    TimedProbe smooth("", 400, easingFor(true));
    smooth.update(100);
    EXPECT_FLOAT_EQ(smooth.getFraction(), 0.15625f);
    smooth.update(100);
    EXPECT_FLOAT_EQ(smooth.getFraction(), 0.5f);
    EXPECT_EQ(easingFor(false), &easeLinear);
}

TEST_F(ModifierTest, ContainersRunTheirChildrenSideBySide) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    EXPECT_TRUE(tree->isFinished());
    EXPECT_TRUE(tree->isInTree());
    EXPECT_EQ(tree->getName(), "AnimationTree");
    Modifier* group = ModifierContainer::addModifier(tree.get(), new Counted<ModifierContainer>());
    Modifier* a = ModifierContainer::addModifier(group, new TimedProbe("A", 200));
    ModifierContainer::addModifier(group, new TimedProbe("B", 500));
    ModifierContainer::addModifier(a, new TimedProbe("A child", 300));
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_TRUE(a->isInTree());

    Modifier::runTree(tree.get(), 100);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"A", "B"}));
    updateLog.clear();
    // A finishes and its child starts in the same frame, while B still runs.
    Modifier::runTree(tree.get(), 100);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"A", "A child", "B"}));

    // The purge gives A's place to its child; the containers stay.
    Modifier::purge(tree.get());
    EXPECT_EQ(modifierChildren(group).size(), 2u);
    EXPECT_EQ(modifierChildren(group)[0]->getName(), "A child");
    EXPECT_EQ(modifierChildren(group)[0]->getContainer(), group);
    EXPECT_EQ(liveObjects, 4);
    updateLog.clear();
    Modifier::runTree(tree.get(), 100);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"A child", "B"}));
}

TEST_F(ModifierTest, RunTreeSkipsRemovedSubtreesAndFinishedModifiers) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    auto* removed = new ProbeModifier("removed", 1);
    ModifierContainer::addModifier(tree.get(), removed);
    ModifierContainer::addModifier(removed, new ProbeModifier("below removed"));
    auto* done = new ProbeModifier("done");
    done->finish();
    ModifierContainer::addModifier(tree.get(), done);
    ModifierContainer::addModifier(done, new ProbeModifier("below done"));
    removed->setRemoved(true);
    Modifier::runTree(tree.get(), 16);
    EXPECT_EQ(updateLog, std::vector<std::string>{"below done"});

    // The purge drops the removed one with its subtree; the finished one hands its place over.
    Modifier::purge(tree.get());
    EXPECT_EQ(liveObjects, 2);
    ASSERT_EQ(modifierChildren(tree.get()).size(), 1u);
    EXPECT_EQ(tree->getFirstChild()->getName(), "below done");
}

int32_t countCall(void* context, BaseObject* sender) {
    ++*static_cast<int*>(context);
    EXPECT_TRUE(objectCast<Modifier>(sender)->isFinished());  // already finished when called
    return 0;
}

struct TreeAndCalls {
    Modifier* tree;
    int calls;
};

int32_t addToTree(void* context, BaseObject* sender) {
    auto* state = static_cast<TreeAndCalls*>(context);
    ++state->calls;
    // New work behind the function and beside it, in the frame that runs it.
    ModifierContainer::addModifier(static_cast<Modifier*>(sender), new ProbeModifier("behind"));
    ModifierContainer::addModifier(state->tree, new ProbeModifier("beside"));
    return 0;
}

TEST_F(ModifierTest, AFunctionIsCalledExactlyOnce) {
    RefHolder<GameNode> node(new Node());
    int calls = 0;
    GameNode::addModifier(node.get(), new Counted<ModifierFunction>(&countCall, &calls));
    GameNode::tick(node.get(), 16);
    GameNode::tick(node.get(), 16);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(node->getRunningModifiers().empty());

    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    TreeAndCalls state{tree.get(), 0};
    ModifierContainer::addModifier(tree.get(), new Counted<ModifierFunction>(&addToTree, &state));
    for (int frame = 0; frame < 3; ++frame) {
        Modifier::runTree(tree.get(), 16);
        Modifier::purge(tree.get());
    }
    EXPECT_EQ(state.calls, 1);
    EXPECT_EQ(std::count(updateLog.begin(), updateLog.end(), "behind"), 3);
    EXPECT_EQ(std::count(updateLog.begin(), updateLog.end(), "beside"), 3);
}

TEST_F(ModifierTest, ADelayOnANodeEndsOnceTheNodeRunsNothing) {
    RefHolder<GameNode> busy(new Node());
    RefHolder<GameNode> waiting(new Node());
    GameNode::addModifier(busy.get(), new TimedProbe("busy", 100));
    auto* delay = new Counted<ModifierDelay>(busy.get());
    EXPECT_TRUE(delay->hasFlag(Modifier::FLAG_BLOCKING));
    EXPECT_EQ(busy->getRefCount(), 2);
    GameNode::addModifier(waiting.get(), delay);
    GameNode::addModifier(waiting.get(), new ProbeModifier("after"));

    GameNode::tick(waiting.get(), 50);
    GameNode::tick(busy.get(), 50);
    EXPECT_TRUE(updateLog == std::vector<std::string>{"busy"});
    // The busy node's last modifier finishes and leaves its list...
    GameNode::tick(busy.get(), 50);
    EXPECT_TRUE(busy->getRunningModifiers().empty());
    // ...and the delay ends in its next update, letting the one behind it run.
    GameNode::tick(waiting.get(), 50);
    EXPECT_EQ(updateLog.back(), "after");
    EXPECT_EQ(busy->getRefCount(), 1);  // the finished delay let go of the node

    ModifierDelay timed(30);
    timed.update(29);
    EXPECT_FALSE(timed.isFinished());
    timed.update(1);
    EXPECT_TRUE(timed.isFinished());
}

struct ModifierCalls {
    int count = 0;
    std::vector<int32_t> elapsed;
};

int32_t recordCall(void* context, BaseObject* sender) {
    auto* calls = static_cast<ModifierCalls*>(context);
    ++calls->count;
    calls->elapsed.push_back(objectCast<ModifierFraction>(sender)->getElapsed());
    return 0;
}

TEST_F(ModifierTest, AFractionFunctionIsCalledOncePerWholeInterval) {
    ModifierCalls calls;
    Counted<ModifierFractionFunc> every100(1000, &calls, &recordCall, 100);
    every100.update(350);
    EXPECT_EQ(calls.count, 3);
    every100.update(50);  // 400: the fourth interval has not passed strictly
    EXPECT_EQ(calls.count, 3);
    every100.update(1);
    EXPECT_EQ(calls.count, 4);

    ModifierCalls each;
    Counted<ModifierFractionFunc> always(1000, &each, &recordCall, 0);
    always.update(10);
    always.update(990);
    EXPECT_EQ(each.count, 2);
    EXPECT_TRUE(always.isFinished());
    EXPECT_EQ(each.elapsed.back(), 1000);

    // Its callback object is what the iGuiMethod query answers.
    auto* method = static_cast<iGuiMethod*>(every100.castTo(&iGuiMethod::typeRecord));
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(method->getCallbackTarget(), &calls);
    EXPECT_EQ(every100.castTo(&ModifierFraction::typeRecord), nullptr);
    EXPECT_TRUE(every100.isA(&ModifierFraction::typeRecord));
}

TEST_F(ModifierTest, ThePurgeAppliesTheFlagsOfFinishedModifiers) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    RefHolder<GameNode> node(new Node());
    auto* old1 = new ProbeModifier("old1");
    auto* old2 = new ProbeModifier("old2");
    auto* killer = new ProbeModifier("killer", 1, Modifier::FLAG_KILL_EARLIER);
    auto* later = new ProbeModifier("later");
    auto* remover = new ProbeModifier("remover", 1, Modifier::FLAG_REMOVE_TARGET);
    for (Modifier* modifier : std::vector<Modifier*>{old1, old2, killer, later, remover}) {
        modifier->setTarget(node.get());
        ModifierContainer::addModifier(tree.get(), modifier);
    }
    EXPECT_EQ(node->getRegisteredModifiers().size(), 5u);
    Modifier::runTree(tree.get(), 16);
    Modifier::purge(tree.get());
    // The killer took those registered up to it along (they go at the next purge).
    EXPECT_TRUE(old1->isRemoved());
    EXPECT_TRUE(old2->isRemoved());
    EXPECT_FALSE(later->isRemoved());
    EXPECT_EQ(node->getRegisteredModifiers(), std::vector<Modifier*>{later});
    EXPECT_TRUE(node->isRemoved());
    Modifier::purge(tree.get());
    EXPECT_EQ(modifierChildren(tree.get()), std::vector<Modifier*>{later});
    EXPECT_EQ(liveObjects, 3);
}

TEST_F(ModifierTest, KilledModifiersDoNotOutliveTheirNodesPointer) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    auto* node = new Node();
    node->addRef();
    auto* old = new ProbeModifier("old", -1, Modifier::FLAG_REMOVE_TARGET_ON_DESTROY);
    auto* killer = new ProbeModifier("killer", 1, Modifier::FLAG_KILL_EARLIER);
    old->setTarget(node);
    killer->setTarget(node);
    ModifierContainer::addModifier(tree.get(), old);
    ModifierContainer::addModifier(tree.get(), killer);
    Modifier::runTree(tree.get(), 16);
    Modifier::purge(tree.get());
    EXPECT_EQ(old->getTarget(), nullptr);
    node->release();  // the node goes before the killed modifier is purged
    Modifier::purge(tree.get());
    EXPECT_EQ(tree->getFirstChild(), nullptr);
}

TEST_F(ModifierTest, DestroyingANodeTakesItsTreeModifiersOut) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    auto* node = new Node();
    node->addRef();
    auto* move = new ProbeModifier("move");
    move->setTarget(node);
    ModifierContainer::addModifier(tree.get(), move);
    auto* next = ModifierContainer::addModifier(move, new ProbeModifier("next"));
    node->release();
    // Its children take its place and start, as the container is finished.
    EXPECT_EQ(modifierChildren(tree.get()), std::vector<Modifier*>{next});
    EXPECT_EQ(next->getContainer(), tree.get());
    EXPECT_EQ(liveObjects, 2);
    Modifier::runTree(tree.get(), 16);
    EXPECT_EQ(updateLog, std::vector<std::string>{"next"});

    // A group that goes while one child holds the last reference to the node a sibling works
    // on (a counter holding its label): the node's going finds the sibling already cut loose.
    struct Holding : ProbeModifier {
        RefHolder<GameNode> held;
    };
    auto* group = ModifierContainer::addModifier(tree.get(), new Counted<ModifierContainer>());
    auto* fade = new ProbeModifier("fade");
    auto* shown = new Node();
    fade->setTarget(shown);
    ModifierContainer::addModifier(group, fade);
    auto* holding = new Holding();
    holding->held = shown;
    ModifierContainer::addModifier(group, holding);
    tree.reset();
    EXPECT_EQ(liveObjects, 0);
}

TEST_F(ModifierTest, DetachAndDestructionKeepTheTreeConsistent) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    RefHolder<GameNode> node(new Node());
    auto* a = new ProbeModifier("a", -1, Modifier::FLAG_REMOVE_TARGET_ON_DESTROY);
    a->setTarget(node.get());
    ModifierContainer::addModifier(tree.get(), a);
    ModifierContainer::addModifier(a, new ProbeModifier("a child"));
    auto* b = new ProbeModifier("b");
    ModifierContainer::addModifier(tree.get(), b);

    // Detach hands the tree's reference over and leaves the target.
    Modifier::detach(b);
    EXPECT_EQ(b->getRefCount(), 1);
    EXPECT_EQ(b->getContainer(), nullptr);
    EXPECT_EQ(modifierChildren(tree.get()), std::vector<Modifier*>{a});
    // A free modifier gets a reference.
    Modifier::detach(b);
    EXPECT_EQ(b->getRefCount(), 2);
    b->release();
    b->release();

    // Destroying a tree modifier with flag 16 marks its target and frees its subtree.
    a->setRemoved(true);
    Modifier::purge(tree.get());
    EXPECT_TRUE(node->isRemoved());
    EXPECT_TRUE(node->getRegisteredModifiers().empty());
    EXPECT_EQ(liveObjects, 2);

    // A removed modifier someone still holds leaves the chain, so a second purge cannot
    // release it again.
    auto* held = new ProbeModifier("held");
    ModifierContainer::addModifier(tree.get(), held);
    held->addRef();
    held->setRemoved(true);
    Modifier::purge(tree.get());
    Modifier::purge(tree.get());
    EXPECT_EQ(held->getRefCount(), 1);
    EXPECT_EQ(held->getContainer(), nullptr);
    EXPECT_EQ(tree->getFirstChild(), nullptr);
    held->release();

    // A group never placed in a tree still frees what was chained to it.
    auto* group = new Counted<ModifierContainer>();
    group->addRef();
    ModifierContainer::addModifier(group, new ProbeModifier("grouped"));
    EXPECT_FALSE(group->isInTree());
    group->release();
    EXPECT_EQ(liveObjects, 2);

    // No modifier goes below itself.
    auto* loop = new ProbeModifier("loop");
    ModifierContainer::addModifier(tree.get(), loop);
    auto* inner = ModifierContainer::addModifier(loop, new ProbeModifier("inner"));
    ModifierContainer::addModifier(inner, loop);
    EXPECT_EQ(loop->getContainer(), tree.get());
}

TEST_F(ModifierTest, UpdatesMayRearrangeTheTreeTheyRunIn) {
    RefHolder<AnimTree> tree(new Counted<AnimTree>());
    RefHolder<GameNode> node(new Node());
    Modifier* first = ModifierContainer::addModifier(tree.get(), new Counted<ModifierContainer>());
    Modifier* second = ModifierContainer::addModifier(tree.get(), new Counted<ModifierContainer>());
    auto* dropper = new ProbeModifier("dropper");
    auto* victim = new ProbeModifier("victim");
    auto* sibling = new ProbeModifier("sibling");
    ModifierContainer::addModifier(first, dropper);
    ModifierContainer::addModifier(first, victim);
    ModifierContainer::addModifier(first, sibling);
    auto* targeted = new ProbeModifier("targeted");
    targeted->setTarget(node.get());
    ModifierContainer::addModifier(second, targeted);
    ModifierContainer::addModifier(second, new ProbeModifier("last"));

    // The dropper frees its own container (with its siblings) and takes every modifier of
    // the node out of the tree, all from inside its update.
    dropper->action = [first, &node](ProbeModifier*) {
        Modifier::detach(first);
        first->release();
        GameNode::removeRegisteredModifiers(node.get());
    };
    Modifier::runTree(tree.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"dropper", "last"}));
    EXPECT_EQ(modifierChildren(tree.get()), std::vector<Modifier*>{second});
    EXPECT_EQ(liveObjects, 4);  // tree, node, second, "last"

    // A modifier that detaches itself: the walk goes on with what follows, each once.
    updateLog.clear();
    auto* leaver = new ProbeModifier("leaver");
    leaver->action = [](ProbeModifier* self) {
        Modifier::detach(self);
        self->release();
    };
    ModifierContainer::addModifier(second, leaver);
    ModifierContainer::addModifier(second, new ProbeModifier("after leaver"));
    Modifier::runTree(tree.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"last", "leaver", "after leaver"}));
}

TEST_F(ModifierTest, OnlyFinishSetsTheFinishedState) {
    ProbeModifier probe;
    probe.setFlags(Modifier::FLAG_BLOCKING);
    EXPECT_FALSE(probe.isFinished());
    probe.finish();
    EXPECT_TRUE(probe.isFinished());
    EXPECT_EQ(probe.getFlags(), Modifier::FLAG_BLOCKING);

    // The timed finish also completes the timed part.
    TimedProbe timed("", 500);
    timed.finish();
    EXPECT_EQ(timed.getElapsed(), 500);
    EXPECT_EQ(timed.getFraction(), 1.0f);
}

TEST_F(ModifierTest, AnAnimationTreeBuiltRunAndReleasedLeavesNothingAlive) {
    RefHolder<GameNode> node(new Node());
    {
        RefHolder<AnimTree> tree(new Counted<AnimTree>());
        int calls = 0;
        Modifier* chain = tree.get();
        for (int step = 0; step < 4; ++step) {
            auto* timed = new TimedProbe("", 30 * step);
            timed->setTarget(node.get());
            Modifier* group =
                ModifierContainer::addModifier(chain, new Counted<ModifierContainer>());
            ModifierContainer::addModifier(group,
                                           new Counted<ModifierFunction>(&countCall, &calls));
            chain = ModifierContainer::addModifier(group, timed);
            ModifierContainer::addModifier(group, new Counted<ModifierDelay>(node.get()));
        }
        for (int frame = 0; frame < 3; ++frame) {
            Modifier::runTree(tree.get(), 40);
            Modifier::purge(tree.get());
        }
        EXPECT_GT(calls, 0);
        EXPECT_FALSE(node->getRegisteredModifiers().empty());
    }
    EXPECT_TRUE(node->getRegisteredModifiers().empty());
    EXPECT_EQ(node->getRefCount(), 1);
}

}  // namespace modifier_test
