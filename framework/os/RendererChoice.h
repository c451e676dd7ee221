#pragma once

struct SDL_Window;
struct SDL_Renderer;

// What an OpenGL context on the window would draw with, judged without loading any OpenGL
// library into the process: once loaded, a GL stack (a software rasteriser with its compiler
// among it) stays mapped for the rest of the run.
enum class OpenGlDrawer {
    GRAPHICS_CARD,  // the display offers direct rendering: most likely a real driver
    PROCESSOR,      // Mesa would only have its software rasteriser, or is told to use it
    UNKNOWN,        // nothing to judge by (not on X)
};

OpenGlDrawer predictOpenGlDrawer(SDL_Window* window);

// A renderer for the window: SDL's software renderer where OpenGL would rasterise on the
// processor (it does the same blit for a fraction of the cost), else an accelerated one, else
// the software one. A render driver named through SDL's hint (SDL_RENDER_DRIVER in the
// environment) is the user's choice and taken as it stands.
SDL_Renderer* createWindowRenderer(SDL_Window* window);
