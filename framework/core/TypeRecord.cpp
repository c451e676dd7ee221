#include "framework/core/TypeRecord.h"

bool TypeRecord::isA(const TypeRecord* other) const {
    if (this == other) {
        return true;
    }
    for (const TypeRecord* const* parent = parents; parent && *parent; ++parent) {
        if ((*parent)->isA(other)) {
            return true;
        }
    }
    return false;
}
