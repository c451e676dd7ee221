#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"

namespace apply_setup_test {

class ApplySetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        BasicProperties::releaseInstance();
        BasicProperties::createInstance();
    }
    void TearDown() override { BasicProperties::releaseInstance(); }

    // A setup node stored in the Node table, as loading the "setups" section does.
    PropertyNode* addSetup(const char* name) {
        auto* setup = new PropertyNode(name, "Node");
        BasicProperties::instance()->setNode(name, setup);
        return setup;
    }

    static PropertyNode* referring(const char* name, const char* setupName) {
        auto* node = new PropertyNode(name, "Button");
        node->addChild(new PropertyValue("setup", setupName, true));
        return node;
    }
};

TEST_F(ApplySetupTest, SetupsAreSharedAndNeverOverride) {
    PropertyNode* button = addSetup("BUTTON");
    button->addChild(new PropertyValue("width", 80));
    PropertyValue* height =
        static_cast<PropertyValue*>(button->addChild(new PropertyValue("height", 20)));
    button->addChild(new PropertyValue("image", "IMAGE_BUTTON", true));

    RefHolder<PropertyNode> ok(referring("BUTTON_OK", "BUTTON"));
    ok->addChild(new PropertyValue("width", 100));
    RefHolder<PropertyNode> cancel(referring("BUTTON_CANCEL", "BUTTON"));
    ok->applySetup();
    cancel->applySetup();

    EXPECT_EQ(ok->getChild("setup"), nullptr);
    EXPECT_EQ(ok->getChild("width")->getInt(), 100);
    EXPECT_EQ(cancel->getChild("width")->getInt(), 80);
    // The very same objects, not copies.
    EXPECT_EQ(ok->getChild("height"), height);
    EXPECT_EQ(cancel->getChild("height"), height);
    EXPECT_EQ(height->getRefCount(), 6);  // setup's list and table, twice for each button
    EXPECT_EQ(ok->getChildValue("image")->getValue(), "IMAGE_BUTTON");
    EXPECT_EQ(ok->getChildCount(), 2);  // width and height; the untyped image is by name only
}

TEST_F(ApplySetupTest, AMissingSetupDropsTheEntryAndKeepsTheChildren) {
    RefHolder<PropertyNode> node(referring("BUTTON_OK", "NO_SUCH_SETUP"));
    node->addChild(new PropertyValue("width", 100));
    PropertyNode* nested = static_cast<PropertyNode*>(node->addChild(referring("inner", "")));
    node->applySetup();
    EXPECT_EQ(node->getChild("setup"), nullptr);
    EXPECT_EQ(node->getChild("width")->getInt(), 100);
    EXPECT_EQ(node->getNameTable().size(), 2u);
    // The walk stopped at the missing setup.
    EXPECT_NE(nested->getChild("setup"), nullptr);
}

TEST_F(ApplySetupTest, ChildrenAndVectorElementsAreResolvedToo) {
    PropertyNode* frame = addSetup("FRAME");
    frame->addChild(new PropertyValue("border", 2));

    RefHolder<PropertyNode> dialog(new PropertyNode("DIALOG", "Dialog"));
    PropertyNode* label = static_cast<PropertyNode*>(dialog->addChild(referring("LABEL", "FRAME")));
    auto* list = static_cast<PropertyVector*>(dialog->addChild(new PropertyVector("items")));
    PropertyNode* item = static_cast<PropertyNode*>(list->addChild(referring("", "FRAME")));
    dialog->addChild(new PropertyValue("setup", "", true));  // empty: nothing to inherit
    dialog->applySetup();

    EXPECT_EQ(dialog->getChild("setup"), nullptr);
    EXPECT_EQ(label->getChild("border")->getInt(), 2);
    EXPECT_EQ(item->getChild("border")->getInt(), 2);
    EXPECT_EQ(dialog->getChild("border"), nullptr);
}

