#pragma once

#include <cstdint>

#include "framework/core/BaseObject.h"

// One tile face handed out by the dealer: a suit number and a value within the suit.
class TileDef : public BaseObject {
    QUOVEL_TYPE(TileDef)
public:
    TileDef(int32_t suit, int32_t value) : suit(suit), value(value) {}

    int32_t getSuit() const { return suit; }
    int32_t getValue() const { return value; }

private:
    int32_t suit;
    int32_t value;
};
