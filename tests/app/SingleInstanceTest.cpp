#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testsupport/EndWithParent.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"
#include "testsupport/platform/ZipBuilder.h"

namespace single_instance_test {

using namespace std::chrono_literals;

// Runs the game binary headless with its per-user folders in `home`; it quits by itself after
// `frames` frames. Another copy of the program may be run, its stderr sent to a file, and no
// video driver asked for, with an X display named that is not there (none for "").
pid_t startGame(const TempFolder& home, int frames, const std::string& binary = QUOVEL_GAME_BINARY,
                const char* videoDriver = "dummy", const std::string& errors = "") {
    const pid_t parent = getpid(), child = fork();
    if (child == 0) {
        endWithParent(parent);
        videoDriver ? setenv("SDL_VIDEODRIVER", videoDriver, 1) : unsetenv("SDL_VIDEODRIVER");
        videoDriver ? unsetenv("DISPLAY") : setenv("DISPLAY", ":65533", 1);
        // No session bus: for an X display libdbus would start one, leaking a buffer that the
        // sanitizer build reports.
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        unsetenv("WAYLAND_DISPLAY");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", home.str().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.str().c_str(), 1);
        setenv("QUOVEL_QUIT_AFTER_FRAMES", std::to_string(frames).c_str(), 1);
        if (!errors.empty() && !freopen(errors.c_str(), "w", stderr)) {
            _exit(126);
        }
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
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
    // The file is named by its device and inode ("08:01:1234"): an inode alone may stand on
    // another file system too.
    char file[64];
    std::snprintf(file, sizeof file, " %02x:%02x:%llu ", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find("FLOCK") != std::string::npos && line.find(file) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// The exit code once it ends; -1 when it did not exit normally.
int waitForExit(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, ASecondCopyEndsWithOneAndCallsTheFirstForward) {
    TempFolder home;
    const std::string folder = home / "Brastel/Games/Quovel Mahjong";
    const std::string lockFile = folder + "/Quovel Mahjong.lock";
    const std::string raiseFile = folder + "/Quovel Mahjong.raise";

    // The first copy runs until it is told to end, however slow the machine.
    const pid_t first = startGame(home, 1000000);
    ASSERT_GT(first, 0);
    waitFor([&] { return isLockHeld(lockFile); });

    // The first copy is held still, so that the second one's request can be seen waiting.
    ASSERT_EQ(kill(first, SIGSTOP), 0);
    const pid_t second = startGame(home, 5);
    ASSERT_GT(second, 0);
    EXPECT_EQ(waitForExit(second), 1);
    EXPECT_TRUE(std::filesystem::exists(raiseFile));
    // Running again, the first copy answers the request on its next frame.
    ASSERT_EQ(kill(first, SIGCONT), 0);
    waitFor([&] { return !std::filesystem::exists(raiseFile); });

    ASSERT_EQ(kill(first, SIGTERM), 0);
    EXPECT_EQ(waitForExit(first), 0);
    EXPECT_FALSE(isLockHeld(lockFile));
    // Once the first has ended, a new copy runs.
    const pid_t third = startGame(home, 5);
    ASSERT_GT(third, 0);
    EXPECT_EQ(waitForExit(third), 0);
}

// Whether the process runs the binary and has a handler of its own for the signal (its SigCgt
// mask): from then on the signal is the game's to handle.
bool catches(pid_t pid, int signal) {
    std::error_code error;
    if (std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error) !=
        std::filesystem::canonical(QUOVEL_GAME_BINARY, error)) {
        return false;
    }
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
        }
    }
    return false;
}

// A game that a test started ends with the test's process, even when that is killed.
TEST(SingleInstance, AGameEndsWithTheTestThatStartedIt) {
    TempFolder home;
    int link[2];
    ASSERT_EQ(pipe(link), 0);
    const pid_t test = fork();
    if (test == 0) {
        const pid_t game = startGame(home, 1000000);
        _exit(write(link[1], &game, sizeof game) == sizeof game ? pause() : 1);
    }
    close(link[1]);
    pid_t game = 0;
    ASSERT_EQ(read(link[0], &game, sizeof game), static_cast<ssize_t>(sizeof game));
    close(link[0]);
    waitFor([&] { return catches(game, SIGTERM); });
    kill(test, SIGKILL);
    waitpid(test, nullptr, 0);
    // Gone, or a zombie that its new parent has not reaped yet: no longer the game. A game left
    // running holds the entry until its time limit.
    waitFor([&] { return !catches(game, SIGTERM); });
}

// SIGTERM (a logout, `kill`), SIGINT and SIGHUP (a closed terminal) end the game as its own quit
// does, whenever they come once the game handles them (first thing in main, before SDL starts),
// in its start-up or in its frames: the players and the statistics saved, exit code 0; the quit
// question is not asked. A signal the game misses ends it by the signal, or leaves it running
// until the entry's time limit.
TEST(SingleInstance, TerminationSignalsEndTheGameAsItsQuitDoes) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        for (const bool inStartUp : {true, false}) {
            TempFolder home;
            const std::string folder = home / "Brastel/Games/Quovel Mahjong";
            const pid_t game = startGame(home, 1000000);
            ASSERT_GT(game, 0);
            const std::string lock = folder + "/Quovel Mahjong.lock";
            const auto ready = [&] { return inStartUp ? catches(game, signal) : isLockHeld(lock); };
            // A game that ended before it was ready ends the wait too.
            int status = 0;
            bool ended = false;
            waitFor([&] { return ready() || (ended = waitpid(game, &status, WNOHANG) == game); });
            if (ended) {
                FAIL() << "signal " << signal << " " << inStartUp << " ended with " << status;
            }
            // Or into its frames: a request to come forward is answered on a frame. The first
            // may be taken for a leftover as the lock is taken; the second is not.
            for (int request = 0; request < (inStartUp ? 0 : 2); ++request) {
                const std::string raise = folder + "/Quovel Mahjong.raise";
                writeTestFile(raise, "");
                waitFor([&] { return !std::filesystem::exists(raise); });
            }
            ASSERT_EQ(kill(game, signal), 0);
            EXPECT_EQ(waitForExit(game), 0) << "signal " << signal << " " << inStartUp;
            EXPECT_TRUE(std::filesystem::exists(folder + "/players/players.plrs.!"));
            // The statistics: the session the run's quit opened, written (without its events)
            // by the normal exit, and the display probe of the start-up's check.
            const std::string statistics = readTestFile(folder + "/_temp/gd.xml");
            EXPECT_NE(statistics.find("<PlayingSession"), std::string::npos) << statistics;
            EXPECT_EQ(statistics.find("gameQuit"), std::string::npos) << statistics;
            EXPECT_NE(statistics.find("#0900"), std::string::npos) << statistics;
        }
    }
}

