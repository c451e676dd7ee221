#pragma once

#include <string>
#include <vector>

#include "tools/levels/LayoutCatalogue.h"

namespace levels {

// Writes the four level files (hallway, casino, rec room, roof) under
// <root>/media/properties/levels/ from the designed layouts, choosing layouts by type and
// difficulty and the values of each level from the difficulty curves. False on a write error
// or when a type has too few layouts.
bool writeLevelFiles(const std::string& root, const std::vector<LayoutDesign>& designs);

// Writes <root>/media/properties/text.xml with every layout's display name.
bool writeLayoutTexts(const std::string& root, const std::vector<LayoutDesign>& designs);

}  // namespace levels
