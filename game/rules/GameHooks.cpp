#include "game/rules/GameHooks.h"

#include "framework/os/MessageBox.h"

namespace GameHooks {

namespace {
MessageBox* messageBoxHook = nullptr;
}  // namespace

void installMessageBox(MessageBox* box) {
    messageBoxHook = box;
}

void showMessage(const std::string& title, const std::string& text) {
    if (messageBoxHook != nullptr) {
        messageBoxHook->show(title, text);
        return;
    }
    createMessageBox(isHeadlessSession())->show(title, text);
}

}  // namespace GameHooks
