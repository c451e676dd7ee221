#include "tools/synth/Source.h"

#include <filesystem>
#include <fstream>

#include "tools/synth/Layer.h"

namespace synth {

namespace {

constexpr int MAX_INCLUDE_DEPTH = 8;

// Make's dependency syntax needs spaces escaped.
std::string escaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

}  // namespace

bool Source::read(const std::string& fileName, std::string& error) {
    readLines.clear();
    readFiles.clear();
    return readFile(fileName, 0, error);
}

bool Source::readFile(const std::string& fileName, int depth, std::string& error) {
    if (depth > MAX_INCLUDE_DEPTH) {
        error = fileName + ": includes nest too deeply";
        return false;
    }
    std::ifstream in(fileName);
    if (!in) {
        error = fileName + ": cannot be read";
        return false;
    }
    readFiles.push_back(std::filesystem::absolute(fileName).lexically_normal().string());
    int number = 0;
    for (std::string text; std::getline(in, text);) {
        ++number;
        // A comment starts at a "#" that begins a word ("F#4" is a note).
        for (size_t at = 0; at < text.size(); ++at) {
            if (text[at] == '#' && (at == 0 || text[at - 1] == ' ' || text[at - 1] == '\t')) {
                text.erase(at);
                break;
            }
        }
        std::vector<std::string> words = splitWords(text);
        if (words.empty()) {
            continue;
        }
        if (words[0] == "include") {
            if (words.size() != 2) {
                error = fileName + ":" + std::to_string(number) + ": include takes one file";
                return false;
            }
            const auto included = std::filesystem::path(fileName).parent_path() / words[1];
            if (!readFile(included.string(), depth + 1, error)) {
                return false;
            }
            continue;
        }
        readLines.push_back(SourceLine{std::move(words), fileName, number});
    }
    return true;
}

bool Source::writeDependencies(const std::string& depFile, const std::string& target) const {
    std::ofstream out(depFile);
    out << escaped(target) << ":";
    for (const std::string& file : readFiles) {
        out << " \\\n  " << escaped(file);
    }
    out << "\n";
    return static_cast<bool>(out);
}

}  // namespace synth
