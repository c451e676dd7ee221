#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "game/app/GameListeners.h"
#include "testsupport/e2e/RoadDriver.h"
#include "testsupport/rules/HeadlessGameScreen.h"

#ifdef QUOVEL_EACH_TEST_IN_ITS_OWN_PROCESS
namespace test_main {

// Runs this program again with the arguments it was given and `more`; what it prints is kept in
// `output`. Returns its wait status.
int runAgain(const std::vector<std::string>& given, const std::vector<std::string>& more,
             std::string& output) {
    int link[2];
    if (pipe(link) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(link[1], STDOUT_FILENO);
        dup2(link[1], STDERR_FILENO);
        close(link[0]);
        close(link[1]);
        std::vector<char*> argv{const_cast<char*>("/proc/self/exe")};
        for (const std::vector<std::string>* list : {&given, &more}) {
            for (const std::string& argument : *list) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(link[1]);
    char buffer[4096];
    for (ssize_t got; (got = read(link[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0) {
            output.append(buffer, static_cast<size_t>(got));
        }
    }
    close(link[0]);
    int status = -1;
    while (child > 0 && waitpid(child, &status, 0) < 0) {
    }
    return status;
}

// The selected tests, from the program's own list (a typed or parameterised test carries its
// parameter as a comment); disabled ones only when they are to run.
std::vector<std::string> selectedTests(const std::vector<std::string>& given) {
    std::string listed;
    if (runAgain(given, {"--gtest_list_tests"}, listed) != 0) {
        std::fputs(listed.c_str(), stderr);
        return {};
    }
    std::vector<std::string> names;
    std::istringstream lines(listed);
    std::string suite;
    for (std::string line; std::getline(lines, line);) {
        line = line.substr(0, line.find("  #"));
        if (!line.empty() && line.back() == '.' && line[0] != ' ') {
            suite = line;
        } else if (line.rfind("  ", 0) == 0 && !suite.empty()) {
            const std::string name = suite + line.substr(2);
            const bool disabled =
                suite.rfind("DISABLED_", 0) == 0 || line.rfind("  DISABLED_", 0) == 0;
            if (!disabled || GTEST_FLAG_GET(also_run_disabled_tests)) {
                names.push_back(name);
            }
        }
    }
    return names;
}

// Each selected test in a process of its own, one after the other, told as gtest tells them;
// a failed test's output is shown.
int runEachInItsOwnProcess(const std::vector<std::string>& given) {
    const std::vector<std::string> names = selectedTests(given);
    std::printf("[==========] Running %zu tests, each in a process of its own.\n", names.size());
    std::vector<std::string> failed;
    size_t skipped = 0;
    for (const std::string& name : names) {
        std::printf("[ RUN      ] %s\n", name.c_str());
        std::fflush(stdout);
        std::string output;
        const int status = runAgain(given, {"--gtest_filter=" + name}, output);
        const bool skip = output.find("[  SKIPPED ] 1 test") != std::string::npos;
        const bool passed = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                            (skip || output.find("[  PASSED  ] 1 test.") != std::string::npos);
        if (!passed) {
            std::fputs(output.c_str(), stdout);
            failed.push_back(name);
        }
        skipped += passed && skip ? 1 : 0;
        const char* outcome = !passed ? "[  FAILED  ]" : skip ? "[  SKIPPED ]" : "[       OK ]";
        std::printf("%s %s\n", outcome, name.c_str());
    }
    std::printf("[==========] %zu tests ran.\n", names.size());
    std::printf("[  PASSED  ] %zu tests.\n", names.size() - failed.size() - skipped);
    if (skipped > 0) {
        std::printf("[  SKIPPED ] %zu tests.\n", skipped);
    }
    for (const std::string& name : failed) {
        std::printf("[  FAILED  ] %s\n", name.c_str());
    }
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
