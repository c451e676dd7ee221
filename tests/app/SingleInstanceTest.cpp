#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"

namespace {

using namespace std::chrono_literals;

// How the game binary is run: which copy, on which video driver (none: no display at all, as
// on a machine without one), with its stderr into a file when one is named.
struct Launch {
    std::string binary = QUOVEL_GAME_BINARY;
    const char* videoDriver = "dummy";
    std::string errorFile;
};

// Runs the game binary headless with its per-user folders in `home`; it quits by itself after
// `frames` frames.
pid_t startGame(const TempFolder& home, int frames, const Launch& launch = {}) {
    const pid_t child = fork();
    if (child == 0) {
        if (launch.videoDriver) {
            setenv("SDL_VIDEODRIVER", launch.videoDriver, 1);
        } else {
            for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
                unsetenv(name);
            }
        }
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", home.str().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.str().c_str(), 1);
        setenv("QUOVEL_QUIT_AFTER_FRAMES", std::to_string(frames).c_str(), 1);
        if (!launch.errorFile.empty() &&
            !freopen(launch.errorFile.c_str(), "w", stderr)) {
            _exit(126);
        }
        execl(launch.binary.c_str(), launch.binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Whether some process holds an flock on the file, read from /proc/locks without touching
// the lock (taking it, even briefly, could turn the game away).
bool isLockHeld(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return false;
    }
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find("FLOCK") != std::string::npos && line.find(inode) != std::string::npos) {
            return true;
        }
    }
    return false;
}

template <class Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The exit code; -1 when it did not exit normally, -2 when it still ran after `limit` (it is
// then killed).
int waitForExit(pid_t child, std::chrono::milliseconds limit = 60s) {
    int status = 0;
    pid_t ended = 0;
    if (!waitUntil([&] { return (ended = waitpid(child, &status, WNOHANG)) != 0; }, limit)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -2;
    }
    return ended == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, ASecondCopyEndsWithOneAndCallsTheFirstForward) {
    TempFolder home;
    const std::string folder = home / "Brastel/Games/Quovel Mahjong";
    const std::string lockFile = folder + "/Quovel Mahjong.lock";
    const std::string raiseFile = folder + "/Quovel Mahjong.raise";

    const pid_t first = startGame(home, 150);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(waitUntil([&] { return isLockHeld(lockFile); }, 5000ms));

    // The first copy is held still, so that the second one's request can be seen waiting.
    ASSERT_EQ(kill(first, SIGSTOP), 0);
    const pid_t second = startGame(home, 5);
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForExit(second), 1);
    EXPECT_TRUE(std::filesystem::exists(raiseFile));
    // Running again, the first copy answers the request on its next frame.
    ASSERT_EQ(kill(first, SIGCONT), 0);
    EXPECT_TRUE(waitUntil([&] { return !std::filesystem::exists(raiseFile); }, 2000ms));

    EXPECT_EQ(waitForExit(first), 0);
    EXPECT_FALSE(isLockHeld(lockFile));
    // Once the first has ended, a new copy runs.
    const pid_t third = startGame(home, 5);
    ASSERT_GT(third, 0);
    EXPECT_EQ(waitForExit(third), 0);
}

// SIGTERM (a logout, `kill`) and SIGINT end the game at once as its own quit does: the players
// and the statistics saved, exit code 0; the quit question is not asked.
TEST(SingleInstance, TerminationSignalsEndTheGameAsItsQuitDoes) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr auto limit = 5000ms;  // the sanitizers' shut-down is slower
#else
    constexpr auto limit = 1000ms;
#endif
    for (const int signal : {SIGTERM, SIGINT}) {
        TempFolder home;
        const std::string folder = home / "Brastel/Games/Quovel Mahjong";
        const pid_t game = startGame(home, 1000000);
        ASSERT_GT(game, 0);
        ASSERT_TRUE(waitUntil([&] { return isLockHeld(folder + "/Quovel Mahjong.lock"); }, 5000ms));
        std::this_thread::sleep_for(1000ms);  // into its frames
        ASSERT_EQ(kill(game, signal), 0);
        EXPECT_EQ(waitForExit(game, limit), 0) << "signal " << signal;
        EXPECT_TRUE(std::filesystem::exists(folder + "/players/players.plrs.!"));
        // The statistics: the run's quit, and the display probe of the start-up's check.
        const std::string statistics = readTestFile(folder + "/_temp/gd.xml");
        EXPECT_NE(statistics.find("gameQuit"), std::string::npos);
        EXPECT_NE(statistics.find("#0900"), std::string::npos) << statistics;
    }
}

// Starts that cannot run end at once with code 2 and say why on stderr, holding no lock and
// having written nothing: without a screen, and, for the game as shipped in a folder of its own
// (the program, the music and the splash beside it), with its data file missing or damaged.
TEST(SingleInstance, AStartThatCannotRunSaysWhyAndWritesNothing) {
    const std::filesystem::path built = std::filesystem::path(QUOVEL_GAME_BINARY).parent_path();
    const std::string data = readTestFile(built / "media.dat");
    ASSERT_GT(data.size(), 1000u);
    std::string noise(data.size(), '\0');
    for (size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    const std::string damaged = "The game's data file media.dat is missing\nor damaged.";
    struct Case {
        const char* name;
        const char* videoDriver;
        std::function<void(const std::filesystem::path&)> dataFile;
        std::string told;
    };
    const Case cases[] = {
        {"no display", nullptr, nullptr, "Quovel Mahjong: no display found"},
        {"missing", "dummy", [](const auto&) {}, damaged},
        {"empty", "dummy", [](const auto& file) { writeTestFile(file, ""); }, damaged},
        {"cut short", "dummy",
         [&](const auto& file) { writeTestFile(file, data.substr(0, data.size() / 2)); }, damaged},
        {"random", "dummy", [&](const auto& file) { writeTestFile(file, noise); }, damaged},
        {"a folder", "dummy", [](const auto& file) { std::filesystem::create_directory(file); },
         damaged},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        TempFolder home;
        TempFolder shipped;
        Launch launch{QUOVEL_GAME_BINARY, test.videoDriver, home / "stderr.txt"};
        if (test.dataFile) {
            launch.binary = shipped / "quovel-mahjong";
            std::filesystem::copy_file(QUOVEL_GAME_BINARY, launch.binary);
            std::filesystem::copy(built / "splash", shipped / "splash");
            std::filesystem::create_directory(shipped / "media");
            std::filesystem::copy(built / "media/music", shipped / "media/music");
            test.dataFile(shipped.path / "media.dat");
        }
        const pid_t game = startGame(home, 5, launch);
        ASSERT_GT(game, 0);
        EXPECT_EQ(waitForExit(game, 10s), 2);
        EXPECT_NE(readTestFile(launch.errorFile).find(test.told), std::string::npos)
            << readTestFile(launch.errorFile);
        std::vector<std::string> written;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path)) {
            if (entry.path() != launch.errorFile) {
                written.push_back(entry.path().string());
            }
        }
        EXPECT_TRUE(written.empty()) << written.front();
    }
}

}  // namespace