TEST_F(ApplySetupTest, ASetupReachingItselfThroughAChildEnds) {
    // The setup's child names the setup again: inheriting would put the child inside itself.
    PropertyNode* loop = addSetup("LOOP");
    PropertyNode* inner = static_cast<PropertyNode*>(loop->addChild(referring("inner", "LOOP")));
    loop->addChild(new PropertyValue("color", 5));

    RefHolder<PropertyNode> node(referring("node", "LOOP"));
    node->applySetup();
    EXPECT_EQ(node->getChild("inner"), inner);
    EXPECT_EQ(inner->getChild("inner"), nullptr);
    EXPECT_EQ(inner->getChild("color")->getInt(), 5);

    // A setup child holding the referring node itself is not added either.
    PropertyNode* outer = addSetup("OUTER");
    RefHolder<PropertyNode> target(referring("target", "OUTER"));
    auto* holder = static_cast<PropertyNode*>(outer->addChild(new PropertyNode("holder", "Node")));
    holder->addChild(target.get());
    outer->addChild(new PropertyValue("size", 9));
    target->applySetup();
    EXPECT_EQ(target->getChild("holder"), nullptr);
    EXPECT_EQ(target->getChild("size")->getInt(), 9);
}

TEST_F(ApplySetupTest, TreesThatHoldThemselvesAreWalkedOnce) {
    addSetup("S")->addChild(new PropertyValue("x", 1));
    // a holds b, b holds a (through a node) and b holds the list that holds b (through a vector).
    RefHolder<PropertyNode> a(new PropertyNode("a", "Node"));
    auto* b = static_cast<PropertyNode*>(a->addChild(referring("b", "S")));
    auto* list = static_cast<PropertyVector*>(b->addChild(new PropertyVector("list")));
    b->addChild(a.get());
    list->addChild(b);
    a->applySetup();
    list->applySetup();
    EXPECT_EQ(b->getChild("x")->getInt(), 1);
    EXPECT_EQ(b->getChild("setup"), nullptr);
    // Break the cycles so that everything is freed.
    b->removeChild("a");
    b->removeChild("list");
}

TEST_F(ApplySetupTest, SharedSetupsAreExpandedOnceAndChainsStopAtTheDepthBound) {
    std::vector<std::string> logged;
    setProblemSink([&](const std::string& line) { logged.push_back(line); });

    // Each level's two children name the level below: walked under every parent, 40 levels
    // would be 2^40 walks.
    addSetup("L0")->addChild(new PropertyValue("leaf", 7));
    for (int i = 1; i <= 40; ++i) {
        PropertyNode* level = addSetup(("L" + std::to_string(i)).c_str());
        const std::string below = "L" + std::to_string(i - 1);
        level->addChild(referring("a", below.c_str()));
        level->addChild(referring("b", below.c_str()));
    }
    RefHolder<PropertyNode> top(referring("top", "L40"));
    top->applySetup();
    PropertyNode* node = top.get();
    for (int depth = 40; depth > 0; --depth) {
        ASSERT_NE(node->getChild("a"), nullptr) << depth;
        // Both children share the level below, expanded once.
        EXPECT_EQ(node->getChildNode("a")->getChild("a"), node->getChildNode("b")->getChild("a"));
        EXPECT_EQ(node->getChild("setup"), nullptr);
        node = node->getChildNode("a");
    }
    EXPECT_EQ(node->getChild("leaf")->getInt(), 7);
    EXPECT_TRUE(logged.empty());

    // A chain of setups far deeper than the stack could follow is applied 64 levels deep.
    const int chain = 30000;
    addSetup("C0");
    for (int i = 1; i <= chain; ++i) {
        const std::string below = "C" + std::to_string(i - 1);
        addSetup(("C" + std::to_string(i)).c_str())->addChild(referring("c", below.c_str()));
    }
    RefHolder<PropertyNode> head(referring("head", ("C" + std::to_string(chain)).c_str()));
    head->applySetup();
    int depth = 0;
    for (node = head.get(); node->getChild("c"); node = node->getChildNode("c")) {
        ++depth;
    }
    EXPECT_EQ(depth, static_cast<int>(AbstractProperty::MAX_SETUP_DEPTH));
    EXPECT_NE(node->getChild("setup"), nullptr);  // the node below the bound is left as it was
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("64"), std::string::npos);
    setProblemSink(nullptr);
}

}  // namespace apply_setup_test
