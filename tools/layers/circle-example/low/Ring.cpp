#include "low/Band.h"
