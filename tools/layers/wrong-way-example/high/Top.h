#include "low/Bottom.h"
