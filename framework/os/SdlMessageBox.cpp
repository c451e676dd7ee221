#include "framework/os/SdlMessageBox.h"

#include <SDL.h>

#include "framework/os/StderrMessageBox.h"

void SdlMessageBox::show(const std::string& title, const std::string& text) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) != 0) {
        StderrMessageBox().show(title, text);
    }
}
