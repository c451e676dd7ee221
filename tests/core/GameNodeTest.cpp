#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/SceneGraphProbes.h"
#include "framework/core/GameNode.h"
#include "framework/core/GameTree.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierFunction.h"

namespace game_node_test {

using Node = Counted<GameNode>;

class GameNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        liveObjects = 0;
        updateLog.clear();
    }
    void TearDown() override { EXPECT_EQ(liveObjects, 0) << "objects left alive"; }
};

std::vector<GameNode*> childrenOf(const GameNode* parent) {
    std::vector<GameNode*> children;
    for (GameNode* child = parent->getFirstChild(); child; child = child->getNextSibling()) {
        children.push_back(child);
    }
    return children;
}

TEST_F(GameNodeTest, AppendChildMovesANodeAndKeepsItsSingleReference) {
    RefHolder<GameNode> first(new Node("first"));
    RefHolder<GameNode> second(new Node("second"));
    auto* child = new Node("child");
    auto* other = new Node("other");
    GameNode::appendChild(child, first.get());
    GameNode::appendChild(other, first.get());
    EXPECT_EQ(childrenOf(first.get()), (std::vector<GameNode*>{child, other}));
    EXPECT_EQ(child->getRefCount(), 1);

    child->setRemoved(true);
    GameNode::appendChild(child, second.get());
    EXPECT_EQ(child->getRefCount(), 1);
    EXPECT_EQ(child->getParent(), second.get());
    EXPECT_FALSE(child->isRemoved());
    EXPECT_EQ(childrenOf(first.get()), std::vector<GameNode*>{other});
    EXPECT_EQ(childrenOf(second.get()), std::vector<GameNode*>{child});

    // A node never goes below itself: that would make every walk endless.
    GameNode::appendChild(second.get(), child);
    GameNode::appendChild(child, child);
    EXPECT_EQ(second->getParent(), nullptr);
    EXPECT_EQ(childrenOf(child), std::vector<GameNode*>{});
}

TEST_F(GameNodeTest, InsertBeforeLinksInPlaceUnlessAlreadyThere) {
    RefHolder<GameNode> parent(new Node());
    auto* a = new Node("a");
    auto* b = new Node("b");
    auto* c = new Node("c");
    GameNode::appendChild(a, parent.get());
    GameNode::appendChild(b, parent.get());
    GameNode::insertBefore(c, a);
    EXPECT_EQ(childrenOf(parent.get()), (std::vector<GameNode*>{c, a, b}));
    EXPECT_EQ(c->getParent(), parent.get());
    EXPECT_EQ(c->getRefCount(), 1);

    // Already directly before: nothing changes, not even the removed flag.
    a->setRemoved(true);
    GameNode::insertBefore(a, b);
    EXPECT_TRUE(a->isRemoved());

    GameNode::insertBefore(b, c);
    EXPECT_EQ(childrenOf(parent.get()), (std::vector<GameNode*>{b, c, a}));
    GameNode::insertBefore(b, a);
    EXPECT_EQ(childrenOf(parent.get()), (std::vector<GameNode*>{c, b, a}));
    EXPECT_EQ(b->getRefCount(), 1);

    // A sibling outside any tree gives no place to go.
    RefHolder<GameNode> loose(new Node());
    GameNode::insertBefore(a, loose.get());
    EXPECT_EQ(a->getParent(), parent.get());
}

TEST_F(GameNodeTest, DetachHandsTheTreesReferenceToTheCaller) {
    RefHolder<GameNode> parent(new Node());
    auto* child = new Node();
    GameNode::appendChild(child, parent.get());
    child->setRemoved(true);
    GameNode::detach(child);
    EXPECT_EQ(child->getRefCount(), 1);  // nothing released
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(parent->getFirstChild(), nullptr);
    EXPECT_FALSE(child->isRemoved());

    // A parentless node gets a reference: the caller always ends up holding one.
    GameNode::detach(child);
    EXPECT_EQ(child->getRefCount(), 2);
    child->release();
    child->release();
}

TEST_F(GameNodeTest, ReleaseChainCutsTheChainBeforeTheNode) {
    RefHolder<GameNode> parent(new Node());
    auto* a = new Node("a");
    auto* b = new Node("b");
    GameNode::appendChild(a, parent.get());
    GameNode::appendChild(b, parent.get());
    GameNode::appendChild(new Node("c"), parent.get());
    GameNode::appendChild(new Node("below b"), b);
    EXPECT_EQ(liveObjects, 5);

    GameNode::releaseChain(b);
    EXPECT_EQ(liveObjects, 2);
    EXPECT_EQ(childrenOf(parent.get()), std::vector<GameNode*>{a});
    EXPECT_EQ(a->getNextSibling(), nullptr);

    GameNode::releaseChildren(parent.get());
    EXPECT_EQ(liveObjects, 1);
    EXPECT_EQ(parent->getFirstChild(), nullptr);
}

