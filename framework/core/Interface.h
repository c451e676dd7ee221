#pragma once

#include "framework/core/TypeRecord.h"

// Root of the mixed-in interfaces (IRenderable, iInputListener, iGuiMethod). Interfaces carry a
// type record but no reference count: the object they are mixed into owns that.
class Interface {
    QUOVEL_INTERFACE_TYPE(Interface)
public:
    virtual ~Interface() = default;
};
