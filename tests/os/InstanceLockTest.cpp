#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/os/FileInstanceLock.h"

namespace instance_lock_test {

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

    // A request nobody took is not meant for the next holder, nor left behind: the holder
    // removes one made while it ended, the asking copy one made after.
    const std::string request = folder + "/Quovel Mahjong.raise";
    second.signalOwner();
    // Removed before the lock is let go (its file closed): after, it may be the next holder's.
    const int changes = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(changes, folder.c_str(), IN_DELETE | IN_CLOSE_WRITE), 0);
    first.reset();
    alignas(inotify_event) char events[4096] = {};
    EXPECT_GT(read(changes, events, sizeof events), 0);
    close(changes);
    EXPECT_STREQ(reinterpret_cast<const inotify_event*>(events)->name, "Quovel Mahjong.raise");
    EXPECT_FALSE(std::filesystem::exists(request));
    second.signalOwner();
    EXPECT_FALSE(std::filesystem::exists(request));
    ASSERT_TRUE(second.tryAcquire());
    EXPECT_FALSE(second.takeRaiseRequest());
}

TEST_F(InstanceLockTest, NamesStayInTheFolder) {
    FileInstanceLock lock(folder, "../Quovel/Mahjong");
    EXPECT_EQ(lock.getLockPath(), folder + "/.._Quovel_Mahjong.lock");
    ASSERT_TRUE(lock.tryAcquire());
    EXPECT_TRUE(std::filesystem::exists(lock.getLockPath()));
}

// A folder in the lock file's place keeps a second copy out all the same: the folder is locked.
TEST_F(InstanceLockTest, AMissingFolderDoesNotStopTheGameAndAFolderForTheLockFileStillLocks) {
    FileInstanceLock lock(folder + "/missing", "Quovel Mahjong");
    EXPECT_TRUE(lock.tryAcquire());
    std::filesystem::create_directory(folder + "/Quovel Mahjong.lock");
    FileInstanceLock first(folder, "Quovel Mahjong"), second(folder, "Quovel Mahjong");
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_FALSE(second.tryAcquire());
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
        const bool told = write(fromChild[1], &answer, 1) == 1;
        usleep(30000);  // still saving on its way out
        _exit(told ? 0 : 2);
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

    // The next copy waits for the quitting one: the system drops the lock with the process.
    EXPECT_TRUE(second.tryAcquire());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(toChild[1]);
    close(fromChild[0]);
}

}  // namespace instance_lock_test