void recordName(GameNode* node, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(node->getName());
}

void recordRoot(GameNode* node, void* context) {
    // With no context, the root is passed instead.
    static_cast<GameNode*>(context)->setTag(static_cast<GameNode*>(context)->getTag() + 1);
    node->setVisible(false);
}

TEST_F(GameNodeTest, WalkVisitsTheSubtreeInPreOrderAndNoSiblingsOfTheRoot) {
    RefHolder<GameNode> top(new Node("top"));
    auto* a = new Node("a");
    GameNode::appendChild(a, top.get());
    GameNode::appendChild(new Node("a1"), a);
    GameNode::appendChild(new Node("a2"), a);
    GameNode::appendChild(new Node("a1x"), a->getFirstChild());
    GameNode::appendChild(new Node("b"), top.get());

    std::vector<std::string> names;
    GameNode::walk(top.get(), &recordName, &names);
    EXPECT_EQ(names, (std::vector<std::string>{"top", "a", "a1", "a1x", "a2", "b"}));

    names.clear();
    GameNode::walk(a, &recordName, &names);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "a1", "a1x", "a2"}));

    GameNode::walk(a, &recordRoot, nullptr);
    EXPECT_EQ(a->getTag(), 4);
    EXPECT_TRUE(a->getNextSibling()->isVisible());
}

TEST_F(GameNodeTest, AbsolutePositionsAddTheAncestors) {
    RefHolder<GameNode> root(new Node());
    root->setPosition(10, 20);
    auto* middle = new Node();
    middle->setPosition(-3, 5);
    auto* leaf = new Node();
    leaf->setPosition(1, 1);
    GameNode::appendChild(middle, root.get());
    GameNode::appendChild(leaf, middle);
    EXPECT_EQ(leaf->getParentsX(), 7);
    EXPECT_EQ(leaf->getParentsY(), 25);
    EXPECT_EQ(leaf->getAbsoluteX(), 8);
    EXPECT_EQ(leaf->getAbsoluteY(), 26);
    EXPECT_EQ(root->getParentsX(), 0);

    // A copy takes only the position.
    Node copy(*leaf);
    EXPECT_EQ(copy.getX(), 1);
    EXPECT_EQ(copy.getParent(), nullptr);
    EXPECT_EQ(copy.getRefCount(), 0);
}

// Definitions.

RefHolder<PropertyNode> definitionOf(const std::string& typeWord) {
    return RefHolder<PropertyNode>(new PropertyNode("entry", typeWord));
}

TEST_F(GameNodeTest, AnEmptyDefinitionKeepsTheDefaults) {
    RefHolder<PropertyNode> definition = definitionOf("GameNode");
    definition->addBool("visible", false, true);
    Node node(definition.get());
    EXPECT_EQ(node.getX(), 0);
    EXPECT_EQ(node.getY(), 0);
    EXPECT_EQ(node.getName(), "");
    EXPECT_FALSE(node.isVisible());
    EXPECT_FALSE(node.isSuspended());

    Node fromNull(static_cast<PropertyNode*>(nullptr));
    EXPECT_TRUE(fromNull.isVisible());
}

