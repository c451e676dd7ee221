#include "framework/os/SdlClipboard.h"

#include <SDL.h>

SdlClipboard::SdlClipboard() {
    videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

SdlClipboard::~SdlClipboard() {
    if (videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool SdlClipboard::setText(const std::string& text) {
    return videoStarted && SDL_SetClipboardText(text.c_str()) == 0;
}

std::string SdlClipboard::getText() {
    if (!videoStarted || !SDL_HasClipboardText()) {
        return {};
    }
    char* text = SDL_GetClipboardText();
    if (!text) {
        return {};
    }
    std::string result(text);
    SDL_free(text);
    return result;
}
