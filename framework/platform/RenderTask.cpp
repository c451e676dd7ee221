#include "framework/platform/RenderTask.h"

#include <algorithm>

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

// Rounds of widening and merging before a damage is taken as whole rows.
constexpr int32_t MAX_ALIGN_ROUNDS = 4;
// Row loops blend in groups of up to this many pixels from the left end of the row they draw.
constexpr int32_t PIXEL_GROUP = 4;

// Operations whose pixels depend only on their place in the target and on how far they lie,
// in groups, from the operation's left end: cut at a group's edge, they draw what they draw
// whole. Any other operation a damaged rectangle's side cuts through (but those of
// cutsAnywhere) is taken in whole.
bool cutsAtGroups(int32_t kind) {
    switch (kind) {
        case DrawingRecorder::FILL:
        case DrawingRecorder::BLIT:
        case DrawingRecorder::BLIT_CHANNEL:
        case DrawingRecorder::BLIT_CHANNEL_MIN:
        case DrawingRecorder::BLIT_CHANNEL_MAX:
            return true;
        default:
            return false;
    }
}

// Operations that draw each pixel alone, the same wherever their row starts: cut anywhere,
// they draw what they draw whole.
bool cutsAnywhere(int32_t kind) {
    return kind == DrawingRecorder::PIXEL || kind == DrawingRecorder::PIXEL_CHANNEL ||
           kind == DrawingRecorder::FILL_CHANNEL || kind == DrawingRecorder::COPY;
}

// Where a side at `edge` must move to so that it cuts `touched` only at a group's edge:
// outward (`step` -1 to the left, +1 to the right) to the group's edge or past the operation.
int32_t alignedEdge(int32_t edge, const Rect& touched, int32_t kind, int32_t step) {
    const int32_t left = touched.x;
    const int32_t right = touched.x + touched.w;
    if (edge <= left || edge >= right || cutsAnywhere(kind)) {
        return edge;
    }
    if (!cutsAtGroups(kind)) {
        return step < 0 ? left : right;
    }
    const int32_t within = (edge - left) % PIXEL_GROUP;
    if (within == 0) {
        return edge;
    }
    return step < 0 ? edge - within : std::min(right, edge + PIXEL_GROUP - within);
}

// Widens each damaged rectangle sideways until no operation of the frame is cut by its left or
// right side other than at a group's edge, so that the rectangle draws exactly the pixels the
// whole frame draws (the pair and quad rules of the row loops count from the row's left end).
// True when any rectangle grew.
bool alignDamageEdges(std::vector<Rect>& damage, const DrawingList& frame) {
    bool grew = false;
    for (Rect& r : damage) {
        for (bool moved = true; moved;) {
            moved = false;
            for (const DrawnOperation& operation : frame.getOperations()) {
                const Rect& t = operation.touched;
                if (t.y >= r.y + r.h || r.y >= t.y + t.h) {
                    continue;
                }
                const int32_t left = alignedEdge(r.x, t, operation.kind, -1);
                const int32_t right = alignedEdge(r.x + r.w, t, operation.kind, 1);
                if (left != r.x || right != r.x + r.w) {
                    r = Rect{left, r.y, right - left, r.h};
                    moved = true;
                }
            }
            grew = grew || moved;
        }
    }
    return grew;
}

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
        DrawingList::findVisibleDamage(drawn, next, target->getBytesPerPixel(), occlusion, damage);
        mergeDamage(damage, whole, WHOLE_FRAME_SHARE);
        // Widening may make rectangles overlap, which the merge joins again; a damage that does
        // not settle within a few rounds is taken as whole rows.
        bool settled = false;
        for (int32_t round = 0; round < MAX_ALIGN_ROUNDS && !settled; ++round) {
            settled = !alignDamageEdges(damage, next);
            if (!settled) {
                mergeDamage(damage, whole, WHOLE_FRAME_SHARE);
            }
        }
        if (!settled) {
            for (Rect& r : damage) {
                r.x = whole.x;
                r.w = whole.w;
            }
            mergeDamage(damage, whole, WHOLE_FRAME_SHARE);
        }
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
