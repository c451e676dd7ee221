#include "game/visuals/ITileBoard.h"

QUOVEL_DEFINE_TYPE(ITileBoard, &Interface::typeRecord)
