#pragma once

#include <string>

// The system clipboard, as plain UTF-8 text.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // False when the clipboard could not take the text.
    virtual bool setText(const std::string& text) = 0;
    // Empty when the clipboard holds no text.
    virtual std::string getText() = 0;
};