TEST_F(GameNodeTest, DefinitionsBuildChildrenAndModifiersByTheirClass) {
    ScopedRegistration nodes("CountedNode", &createFromDefinition<Node>);
    ScopedRegistration modifiers("ProbeModifier", &createFromDefinition<ProbeModifier>);

    RefHolder<PropertyNode> definition = definitionOf("GameNode");
    definition->addChild(new PropertyValue("name", L"board", true));
    definition->addChild(new PropertyValue("tag", 7, true));
    definition->addChild(new PropertyValue("x", L"#10", true));
    definition->addChild(new PropertyValue("y", -4, true));
    definition->addBool("suspended", true, true);
    auto* children = new PropertyVector("children");
    auto* first = new PropertyNode("CountedNode", "CountedNode");  // built by type word...
    first->addChild(new PropertyValue("name", L"first", true));
    children->addChild(first);
    children->addChild(new PropertyNode("second", "NoSuchNode"));    // ...unregistered: skipped
    children->addChild(new PropertyNode("third", "ProbeModifier"));  // not a node: skipped
    children->addChild(new PropertyValue("fourth", 1));              // not a node: skipped
    auto* last = new PropertyNode("GameNode", "CountedNode");
    last->addChild(new PropertyValue("x", 3, true));
    children->addChild(last);
    definition->addChild(children);
    auto* modifierList = new PropertyVector("modifiers");
    modifierList->addChild(new PropertyNode("m", "ProbeModifier"));
    modifierList->addChild(new PropertyNode("ProbeModifier", "NoSuchModifier"));
    modifierList->addChild(new PropertyNode("n", "CountedNode"));  // not a modifier: skipped
    definition->addChild(modifierList);

    RefHolder<GameNode> node(new Node(definition.get()));
    EXPECT_EQ(node->getName(), "board");
    EXPECT_EQ(node->getTag(), 7);
    EXPECT_EQ(node->getX(), 16);
    EXPECT_EQ(node->getY(), -4);
    EXPECT_TRUE(node->isSuspended());
    EXPECT_TRUE(node->isVisible());

    const std::vector<GameNode*> built = childrenOf(node.get());
    ASSERT_EQ(built.size(), 2u);
    EXPECT_EQ(built[0]->getName(), "first");
    EXPECT_EQ(built[1]->getX(), 3);
    EXPECT_EQ(built[1]->getRefCount(), 1);

    ASSERT_EQ(node->getRunningModifiers().size(), 1u);
    Modifier* modifier = node->getRunningModifiers()[0].get();
    EXPECT_EQ(modifier->getName(), "from definition");
    EXPECT_EQ(modifier->getTarget(), node.get());
    EXPECT_EQ(modifier->getRefCount(), 1);
    EXPECT_EQ(liveObjects, 4);  // the node, two children, one modifier
    // A vector key that holds no vector reads as empty.
    RefHolder<PropertyNode> odd = definitionOf("GameNode");
    odd->addChild(new PropertyValue("children", 5, true));
    Node oddNode(odd.get());
    EXPECT_EQ(oddNode.getFirstChild(), nullptr);
}

// The per-frame step.

TEST_F(GameNodeTest, ABlockingModifierHoldsBackThoseBehindIt) {
    RefHolder<GameNode> node(new Node());
    auto* a = new ProbeModifier("A", 2, Modifier::FLAG_BLOCKING);
    auto* b = new ProbeModifier("B");
    GameNode::addModifier(node.get(), a);
    GameNode::addModifier(node.get(), b);
    GameNode::tick(node.get(), 16);
    EXPECT_EQ(updateLog, std::vector<std::string>{"A"});
    // A finishes in the second frame and B runs in that same frame.
    GameNode::tick(node.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"A", "A", "B"}));
    EXPECT_EQ(node->getRunningModifiers().size(), 1u);
    EXPECT_EQ(b->totalMs, 16);

    // Without the blocking flag both run from the first frame.
    updateLog.clear();
    GameNode::removeAllModifiers(node.get());
    GameNode::addModifier(node.get(), new ProbeModifier("C", 3));
    GameNode::addModifier(node.get(), new ProbeModifier("D"));
    GameNode::tick(node.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"C", "D"}));
}

TEST_F(GameNodeTest, OnlyFinishMakesAModifierFinished) {
    // Flag value 1 means blocking, not finished.
    RefHolder<GameNode> node(new Node());
    auto* blocking = new ProbeModifier("blocking", -1, Modifier::FLAG_BLOCKING);
    GameNode::addModifier(node.get(), blocking);
    GameNode::addModifier(node.get(), new ProbeModifier("behind"));
    EXPECT_FALSE(blocking->isFinished());
    GameNode::tick(node.get(), 10);
    GameNode::tick(node.get(), 10);
    EXPECT_EQ(node->getRunningModifiers().size(), 2u);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"blocking", "blocking"}));
    blocking->finish();
    EXPECT_TRUE(blocking->isFinished());
    EXPECT_EQ(blocking->getFlags(), Modifier::FLAG_BLOCKING);
}

