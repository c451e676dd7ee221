// Panels: components built from definitions, found by name, moved, removed and clipped.
#include <gtest/gtest.h>

#include "core/FakeFilesTest.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/GameTree.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/gui/Panel.h"

namespace panel_test {

// The panel defined under "panel" in the XML.
RefHolder<Panel> panelFrom(const std::string& xml) {
    FakeFileSystem files;
    FileSystem::setCurrent(&files);
    const std::string text = "<root>" + xml + "</root>";
    files.files["panel.xml"].assign(text.begin(), text.end());
    RefHolder<PropertyStore> store = new PropertyStore();
    EXPECT_TRUE(store->loadFile("panel.xml"));
    FileSystem::setCurrent(nullptr);
    return new Panel(store->getChildNode("panel"));
}

GameNode* named(const std::string& name) {
    return new GameNode(name);
}

TEST(Panel, BuildsItsComponentsInOrderAndSkipsWhatNoClassMakes) {
    RefHolder<Panel> panel = panelFrom(
        "<Panel id=\"panel\" x=\"5\"><Vector id=\"components\">"
        "<Sprite id=\"first\"/><NoSuchClass id=\"ghost\"/><Integer id=\"value\" value=\"3\"/>"
        "<Panel id=\"inner\"><Vector id=\"components\"><Sprite id=\"deep\"/></Vector></Panel>"
        "</Vector></Panel>");
    GameNode* components = panel->getComponents();
    ASSERT_EQ(components->getParent(), panel.get());
    EXPECT_EQ(panel->getLastChild(), components);
    GameNode* first = components->getFirstChild();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getName(), "first");
    ASSERT_NE(first->getNextSibling(), nullptr);
    EXPECT_EQ(first->getNextSibling()->getName(), "inner");
    EXPECT_EQ(first->getNextSibling()->getNextSibling(), nullptr);
    ASSERT_NE(panel->findChild("deep"), nullptr);
    EXPECT_EQ(panel->findChild("ghost"), nullptr);

    // A "components" entry that is not a vector builds nothing.
    RefHolder<Panel> empty =
        panelFrom("<Panel id=\"panel\"><Integer id=\"components\" value=\"1\"/></Panel>");
    EXPECT_EQ(empty->getComponents()->getFirstChild(), nullptr);
    BasicProperties::releaseInstance();  // where the Integer entries were stored
}

TEST(Panel, FindChildIsDepthFirstAndDoesNotSearchRemovedSubtrees) {
    RefHolder<Panel> panel = new Panel();
    RefHolder<Panel> inner = new Panel();
    inner->setName("inner");
    GameNode* nestedTwin = named("twin");
    inner->addChild(nestedTwin);
    GameNode* hidden = named("hidden");
    inner->addChild(hidden);
    panel->addChild(inner.get());
    GameNode* laterTwin = named("twin");
    panel->addChild(laterTwin);

    // The twin inside the earlier component's subtree wins over the later sibling.
    EXPECT_EQ(panel->findChild("twin"), nestedTwin);
    EXPECT_EQ(panel->findChild("twi"), nullptr);

    panel->removeChild(inner.get());
    EXPECT_TRUE(inner->isRemoved());
    EXPECT_EQ(panel->findChild("inner"), inner.get());  // found by its own name
    EXPECT_EQ(panel->findChild("hidden"), nullptr);     // its subtree is not searched
    EXPECT_EQ(panel->findChild("twin"), laterTwin);

    // Added again, it survives the purge and is searched again.
    panel->addChild(inner.get());
    EXPECT_FALSE(inner->isRemoved());
    GameNode::purgeTree(panel.get());
    EXPECT_EQ(panel->findChild("hidden"), hidden);
    EXPECT_EQ(panel->getComponents()->getLastChild(), inner.get());
}

TEST(Panel, AddingAChildOfAnotherNodeMovesItAndPurgingARemovedOneFreesIt) {
    RefHolder<GameTree> other = new GameTree();
    GameNode* child = named("moved");
    GameNode::appendChild(child, other.get());
    RefHolder<Panel> panel = new Panel();
    RefHolder<GameNode> watch = child;

    panel->addChild(child);
    EXPECT_EQ(other->getFirstChild(), nullptr);
    EXPECT_EQ(child->getParent(), panel->getComponents());
    EXPECT_EQ(watch->getRefCount(), 2);  // the watch and the panel's tree

    panel->removeChild(child);
    EXPECT_EQ(child->getParent(), panel->getComponents());  // still linked until the purge
    GameNode::purgeTree(panel.get());
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(watch->getRefCount(), 1);
}

TEST(Panel, ClipChildrenGivesEverySpriteBelowThePanelsClipUnchanged) {
    RefHolder<Panel> panel = new Panel();
    panel->setDirty(false);
    auto* sprite = new Sprite(3, 4, 10, 10);
    auto* deeper = new Sprite(1, 1, 5, 5);
    GameNode::appendChild(deeper, sprite);
    panel->addChild(sprite);
    panel->setDirty(false);

    panel->clipChildren();  // no clip rectangle: nothing changes, not even the dirty flag
    EXPECT_FALSE(panel->isDirty());
    EXPECT_FALSE(sprite->getClipRect().has_value());

    panel->setClipRect({10, 20, 30, 40});
    panel->setDirty(false);
    panel->clipChildren();
    EXPECT_TRUE(panel->isDirty());
    ASSERT_TRUE(deeper->getClipRect().has_value());
    EXPECT_EQ(*deeper->getClipRect(), (Rect{10, 20, 30, 40}));
    EXPECT_EQ(*sprite->getClipRect(), (Rect{10, 20, 30, 40}));
}

}  // namespace panel_test
