#pragma once

#include <cstdint>

// Stands in for the check of the installed DirectX generation: 0x900 when SDL's video system
// starts with a display and a renderer to draw with, 0xE0 otherwise. Leaves SDL as it found
// it and never ends the run.
uint32_t getDirectXVersion();