TEST_F(GameNodeTest, FlagFourInPositionThreeReleasesPositionsOneToThree) {
    RefHolder<GameNode> node(new Node());
    GameNode::addModifier(node.get(), new ProbeModifier("1"));
    GameNode::addModifier(node.get(), new ProbeModifier("2"));
    GameNode::addModifier(node.get(), new ProbeModifier("3", 1, Modifier::FLAG_KILL_EARLIER));
    auto* fourth = new ProbeModifier("4");
    GameNode::addModifier(node.get(), fourth);
    EXPECT_EQ(liveObjects, 5);
    GameNode::tick(node.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"1", "2", "3", "4"}));
    ASSERT_EQ(node->getRunningModifiers().size(), 1u);
    EXPECT_EQ(node->getRunningModifiers()[0].get(), fourth);
    EXPECT_EQ(liveObjects, 2);
    EXPECT_FALSE(node->isRemoved());

    // Flag 2 marks the node for removal when the modifier ends.
    GameNode::addModifier(node.get(), new ProbeModifier("5", 1, Modifier::FLAG_REMOVE_TARGET),
                          false);
    GameNode::tick(node.get(), 16);
    EXPECT_TRUE(node->isRemoved());
    EXPECT_EQ(liveObjects, 2);
}

TEST_F(GameNodeTest, AddModifierTakesOneReferenceAndNoDuplicates) {
    RefHolder<GameNode> node(new Node());
    auto* a = new ProbeModifier("a");
    auto* b = new ProbeModifier("b");
    a->setInTree(true);
    EXPECT_EQ(GameNode::addModifier(node.get(), a), a);
    GameNode::addModifier(node.get(), b, false);
    GameNode::addModifier(node.get(), a, false);
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_FALSE(a->isInTree());
    EXPECT_EQ(a->getTarget(), node.get());
    ASSERT_EQ(node->getRunningModifiers().size(), 2u);
    EXPECT_EQ(node->getRunningModifiers()[0].get(), b);
}

int32_t addTwoModifiers(void* context, BaseObject*) {
    auto* node = static_cast<GameNode*>(context);
    GameNode::addModifier(node, new ProbeModifier("front"), false);
    GameNode::addModifier(node, new ProbeModifier("back"), true);
    return 0;
}

TEST_F(GameNodeTest, AFunctionAddingModifiersToItsOwnNodeRunsOnce) {
    RefHolder<GameNode> node(new Node());
    int calls = 0;
    auto* counter = new ProbeModifier("counter");
    counter->action = [&calls](ProbeModifier*) { ++calls; };
    GameNode::addModifier(node.get(), new Counted<ModifierFunction>(&addTwoModifiers, node.get()));
    GameNode::addModifier(node.get(), counter);
    GameNode::tick(node.get(), 16);
    GameNode::tick(node.get(), 16);
    // The function ran once, every modifier at most once per tick.
    int functions = 0;
    for (const auto& modifier : node->getRunningModifiers()) {
        functions += modifier->isA(&ModifierFunction::typeRecord) ? 1 : 0;
    }
    EXPECT_EQ(functions, 0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(node->getRunningModifiers().size(), 3u);
    EXPECT_EQ(std::count(updateLog.begin(), updateLog.end(), "counter"), 2);
    // One added at the front waits for the next tick; one added at the back runs at once.
    EXPECT_EQ(std::count(updateLog.begin(), updateLog.end(), "front"), 1);
    EXPECT_EQ(std::count(updateLog.begin(), updateLog.end(), "back"), 2);
}

TEST_F(GameNodeTest, AModifierMayEmptyItsOwnNodesListWhileTheNodeTicks) {
    RefHolder<GameNode> node(new Node());
    auto* first = new ProbeModifier("first");
    first->action = [&node](ProbeModifier*) { GameNode::removeAllModifiers(node.get()); };
    GameNode::addModifier(node.get(), first);
    GameNode::addModifier(node.get(), new ProbeModifier("second"));
    GameNode::tick(node.get(), 16);
    EXPECT_EQ(updateLog, std::vector<std::string>{"first"});
    EXPECT_TRUE(node->getRunningModifiers().empty());
    EXPECT_EQ(liveObjects, 1);
}

// Frame passes.

TEST_F(GameNodeTest, TheMovePassSkipsRemovedAndSuspendedSubtrees) {
    RefHolder<GameTree> tree(new Counted<GameTree>());
    auto* active = new Node("active");
    auto* suspended = new Node("suspended");
    auto* removed = new Node("removed");
    for (GameNode* node : {active, suspended, removed}) {
        GameNode::appendChild(node, tree.get());
        auto* below = new Node();
        GameNode::appendChild(below, node);
        GameNode::addModifier(node, new ProbeModifier(node->getName()));
        GameNode::addModifier(below, new ProbeModifier(node->getName() + " child"));
    }
    suspended->setSuspended(true);
    removed->setRemoved(true);
    GameNode::addModifier(tree.get(), new ProbeModifier("root"));
    GameNode::tickTree(tree.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"root", "active", "active child"}));
}

