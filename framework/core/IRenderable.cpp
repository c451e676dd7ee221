#include "framework/core/IRenderable.h"

QUOVEL_DEFINE_TYPE(IRenderable, &Interface::typeRecord)
