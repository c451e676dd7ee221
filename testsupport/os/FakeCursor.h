#pragma once

#include <vector>

#include "framework/os/Cursor.h"

// A cursor for tests: records every kind handed to the system, in order.
class FakeCursor : public Cursor {
public:
    void setKind(int newKind) override {
        newKind = normaliseKind(newKind);
        if (newKind != kind) {
            kind = newKind;
            apply();
        }
    }
    int getKind() const override { return kind; }
    void apply() override {
        if (kind >= 0) {
            applied.push_back(kind);
        }
    }

    std::vector<int> applied;

private:
    int kind = -1;
};
