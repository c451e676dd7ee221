#include "framework/os/StderrMessageBox.h"

bool StderrMessageBox::show(const std::string& title, const std::string& text) {
    std::fprintf(stream, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stream);
    return stream == stderr;
}
