#include <high/Top.h>
#include "../high/Top.h"
