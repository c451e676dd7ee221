#include "low/Kept.h"
