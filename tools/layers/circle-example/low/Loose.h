#include "low/Knot.h"
