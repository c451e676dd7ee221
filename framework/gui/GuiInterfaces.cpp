#include "framework/gui/iText.h"
#include "framework/gui/iToolTip.h"

QUOVEL_DEFINE_TYPE(iText, &Interface::typeRecord)
QUOVEL_DEFINE_TYPE(iToolTip, &Interface::typeRecord)
