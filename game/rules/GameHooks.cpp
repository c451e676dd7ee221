#include "game/rules/GameHooks.h"

#include <utility>

#include "framework/core/BasicProperties.h"
#include "framework/os/MessageBox.h"
#include "framework/os/Utf8.h"

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

std::string messageText(const std::string& key, const std::string& value) {
    std::string text = wstringToString(getBasicText(key));
    // The line marks first, so that a "\\n" in `value` stays as it is.
    const std::pair<std::string, std::string> marks[] = {{"\\n", "\n"}, {"%1", value}};
    for (const auto& [mark, by] : marks) {
        for (size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + by.size())) {
            text.replace(at, mark.size(), by);
        }
    }
    return text;
}

}  // namespace GameHooks
