#include "framework/os/MessageBox.h"

#include <cstdlib>
#include <string_view>

#include "framework/os/SdlMessageBox.h"
#include "framework/os/StderrMessageBox.h"

bool isHeadlessSession() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver) {
        const std::string_view name(driver);
        if (name == "dummy" || name == "offscreen") {
            return true;
        }
    }
    const char* headless = std::getenv("QUOVEL_HEADLESS");
    return headless && *headless && std::string_view(headless) != "0";
}

std::unique_ptr<MessageBox> createMessageBox(bool headless) {
    if (headless || isHeadlessSession()) {
        return std::make_unique<StderrMessageBox>();
    }
    return std::make_unique<SdlMessageBox>();
}
