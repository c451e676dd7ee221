#include "framework/platform/RenderTask.h"

#include "framework/core/IRenderable.h"
#include "framework/core/PictureChanges.h"
#include "framework/platform/DrawingRecorder.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/SceneHooks.h"

QUOVEL_DEFINE_TYPE(RenderTask, &Task::typeRecord)

namespace {

// A damage covering more than this share of the frame (percent) draws the frame whole.
constexpr int32_t WHOLE_FRAME_SHARE = 60;

IRenderable* renderableOf(GameNode* node) {
    return interfaceCast<IRenderable>(node);
}

}  // namespace

void RenderTask::update(int32_t) {
    GameWindow* window = GameWindow::getInstance();
    Graphics* graphics = window ? window->getGraphics() : nullptr;
    // Read before drawing: a change made while drawing (a label laying out its text) draws the
    // next frame again.
    const uint64_t changes = PictureChanges::current();
    if (!graphics || window->holdsPicture(changes)) {
        return;
    }
    Image* target = window->getBackBuffer();
    next.clear();
    {
        RefHolder<DrawingRecorder> recorder(new DrawingRecorder(target, next));
        render(recorder.get());
    }
    const Rect whole{0, 0, target->getWidth(), target->getHeight()};
    damage.clear();
    if (drawnTarget.get() == target && target->getChangeCount() == drawnTargetChanges) {
        DrawingList::findDamage(drawn, next, damage);
        // Whole rows: blits blend pixels in pairs from the left edge of what they draw, so a
        // rectangle's side cutting through a blit could round its pixels otherwise than the
        // whole frame does.
        for (Rect& r : damage) {
            r.x = whole.x;
            r.w = whole.w;
        }
        mergeDamage(damage, whole, WHOLE_FRAME_SHARE);
    } else {
        damage.assign(1, whole);
    }
    if (!damage.empty()) {
        const uint64_t before = target->getChangeCount();
        drawDamage(target, graphics);
        if (!(check == next) && !(damage.size() == 1 && damage.front() == whole)) {
            // The pass drew other operations than it recorded (something it draws changed while
            // it was recorded): the damage may miss them.
            damage.assign(1, whole);
            drawDamage(target, graphics);
        }
        std::swap(drawn, check);
        window->addDamage(damage, before, target->getChangeCount());
    }
    drawnTarget = target;
    drawnTargetChanges = target->getChangeCount();
    window->setDrawnPicture(changes);
}

void RenderTask::drawDamage(Image* target, Graphics* graphics) {
    check.clear();
    RefHolder<DrawingRecorder> recorder(new DrawingRecorder(target, check, graphics, &damage));
    render(recorder.get());
}

void RenderTask::render(Graphics* graphics) {
    if (!graphics) {
        return;
    }
    GameNode* scene = SceneHooks::currentScene();
    if (scene && scene->isVisible()) {
        if (IRenderable* background = renderableOf(scene)) {
            background->render(graphics);
        }
    }
    renderTree(graphics);
}

void RenderTask::renderTree(Graphics* graphics) {
    if (graphics && nodes) {
        renderNode(graphics, nodes.get());
    }
}

bool RenderTask::getNodeClip(GameNode*, Rect&) {
    return false;
}

void RenderTask::renderNode(Graphics* graphics, GameNode* node) {
    if (!node->isVisible() || node->isRemoved()) {
        return;
    }
    Rect clip;
    Rect savedClip;
    const bool clips = getNodeClip(node, clip);
    if (clips) {
        savedClip = *graphics->getClipRect();
        graphics->setClipRectR(
            Rect{clip.x + node->getAbsoluteX(), clip.y + node->getAbsoluteY(), clip.w, clip.h});
    }
    if (IRenderable* renderable = renderableOf(node)) {
        renderable->render(graphics);
    }
    if (GameNode* child = node->getFirstChild()) {
        const int32_t savedX = graphics->getOffsetX();
        const int32_t savedY = graphics->getOffsetY();
        graphics->translate(node->getX(), node->getY());
        // The next sibling is read after the child is drawn: drawing never unlinks nodes
        // (removal waits for the purge pass).
        for (; child; child = child->getNextSibling()) {
            renderNode(graphics, child);
        }
        graphics->setOffset(savedX, savedY);
    }
    if (clips) {
        graphics->setClipRectR(savedClip);
    }
}
