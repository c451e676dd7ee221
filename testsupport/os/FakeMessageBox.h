#pragma once

#include <vector>

#include "framework/os/MessageBox.h"

// A message box for tests: keeps every message shown, in order.
class FakeMessageBox : public MessageBox {
public:
    struct Message {
        std::string title;
        std::string text;
    };

    bool show(const std::string& title, const std::string& text) override {
        shown.push_back({title, text});
        return false;
    }

    std::vector<Message> shown;
};
