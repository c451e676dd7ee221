#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/os/SdlMessageBox.h"
#include "game/app/GameListeners.h"
#include "testsupport/ShellWord.h"
#include "testsupport/e2e/RoadDriver.h"
#include "testsupport/rules/HeadlessGameScreen.h"

#ifdef QUOVEL_EACH_TEST_IN_ITS_OWN_PROCESS
namespace test_main {

// Runs this program again with the arguments it was given and `more`; what it prints is kept in
// `output`. Returns its wait status.
int runAgain(const std::vector<std::string>& given, const std::string& more, std::string& output) {
    std::vector<std::string> arguments{std::filesystem::read_symlink("/proc/self/exe")};
    arguments.insert(arguments.end(), given.begin(), given.end());
    arguments.push_back(more);
    std::string command = "exec";
    for (const std::string& argument : arguments) {
        command += " " + shellWord(argument);
    }
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, got);
    }
    return pipe ? pclose(pipe) : -1;
}

// Each selected test in a process of its own, one after the other, told as gtest tells them; a
// failed test's output is shown. The selected tests come from the program's own list, where a
// typed or parameterised test carries its parameter as a comment; disabled ones only run when
// told to.
int runEachInItsOwnProcess(const std::vector<std::string>& given) {
    std::string listed;
    if (runAgain(given, "--gtest_list_tests", listed) != 0) {
        std::fputs(listed.c_str(), stderr);
        return 1;
    }
    std::vector<std::string> names;
    std::istringstream lines(listed);
    std::string suite;
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(0, line.find("  #"));
        if (!line.empty() && line.back() == '.' && line[0] != ' ') {
            suite = line;
        } else if (line.starts_with("  ") && !suite.empty()) {
            const std::string name = suite + line.substr(2);
            if (GTEST_FLAG_GET(also_run_disabled_tests) ||
                !(name.starts_with("DISABLED_") || name.find(".DISABLED_") != std::string::npos)) {
                names.push_back(name);
            }
        }
    }
    std::printf("[==========] Running %zu tests, each in a process of its own.\n", names.size());
    std::string failed;
    size_t passed = 0, skipped = 0;
    for (const std::string& name : names) {
        std::printf("[ RUN      ] %s\n", name.c_str());
        std::fflush(stdout);
        std::string output;
        const bool exited = runAgain(given, "--gtest_filter=" + name, output) == 0;
        const bool skip = exited && output.find("[  SKIPPED ] 1 test") != std::string::npos;
        const bool ok = exited && output.find("[  PASSED  ] 1 test.") != std::string::npos;
        if (!ok && !skip) {
            std::fputs(output.c_str(), stdout);
            failed += "[  FAILED  ] " + name + "\n";
        }
        passed += ok && !skip ? 1 : 0;
        skipped += skip ? 1 : 0;
        const char* outcome = skip ? "[  SKIPPED ]" : ok ? "[       OK ]" : "[  FAILED  ]";
        std::printf("%s %s\n", outcome, name.c_str());
    }
    std::printf("[==========] %zu tests ran.\n[  PASSED  ] %zu tests.\n[  SKIPPED ] %zu tests.\n",
                names.size(), passed, skipped);
    std::fputs(failed.c_str(), stdout);
    return names.empty() || !failed.empty() ? 1 : 0;
}

}  // namespace test_main
#endif

// The tests run with the game's hooks and, where a test sets no screen, the headless one. A
// road's failure and a developer's mistake fail the running test. Run by itself, the program is
// headless and keeps its files in the build tree, as its CTest entries do.
//
// The roads' program (QUOVEL_EACH_TEST_IN_ITS_OWN_PROCESS) runs the whole program in each test,
// which leaves process-wide state behind: unless the filter names one test, it runs itself once
// for every selected test.
int main(int argc, char** argv) {
    // System boxes are shown as the game shows them: by the program run again by itself.
    if (const int boxShown = serveMessageBoxRequest(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    showMessageBoxesInChildProcess();
#ifdef QUOVEL_EACH_TEST_IN_ITS_OWN_PROCESS
    const std::vector<std::string> given(argv + 1, argv + argc);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("XDG_DATA_HOME", QUOVEL_BINARY_DIR "/tests/home/data", 0);
    setenv("XDG_CONFIG_HOME", QUOVEL_BINARY_DIR "/tests/home/config", 0);
#ifdef QUOVEL_EACH_TEST_IN_ITS_OWN_PROCESS
    if (!GTEST_FLAG_GET(list_tests) &&
        GTEST_FLAG_GET(filter).find_first_of("*?:-") != std::string::npos) {
        return test_main::runEachInItsOwnProcess(given);
    }
#endif
    RoadCheck::report.install([](const char* file, int line, const std::string& message) {
        ADD_FAILURE_AT(file, line) << message;
    });
    mistakeMade.install([](const std::string& text) { ADD_FAILURE() << "mistake: " << text; });
    installGameListeners();
    installHeadlessGameScreen();
    return RUN_ALL_TESTS();
}
