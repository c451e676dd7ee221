#pragma once

#include <memory>
#include <string>

// A modal message with a title, for the few failures the player must be told about.
class MessageBox {
public:
    virtual ~MessageBox() = default;

    // Returns when the message has been shown (and, for a real box, dismissed): true when it was
    // written to the stderr stream instead or as well (then it need not be written there again).
    virtual bool show(const std::string& title, const std::string& text) = 0;
};

// True when no person can answer a box: SDL's dummy or offscreen video driver, or the
// environment variable QUOVEL_HEADLESS set to anything but "" or "0".
bool isHeadlessSession();

// The message box for this session: SDL's box for a person at the screen, otherwise (or when
// `headless` is set) one that only writes to stderr, since SDL's box would block.
std::unique_ptr<MessageBox> createMessageBox(bool headless = false);
