#pragma once

#include <cstdio>

#include "framework/os/MessageBox.h"

// A message box that writes "title: text" as one line to a stream (stderr by default) and
// returns at once: for tests, CI and headless runs.
class StderrMessageBox : public MessageBox {
public:
    explicit StderrMessageBox(std::FILE* stream = stderr) : stream(stream) {}

    bool show(const std::string& title, const std::string& text) override;

private:
    std::FILE* stream;
};
