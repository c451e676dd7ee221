#include "low/Tie.h"
