#include "low/Ring.h"
