#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/IRenderable.h"
#include "framework/platform/RenderTask.h"
#include "framework/platform/SceneHooks.h"
#include "platform/RecordingGraphics.h"

namespace render_task_test {

struct Drawn {
    std::string name;
    int32_t offsetX;
    int32_t offsetY;
    Rect clip;
};
std::vector<Drawn> drawn;

// A node that draws itself by noting where the drawing origin and the clip were.
class TestRenderable : public GameNode, public IRenderable {
public:
    TestRenderable(const std::string& name, int32_t x, int32_t y) : GameNode(name) {
        setPosition(x, y);
    }
    void* castTo(const TypeRecord* type) override {
        if (type == &IRenderable::typeRecord) {
            return static_cast<IRenderable*>(this);
        }
        return GameNode::castTo(type);
    }
    void render(Graphics* graphics) override {
        drawn.push_back(
            {getName(), graphics->getOffsetX(), graphics->getOffsetY(), *graphics->getClipRect()});
    }
};

// The clip seam filled in the way sprites will: some nodes clip their subtree.
class ClippingRenderTask : public RenderTask {
public:
    using RenderTask::RenderTask;
    GameNode* clipping = nullptr;
    Rect clipRect;

protected:
    bool getNodeClip(GameNode* node, Rect& clip) override {
        if (node != clipping) {
            return false;
        }
        clip = clipRect;
        return true;
    }
};

std::vector<std::string> drawnNames() {
    std::vector<std::string> names;
    for (const Drawn& entry : drawn) {
        names.push_back(entry.name);
    }
    return names;
}

class RenderTaskTest : public ::testing::Test {
protected:
    void SetUp() override {
        drawn.clear();
        target = Image::createImage(200, 100, 4);
        graphics = new RecordingGraphics(target.get());
    }
    void TearDown() override { SceneHooks::currentScene.install(nullptr); }

    // root (plain) -> a (10, 20) -> a1 (1, 2), a2 (3, 4); b (50, 0)
    TestRenderable* add(const std::string& name, int32_t x, int32_t y, GameNode* parent) {
        auto* node = new TestRenderable(name, x, y);
        GameNode::appendChild(node, parent);
        return node;
    }

    RefHolder<Image> target;
    RefHolder<RecordingGraphics> graphics;
    RefHolder<GameTree> tree{new GameTree()};
};

TEST_F(RenderTaskTest, ParentsUnderChildrenLaterSiblingsOnTopRelativeToTheParent) {
    GameNode* a = add("a", 10, 20, tree.get());
    add("a1", 1, 2, a);
    add("a2", 3, 4, a);
    auto* plain = new GameNode("plain");  // draws nothing, but moves its children
    plain->setPosition(100, 50);
    GameNode::appendChild(plain, tree.get());
    add("p1", 0, 0, plain);

    RenderTask task(tree.get());
    task.render(graphics.get());
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"a", "a1", "a2", "p1"}));
    // A node draws at its own position within its parent's origin.
    EXPECT_EQ(drawn[0].offsetX, 0);
    EXPECT_EQ(drawn[1].offsetX, 10);
    EXPECT_EQ(drawn[1].offsetY, 20);
    EXPECT_EQ(drawn[3].offsetX, 100);
    EXPECT_EQ(drawn[3].offsetY, 50);
    EXPECT_EQ(graphics->getOffsetX(), 0);
    EXPECT_EQ(graphics->getOffsetY(), 0);
}

TEST_F(RenderTaskTest, HiddenAndRemovedSubtreesAreSkipped) {
    GameNode* hidden = add("hidden", 0, 0, tree.get());
    add("underHidden", 0, 0, hidden);
    GameNode* removed = add("removed", 0, 0, tree.get());
    add("underRemoved", 0, 0, removed);
    add("shown", 0, 0, tree.get());
    hidden->setVisible(false);
    removed->setRemoved(true);

    RenderTask task(tree.get());
    task.render(graphics.get());
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"shown"}));
}

RefHolder<TestRenderable> currentScene;
GameNode* currentSceneHook() {
    return currentScene.get();
}

TEST_F(RenderTaskTest, TheVisibleCurrentSceneDrawsItsBackgroundFirst) {
    add("node", 5, 5, tree.get());
    currentScene = new TestRenderable("scene", 0, 0);
    SceneHooks::currentScene.install(currentSceneHook);
    RenderTask task(tree.get());
    task.render(graphics.get());
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"scene", "node"}));

    drawn.clear();
    currentScene->setVisible(false);
    task.render(graphics.get());
    EXPECT_EQ(drawnNames(), (std::vector<std::string>{"node"}));
    currentScene.reset();
}

TEST_F(RenderTaskTest, AClippingNodeClipsItsSubtreeAtItsAbsolutePosition) {
    GameNode* panel = add("panel", 10, 20, tree.get());
    GameNode* inner = add("inner", 5, 5, panel);
    add("deep", 1, 1, inner);
    add("after", 0, 0, tree.get());

    ClippingRenderTask task(tree.get());
    task.clipping = inner;
    task.clipRect = Rect{0, 0, 30, 40};
    graphics->setClipRect(0, 0, 150, 90);
    task.render(graphics.get());
    ASSERT_EQ(drawnNames(), (std::vector<std::string>{"panel", "inner", "deep", "after"}));
    const Rect full{0, 0, 150, 90};
    const Rect clipped{15, 25, 30, 40};
    EXPECT_EQ(drawn[0].clip, full);
    EXPECT_EQ(drawn[1].clip, clipped);
    EXPECT_EQ(drawn[2].clip, clipped);
    EXPECT_EQ(drawn[3].clip, full);
    EXPECT_EQ(*graphics->getClipRect(), full);
}

TEST_F(RenderTaskTest, WithoutADrawingContextNothingIsDrawn) {
    add("node", 0, 0, tree.get());
    RenderTask task(tree.get());
    task.render(nullptr);
    task.update(16);  // no game window: no back buffer to draw into
    EXPECT_TRUE(drawn.empty());
}

}  // namespace render_task_test
