#pragma once

#include "framework/core/Interface.h"

class GameTree;

// What scenes need of the shared tooltip beyond its input listener: the node tree it searches
// for the texts under the pointer. The tooltip object answers this type through castTo.
class iToolTip : public Interface {
    QUOVEL_INTERFACE_TYPE(iToolTip)
public:
    virtual void setRoot(GameTree* root) = 0;
};
