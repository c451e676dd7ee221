#include "framework/core/Interface.h"

QUOVEL_DEFINE_TYPE(Interface)
