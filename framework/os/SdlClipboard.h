#pragma once

#include "framework/os/Clipboard.h"

// The clipboard through SDL's video system.
class SdlClipboard : public Clipboard {
public:
    SdlClipboard();
    ~SdlClipboard() override;
    SdlClipboard(const SdlClipboard&) = delete;
    SdlClipboard& operator=(const SdlClipboard&) = delete;

    bool setText(const std::string& text) override;
    std::string getText() override;

private:
    bool videoStarted = false;
};
