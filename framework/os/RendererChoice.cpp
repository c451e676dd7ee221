#include "framework/os/RendererChoice.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <initializer_list>

// Built outside the unity batches: Xlib's macros (None, Status, Bool ...) must not reach other
// files.

namespace {

// Mesa's reading of a yes/no variable.
bool environmentSaysYes(const char* name) {
    const char* value = SDL_getenv(name);
    if (!value) {
        return false;
    }
    for (const char* yes : {"1", "true", "yes", "y"}) {
        if (SDL_strcasecmp(value, yes) == 0) {
            return true;
        }
    }
    return false;
}

// Asks the window's X server which extensions a GL library could render directly through:
// DRI3 and DRI2 for Mesa's hardware drivers, NV-GLX for NVIDIA's. Without any of them Mesa's
// GLX and EGL can only rasterise on the processor.
OpenGlDrawer askXServer(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return OpenGlDrawer::UNKNOWN;
    }
    for (const char* direct : {"DRI3", "DRI2", "NV-GLX"}) {
        int opcode = 0;
        int firstEvent = 0;
        int firstError = 0;
        if (XQueryExtension(info.info.x11.display, direct, &opcode, &firstEvent, &firstError)) {
            return OpenGlDrawer::GRAPHICS_CARD;
        }
    }
    return OpenGlDrawer::PROCESSOR;
}

// An OpenGL renderer whose GL draws on the processor (Mesa's llvmpipe, softpipe, swrast): what
// the prediction missed, found once the GL stack is loaded.
bool rasterisesInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name ||
        SDL_strncmp(info.name, "opengl", 6) != 0 || !SDL_GL_GetCurrentContext()) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int GL_RENDERER_NAME = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* name =
        getString ? reinterpret_cast<const char*>(getString(GL_RENDERER_NAME)) : nullptr;
    if (!name) {
        return false;
    }
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (SDL_strstr(name, software)) {
            return true;
        }
    }
    return false;
}

}  // namespace

OpenGlDrawer predictOpenGlDrawer(SDL_Window* window) {
    if (environmentSaysYes("LIBGL_ALWAYS_SOFTWARE")) {
        return OpenGlDrawer::PROCESSOR;
    }
    // Indirect rendering draws in the X server, whatever the server's extensions say.
    if (environmentSaysYes("LIBGL_ALWAYS_INDIRECT")) {
        return OpenGlDrawer::UNKNOWN;
    }
    return window ? askXServer(window) : OpenGlDrawer::UNKNOWN;
}

SDL_Renderer* createWindowRenderer(SDL_Window* window) {
    const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (named && *named) {
        SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
        return renderer ? renderer : SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    SDL_Renderer* renderer = nullptr;
    // Every accelerated renderer SDL has on this system draws through OpenGL.
    if (predictOpenGlDrawer(window) != OpenGlDrawer::PROCESSOR) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (renderer && rasterisesInSoftware(renderer)) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
        }
    }
    return renderer ? renderer : SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}
