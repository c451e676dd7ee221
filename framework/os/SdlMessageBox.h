#pragma once

#include "framework/os/MessageBox.h"

// SDL's simple message box, for a session with a person at the screen. When SDL cannot show
// one the message goes to stderr instead, so it is never lost.
class SdlMessageBox : public MessageBox {
public:
    void show(const std::string& title, const std::string& text) override;
};
