// Runs a fuzz target once over every file of the folders (or files) named on the command line,
// as the regression run of the normal and sanitizer builds. A crash or a sanitizer report ends
// the run; an input that takes longer than 2 s fails it too (run-fuzz allows 40 s), counted in
// processor time so that a busy machine does not make an input slow. An input file the target
// left behind in /dev/shm or /tmp under this process's id fails it as well.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// An input that costs this much of the process's processor time is reported as slow: a verdict
// on the target's speed (a runaway loop that still ends), which no count of the targets' varied
// work can stand for; load delays processor time but hardly adds to it. A hang is the entry's.
constexpr auto TIME_LIMIT = std::chrono::seconds(2);

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    } else if (std::filesystem::is_regular_file(path)) {
        inputs.push_back(path);
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

// The target's input files this process left behind.
int leftInputFiles() {
    const std::string suffix = "-" + std::to_string(getpid());
    int left = 0;
    for (const char* folder : {"/dev/shm", "/tmp"}) {
        std::error_code missing;
        for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("quovel-fuzz-", 0) == 0 && name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                std::fprintf(stderr, "input file left behind: %s\n", entry.path().c_str());
                ++left;
            }
        }
    }
    return left;
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    int slow = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> inputs = inputsOf(argv[i]);
        if (inputs.empty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[i]);
            return 1;
        }
        for (const std::filesystem::path& input : inputs) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                             std::istreambuf_iterator<char>());
            const std::clock_t start = std::clock();
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            const auto spent = std::chrono::duration<double>(
                static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
            if (spent > TIME_LIMIT) {
                std::fprintf(stderr, "slow input: %s\n", input.c_str());
                ++slow;
            }
            ++replayed;
        }
    }
    const int left = leftInputFiles();
    std::printf("%d inputs replayed, %d over the time limit, %d input files left\n", replayed, slow,
                left);
    return slow == 0 && left == 0 ? 0 : 1;
}
