#include "framework/platform/Font.h"

QUOVEL_DEFINE_TYPE(Font, &BaseObject::typeRecord)
