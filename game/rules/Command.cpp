#include "game/rules/Command.h"

// Commands have a root record of their own: they are told apart from every other object by it.
QUOVEL_DEFINE_TYPE(Command)
