#pragma once

#include "framework/core/Interface.h"

class Graphics;

// Something the render pass draws: sprites and everything derived from them, and a scene's own
// background. A node offers it through castTo(&IRenderable::typeRecord); the render pass has
// already moved the drawing origin to the node's parent when it calls render.
class IRenderable : public Interface {
    QUOVEL_INTERFACE_TYPE(IRenderable)
public:
    virtual void render(Graphics* graphics) = 0;
};
