#pragma once

#include <array>

#include "framework/os/Cursor.h"

struct SDL_Cursor;

// Cursor kinds as SDL's system cursors, made on first use and kept until destruction.
class SdlCursor : public Cursor {
public:
    SdlCursor();
    ~SdlCursor() override;
    SdlCursor(const SdlCursor&) = delete;
    SdlCursor& operator=(const SdlCursor&) = delete;

    void setKind(int kind) override;
    int getKind() const override { return kind; }
    void apply() override;

private:
    bool videoStarted = false;
    int kind = -1;
    std::array<SDL_Cursor*, KIND_COUNT> cursors{};
};
