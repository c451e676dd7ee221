// Spelled beside the file: the compiler finds low/Kept.h.
#include "Kept.h"
