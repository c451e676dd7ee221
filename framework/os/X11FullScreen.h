#pragma once

struct SDL_Window;

// Whether a window that SDL put in full screen really covers the desktop. On X only a window
// manager acts on the request; without one SDL still believes it was granted and scales the
// picture to a desktop that the unchanged window does not cover. True on other systems, where
// SDL's word holds. May wait up to a second for a window manager to resize the window.
bool x11FullScreenGranted(SDL_Window* window);
