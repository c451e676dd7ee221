#include "game/screen/GameDialogHost.h"

#include <algorithm>

namespace {
GameDialogHost* installed = nullptr;
}  // namespace

GameDialogHost::~GameDialogHost() {
    if (installed == this) {
        installed = nullptr;
    }
}

void GameDialogHost::onDialogOpened(Dialog* dialog) {
    if (std::find(openDialogs.begin(), openDialogs.end(), dialog) == openDialogs.end()) {
        openDialogs.push_back(dialog);
    }
    pauseGame();
}

void GameDialogHost::onDialogClosed(Dialog* dialog) {
    if (std::erase(openDialogs, dialog) > 0 && openDialogs.empty()) {
        resumeGame();
    }
}

void GameDialogHost::forgetDialog(Dialog* dialog) {
    std::erase(openDialogs, dialog);
}

GameDialogHost* GameDialogHost::get() {
    return installed;
}

void GameDialogHost::install(GameDialogHost* host) {
    installed = host;
}
