#pragma once

#include <string>

// Opens an address (a web page, a mail address, a file) with whatever the desktop uses for it,
// as a link button does. Tests install an opener that records the address instead.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // True when the desktop accepted the address.
    virtual bool open(const std::string& address) = 0;

    // The installed opener, or the desktop's (SDL_OpenURL; nothing in a headless session).
    static UrlOpener& current();
    // Null puts the desktop's opener back.
    static void install(UrlOpener* opener);
};
