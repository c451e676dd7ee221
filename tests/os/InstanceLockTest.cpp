#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "framework/os/FileInstanceLock.h"

namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quovel-lock-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string folder;
};

TEST_F(InstanceLockTest, OnlyOneHolderAndItCanBeCalledForward) {
    auto first = std::make_unique<FileInstanceLock>(folder, "Quovel Mahjong");
    FileInstanceLock second(folder, "Quovel Mahjong");
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire());  // holding it already
    EXPECT_FALSE(second.tryAcquire());
    EXPECT_FALSE(first->takeRaiseRequest());

    second.signalOwner();
    EXPECT_FALSE(second.takeRaiseRequest());  // only the holder takes requests
    EXPECT_TRUE(first->takeRaiseRequest());
    EXPECT_FALSE(first->takeRaiseRequest());
    second.signalOwner();
    second.signalOwner();
    EXPECT_TRUE(first->takeRaiseRequest());
    EXPECT_FALSE(first->takeRaiseRequest());

    // A request nobody took is not meant for the next holder.
    second.signalOwner();
    first.reset();
    ASSERT_TRUE(second.tryAcquire());
    EXPECT_FALSE(second.takeRaiseRequest());
}

TEST_F(InstanceLockTest, NamesStayInTheFolder) {
    FileInstanceLock lock(folder, "../Quovel/Mahjong");
    EXPECT_EQ(lock.getLockPath(), folder + "/.._Quovel_Mahjong.lock");
    ASSERT_TRUE(lock.tryAcquire());
    EXPECT_TRUE(std::filesystem::exists(lock.getLockPath()));
}

TEST_F(InstanceLockTest, AMissingFolderDoesNotStopTheGame) {
    FileInstanceLock lock(folder + "/missing", "Quovel Mahjong");
    EXPECT_TRUE(lock.tryAcquire());
}

// A lock file that cannot be used still keeps a second copy out: the folder is locked instead.
TEST_F(InstanceLockTest, AnUnusableLockFileStillKeepsASecondCopyOut) {
    const std::string lockFile = folder + "/Quovel Mahjong.lock";
    const std::function<void()> spoilers[] = {
        [&] { std::filesystem::create_directory(lockFile); },
        [&] { std::filesystem::create_symlink(folder + "/elsewhere", lockFile); },
    };
    for (const auto& spoil : spoilers) {
        std::filesystem::remove_all(lockFile);
        spoil();
        auto first = std::make_unique<FileInstanceLock>(folder, "Quovel Mahjong");
        FileInstanceLock second(folder, "Quovel Mahjong");
        ASSERT_TRUE(first->tryAcquire());
        EXPECT_FALSE(second.tryAcquire());
        first.reset();
        EXPECT_TRUE(second.tryAcquire());
    }
}

// A copy still saving on its way out holds the lock a moment longer: the next one waits for it.
TEST_F(InstanceLockTest, ACopyThatIsQuittingIsWaitedFor) {
    auto quitting = std::make_unique<FileInstanceLock>(folder, "Quovel Mahjong");
    ASSERT_TRUE(quitting->tryAcquire());
    std::thread quit([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        quitting.reset();
    });
    FileInstanceLock next(folder, "Quovel Mahjong");
    EXPECT_TRUE(next.tryAcquire());
    quit.join();
}

TEST_F(InstanceLockTest, ASecondProcessIsRefusedUntilTheFirstEnds) {
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The running copy: hold the lock, report, wait for a request, then end.
        FileInstanceLock lock(folder, "Quovel Mahjong");
        char answer = lock.tryAcquire() ? 'y' : 'n';
        if (write(fromChild[1], &answer, 1) != 1) {
            _exit(2);
        }
        char go = 0;
        if (read(toChild[0], &go, 1) != 1) {
            _exit(2);
        }
        answer = lock.takeRaiseRequest() ? 'r' : '-';
        _exit(write(fromChild[1], &answer, 1) == 1 ? 0 : 2);
    }
    close(toChild[0]);
    close(fromChild[1]);
    char answer = 0;
    ASSERT_EQ(read(fromChild[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');

    FileInstanceLock second(folder, "Quovel Mahjong");
    EXPECT_FALSE(second.tryAcquire());
    second.signalOwner();
    const char go = 'g';
    ASSERT_EQ(write(toChild[1], &go, 1), 1);
    ASSERT_EQ(read(fromChild[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'r');

    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(toChild[1]);
    close(fromChild[0]);
    // The system dropped the lock with the process.
    EXPECT_TRUE(second.tryAcquire());
}

}  // namespace
