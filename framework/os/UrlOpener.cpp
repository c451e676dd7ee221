#include "framework/os/UrlOpener.h"

#include <SDL.h>

#include "framework/os/MessageBox.h"

namespace {

class SdlUrlOpener : public UrlOpener {
public:
    bool open(const std::string& address) override {
        // No browser is started where no person is at the screen (tests, CI).
        if (isHeadlessSession()) {
            return false;
        }
        return SDL_OpenURL(address.c_str()) == 0;
    }
};

UrlOpener* installed = nullptr;

}  // namespace

UrlOpener& UrlOpener::current() {
    static SdlUrlOpener desktop;
    return installed ? *installed : desktop;
}

void UrlOpener::install(UrlOpener* opener) {
    installed = opener;
}
