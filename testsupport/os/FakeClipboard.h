#pragma once

#include "framework/os/Clipboard.h"

// A clipboard for tests: a string, and a switch that makes setting it fail.
class FakeClipboard : public Clipboard {
public:
    bool setText(const std::string& newText) override {
        if (setFails) {
            return false;
        }
        text = newText;
        return true;
    }
    std::string getText() override { return text; }

    std::string text;
    bool setFails = false;
};
