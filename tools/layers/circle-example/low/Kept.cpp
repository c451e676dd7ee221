#include "low/Grip.h"
