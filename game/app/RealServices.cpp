#include "game/app/RealServices.h"

#include <string>

#include "framework/os/FileInstanceLock.h"
#include "framework/os/SdlAudioMixer.h"
#include "game/app/GameListeners.h"

RealServices::RealServices(SdlDisplay& display, bool headless)
    : events(display), messageBox(createMessageBox(headless)) {
    installGameListeners();
    services.window = {&display, &events, &cursor, &clipboard, messageBox.get(), &clock};
    services.systemInfo = &systemInfo;
    services.mixer = std::make_shared<SdlAudioMixer>();
    services.makeInstanceLock = [](const std::string& folder, const std::string& name) {
        return std::unique_ptr<InstanceLock>(std::make_unique<FileInstanceLock>(folder, name));
    };
}