TEST_F(GameNodeTest, ThePurgePassReleasesRemovedNodes) {
    RefHolder<GameTree> tree(new Counted<GameTree>());
    auto* keep = new Node("keep");
    auto* drop = new Node("drop");
    auto* deep = new Node("deep");
    GameNode::appendChild(keep, tree.get());
    GameNode::appendChild(drop, tree.get());
    GameNode::appendChild(new Node(), drop);
    GameNode::appendChild(deep, keep);
    drop->setRemoved(true);
    deep->setRemoved(true);
    RefHolder<GameNode> held(deep);  // someone else still holds it
    EXPECT_EQ(liveObjects, 5);

    GameNode::purgeTree(tree.get());
    EXPECT_EQ(childrenOf(tree.get()), std::vector<GameNode*>{keep});
    EXPECT_EQ(keep->getFirstChild(), nullptr);
    EXPECT_EQ(liveObjects, 3);
    EXPECT_EQ(deep->getParent(), nullptr);
    EXPECT_FALSE(deep->isRemoved());
    EXPECT_EQ(deep->getRefCount(), 1);
}

TEST_F(GameNodeTest, RemovingANodeFromItsOwnModifierIsSafe) {
    // A modifier may detach and drop its own node while the move pass is inside it.
    RefHolder<GameTree> tree(new Counted<GameTree>());
    auto* doomed = new Node("doomed");
    auto* after = new Node("after");
    GameNode::appendChild(doomed, tree.get());
    GameNode::appendChild(after, tree.get());
    auto* probe = new ProbeModifier("doomed");
    probe->action = [doomed](ProbeModifier*) {
        GameNode::detach(doomed);
        doomed->release();
    };
    GameNode::addModifier(doomed, probe);
    GameNode::addModifier(after, new ProbeModifier("after"));
    GameNode::tickTree(tree.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"doomed", "after"}));
    EXPECT_EQ(liveObjects, 3);  // the tree, "after" and its modifier
}

TEST_F(GameNodeTest, ANodeDroppingItsSuccessorSendsTheWalkToTheNextOne) {
    RefHolder<GameTree> tree(new Counted<GameTree>());
    auto* first = new Node("first");
    auto* dropped = new Node("dropped");
    GameNode::appendChild(first, tree.get());
    GameNode::appendChild(dropped, tree.get());
    GameNode::appendChild(new Node("last"), tree.get());
    auto* probe = new ProbeModifier("first");
    probe->action = [dropped](ProbeModifier*) {
        GameNode::detach(dropped);
        dropped->release();
    };
    GameNode::addModifier(first, probe);
    for (GameNode* node : childrenOf(tree.get())) {
        if (node != first) {
            GameNode::addModifier(node, new ProbeModifier(node->getName()));
        }
    }
    GameNode::tickTree(tree.get(), 16);
    EXPECT_EQ(updateLog, (std::vector<std::string>{"first", "last"}));
    EXPECT_EQ(liveObjects, 5);  // the tree, two nodes and their modifiers
}

TEST_F(GameNodeTest, ATreeBuiltRunAndReleasedLeavesNothingAlive) {
    {
        RefHolder<GameTree> tree(new Counted<GameTree>());
        RefHolder<AnimTree> animations(new Counted<AnimTree>());
        for (int index = 0; index < 3; ++index) {
            auto* node = new Node();
            GameNode::appendChild(node, tree.get());
            GameNode::addModifier(node, new ProbeModifier("", index + 1));
            GameNode::appendChild(new Node(), node);
            auto* step = new ProbeModifier("", 2);
            step->setTarget(node);
            Modifier* group =
                ModifierContainer::addModifier(animations.get(), new Counted<ModifierContainer>());
            ModifierContainer::addModifier(group, step);
            ModifierContainer::addModifier(step, new ProbeModifier("", -1));
        }
        tree->getFirstChild()->setRemoved(true);
        for (int frame = 0; frame < 4; ++frame) {
            GameNode::tickTree(tree.get(), 16);
            Modifier::runTree(animations.get(), 16);
            GameNode::purgeTree(tree.get());
            Modifier::purge(animations.get());
        }
        EXPECT_GT(liveObjects, 0);
    }
}

}  // namespace game_node_test
