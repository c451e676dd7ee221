#pragma once

struct SDL_Window;

// Whether the window's X connection holds events for SDL. Without `readConnection` it looks
// only at the events Xlib has queued and whether the socket has bytes to read: one cheap call,
// enough while nothing but Xlib has read the connection. With it, the connection is read as
// SDL's own pump does first, which also finds the events a reply wait through XCB alone (a GL
// driver's) left in XCB's queue: still a fraction of what the pump costs, which reads it four
// times and does more besides. -1 when the window is not on X.
int x11EventsWaiting(SDL_Window* window, bool readConnection);

// Whether the key of an SDL key code is down on the window's X keyboard now: 1 down, 0 up, -1
// when the window is not on X or the key has no X key symbol (see x11KeySym).
int x11KeyDown(SDL_Window* window, int sdlKey);

// Whether the keyboard's right Alt key (named RALT by X's keyboard extension) is AltGr, a
// shift to further characters (1), or Alt (0); -1 when the window is not on X or the key is not
// found.
int x11RightAltIsAltGr(SDL_Window* window);

// The X key symbol asked about for an SDL key code: every key the event translator names
// (both Enter keys, the keypad, arrows, F1 to F12, letters, digits, punctuation, modifiers);
// 0 for any other.
unsigned long x11KeySym(int sdlKey);
