#include "game/rules/TileDef.h"

QUOVEL_DEFINE_TYPE(TileDef, &BaseObject::typeRecord)
