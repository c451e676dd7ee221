#pragma once

// The names of a property vector's children in their order, for the property tree tests.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/AbstractProperty.h"
#include "framework/core/PropertyVector.h"

inline std::vector<std::string> listedNames(const PropertyVector& vector) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < vector.getChildCount(); ++i) {
        names.push_back(vector.getChildAt(i)->getName());
    }
    return names;
}
