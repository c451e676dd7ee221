#pragma once

#include "framework/core/GameTree.h"
#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/DrawingList.h"
#include "framework/platform/Image.h"
#include "framework/platform/Task.h"

class Graphics;

// The render pass of a scene: draws the current scene's background, then the node tree into the
// game window's back buffer. Parents are drawn below their children and later siblings above
// earlier ones; hidden nodes and nodes marked removed are skipped with their subtrees. Each
// node draws relative to its parent: the drawing origin moves by the node's position while its
// children are drawn.
//
// A frame is drawn only where it differs from the frame before: the pass is first run through a
// recorder that draws nothing, its operations are matched against those of the frame in the
// back buffer, and the pass then draws inside the damaged rectangles alone, which it hands to
// the window to show. Damage beneath an opaque picture drawn alike in both frames is left out.
// A back buffer that something else drew into since is drawn whole.
class RenderTask : public Task {
    QUOVEL_TYPE(RenderTask)
public:
    explicit RenderTask(GameTree* nodes) : nodes(nodes) {}

    // Draws into the game window's back buffer, when it has a drawing context and the picture
    // changed since the back buffer was drawn (see PictureChanges), where the frame changed.
    void update(int32_t elapsedMs) override;
    // The whole pass into `graphics`: the current scene's background, then the tree.
    void render(Graphics* graphics);
    // The tree alone into `graphics` (a snapshot of a scene that is not current).
    void renderTree(Graphics* graphics);

protected:
    // The rectangle, relative to the node's own position, to which the node and its subtree
    // are clipped; false for nodes that do not clip. Sprites with the clipping flag set answer
    // their clip rectangle here; no node clips until sprites exist.
    virtual bool getNodeClip(GameNode* node, Rect& clip);

private:
    void renderNode(Graphics* graphics, GameNode* node);
    // Draws the frame recorded in `next` into the back buffer inside `damage`.
    void drawDamage(Image* target, Graphics* graphics);

    RefHolder<GameTree> nodes;
    // The operations of the frame in the back buffer, of the frame to come, and of the frame as
    // it was drawn.
    DrawingList drawn;
    DrawingList next;
    DrawingList check;
    std::vector<Rect> damage;
    DrawingList::Occlusion occlusion;
    // The back buffer `drawn` was drawn into, and its change count after the drawing.
    RefHolder<Image> drawnTarget;
    uint64_t drawnTargetChanges = 0;
};
