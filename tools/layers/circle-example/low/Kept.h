#include "low/Held.h"