// Starts that cannot run end at once with code 2, say why on stderr and write nothing: without
// a screen (DISPLAY's value or that it is not set, and SDL's reason, in the message and the problem
// log), and for the program in a folder of its own with its data file missing, empty, cut short,
// random, a folder, or with a level catalogue in it that does not read (a wrong check sum).
TEST(SingleInstance, AStartThatCannotRunSaysWhyAndWritesNothing) {
    const std::filesystem::path built = std::filesystem::path(QUOVEL_GAME_BINARY).parent_path();
    const std::string data = readTestFile(built / "media.dat");
    const std::pair<const char*, std::string> dataFiles[] = {
        {"missing.dat", ""},
        {"media.dat", ""},
        {"media.dat", data.substr(0, 99999)},
        {"media.dat", std::string(data.rbegin(), data.rend())},
        {"media.dat/in-a-folder", ""},
        {"media.dat", data}};
    for (size_t n = 0; n <= std::size(dataFiles) + 1; ++n) {
        TempFolder home, shipped;
        const bool noDisplay = n >= std::size(dataFiles), named = n == std::size(dataFiles);
        const std::string binary = noDisplay ? QUOVEL_GAME_BINARY : shipped / "quovel-mahjong";
        if (!noDisplay) {
            std::filesystem::copy_file(QUOVEL_GAME_BINARY, binary);
            writeTestFile(shipped / dataFiles[n].first, dataFiles[n].second);
            EXPECT_TRUE(n != 5 ||
                        patchZipMember(shipped / "media.dat", "media/properties/levels/roof.xml",
                                       ZipField::CRC, 0));
        }
        const char* driver = noDisplay ? (named ? nullptr : "") : "dummy";
        const pid_t game = startGame(home, 5, binary, driver, shipped / "err");
        EXPECT_EQ(waitForExit(game), 2) << n;
        const std::string told = readTestFile(shipped / "err"),
                          why = named ? "DISPLAY is \":65533\"; SDL: " : "DISPLAY is not set; ";
        EXPECT_NE(
            told.find(noDisplay ? "no display found (" + why : "media.dat is missing\nor damaged"),
            std::string::npos);
        EXPECT_TRUE(!noDisplay || told.find("no display found: " + why) != std::string::npos);
        EXPECT_TRUE(std::filesystem::is_empty(home.path)) << n;
    }
}

}  // namespace single_instance_test
