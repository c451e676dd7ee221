#pragma once

#include <cstdint>

#include "framework/core/Modifier.h"
#include "framework/nodes/iGuiMethod.h"

// A call back into the game at a point of a running list or an animation tree: on its first
// update it finishes and then calls function(context, the modifier), so a function that adds
// modifiers or changes the scene already sees it finished and it is never called twice.
class ModifierFunction : public Modifier {
    QUOVEL_TYPE(ModifierFunction)
public:
    explicit ModifierFunction(const iGuiMethod::Bound& bound);
    ModifierFunction(iGuiMethod::Callback function, void* context);

    void update(int32_t elapsedMs) override;
    // Answers the iGuiMethod type with the callback object.
    void* castTo(const TypeRecord* type) override;

    iGuiMethod& getCallback() { return callback; }

private:
    iGuiMethod callback;
};
