#pragma once

#include "framework/core/GameTree.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Task.h"

// The move pass of a scene: per-node updates and running modifiers over the node tree, then
// the scene's animation tree.
class MoveTask : public Task {
    QUOVEL_TYPE(MoveTask)
public:
    MoveTask(GameTree* nodes, AnimTree* animations) : nodes(nodes), animations(animations) {}
    void update(int32_t elapsedMs) override;

private:
    RefHolder<GameTree> nodes;
    RefHolder<AnimTree> animations;
};

// The purge pass of a scene, run last in the frame: nodes and modifiers marked removed while
// the trees were walked are taken out and released here.
class PurgeTask : public Task {
    QUOVEL_TYPE(PurgeTask)
public:
    PurgeTask(GameTree* nodes, AnimTree* animations) : nodes(nodes), animations(animations) {}
    void update(int32_t elapsedMs) override;

private:
    RefHolder<GameTree> nodes;
    RefHolder<AnimTree> animations;
};
