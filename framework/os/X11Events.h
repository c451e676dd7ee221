#pragma once

struct SDL_Window;

// How many events the window's X connection holds for SDL, counting those the server has sent
// and not yet been read: one read of the connection, a fraction of what SDL's own pump costs
// (it reads it four times and does more besides). -1 when the window is not on X.
int x11EventsWaiting(SDL_Window* window);
