#pragma once

#include "framework/core/GameNode.h"

// The root of a scene's node tree: an unnamed node that the scene's move, render and purge
// passes start from.
class GameTree : public GameNode {
    QUOVEL_TYPE(GameTree)
public:
    GameTree();
    ~GameTree() override;
};
