#pragma once

#include <string>

// `text` as one word of a shell command, whatever it holds (a folder with a space, a quote):
// for the programs that tests and benches run through popen and std::system.
inline std::string shellWord(std::string text) {
    for (size_t at = 0; (at = text.find('\'', at)) != std::string::npos; at += 4) {
        text.replace(at, 1, "'\\''");
    }
    return "'" + text + "'";
}
