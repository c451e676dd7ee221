#include "framework/os/SdlCursor.h"

#include <SDL.h>

namespace {

// SDL has no help cursor; the arrow serves.
constexpr SDL_SystemCursor SYSTEM_CURSORS[Cursor::KIND_COUNT] = {
    SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_WAITARROW, SDL_SYSTEM_CURSOR_ARROW,
    SDL_SYSTEM_CURSOR_HAND,  SDL_SYSTEM_CURSOR_ARROW,     SDL_SYSTEM_CURSOR_WAIT,
    SDL_SYSTEM_CURSOR_IBEAM};

}  // namespace

SdlCursor::SdlCursor() {
    videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

SdlCursor::~SdlCursor() {
    for (SDL_Cursor* cursor : cursors) {
        if (cursor) {
            SDL_FreeCursor(cursor);
        }
    }
    if (videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

void SdlCursor::setKind(int newKind) {
    newKind = normaliseKind(newKind);
    if (newKind == kind) {
        return;
    }
    kind = newKind;
    apply();
}

void SdlCursor::apply() {
    if (!videoStarted || kind < 0) {
        return;
    }
    if (kind == KIND_NONE) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor*& cursor = cursors[kind];
    if (!cursor) {
        cursor = SDL_CreateSystemCursor(SYSTEM_CURSORS[kind]);
    }
    if (cursor) {
        SDL_SetCursor(cursor);
    }
    SDL_ShowCursor(SDL_ENABLE);
}
