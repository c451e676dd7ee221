#pragma once

#include <string>
#include <vector>

namespace synth {

// One meaningful line of a source file, split into words, with where it came from.
struct SourceLine {
    std::vector<std::string> words;
    std::string file;
    int number = 0;

    std::string where() const { return file + ":" + std::to_string(number); }
};

// Reads a source file: a word starting with "#" starts a comment, blank lines are skipped, and
// `include <file>` (relative to the including file) reads another file in its place. Every file
// read is kept for the build's dependency file.
class Source {
public:
    bool read(const std::string& fileName, std::string& error);

    const std::vector<SourceLine>& lines() const { return readLines; }
    const std::vector<std::string>& files() const { return readFiles; }

    // Writes a make-style dependency file: `target` depends on every file read.
    bool writeDependencies(const std::string& depFile, const std::string& target) const;

private:
    bool readFile(const std::string& fileName, int depth, std::string& error);

    std::vector<SourceLine> readLines;
    std::vector<std::string> readFiles;
};

}  // namespace synth
