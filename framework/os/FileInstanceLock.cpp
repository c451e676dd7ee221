#include "framework/os/FileInstanceLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

// The name becomes one file name: no separator may take it into another folder.
std::string fileName(std::string name) {
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return name.empty() ? std::string("instance") : name;
}

}  // namespace

FileInstanceLock::FileInstanceLock(const std::string& folder, const std::string& name) {
    folderPath = folder.empty() ? std::string(".") : folder;
    std::string base = folder;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    base += fileName(name);
    lockPath = base + ".lock";
    signalPath = base + ".raise";
}

FileInstanceLock::~FileInstanceLock() {
    // A request that came while this copy was ending is answered by nobody. Removed while the
    // lock is still held: once it is let go, a request is the next holder's (one made in
    // between is left over, which the next holder removes as it takes the lock).
    if (held) {
        unlink(signalPath.c_str());
    }
    if (watch >= 0) {
        close(watch);
    }
    if (fd >= 0) {
        close(fd);
    }
}

bool FileInstanceLock::tryAcquire() {
    if (held) {
        return true;
    }
    if (fd < 0) {
        fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    }
    if (fd < 0) {
        fd = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return true;  // nowhere to lock, and nowhere to save either: the game runs
        }
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(QUIT_WAIT_MS);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    held = true;
    // Watched before the leftover is removed, so no request made meanwhile goes unseen.
    watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch >= 0 &&
        inotify_add_watch(watch, folderPath.c_str(), IN_CREATE | IN_ATTRIB | IN_MOVED_TO) < 0) {
        close(watch);
        watch = -1;
    }
    // A request left over from an earlier run is not meant for this one.
    unlink(signalPath.c_str());
    return true;
}

void FileInstanceLock::signalOwner() {
    const int signal = open(signalPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (signal < 0) {
        return;
    }
    close(signal);
    // The holder may have ended since the lock was refused, after its last look for requests:
    // with the lock free, nobody will take this one.
    if (fd >= 0 && !held && flock(fd, LOCK_EX | LOCK_NB) == 0) {
        unlink(signalPath.c_str());
        flock(fd, LOCK_UN);
    }
}

bool FileInstanceLock::takeRaiseRequest() {
    if (!held) {
        return false;
    }
    if (watch >= 0) {
        // Any change in the folder (or a lost queue) is a reason to look; none is not.
        alignas(inotify_event) char changes[4096];
        bool changed = false;
        while (read(watch, changes, sizeof changes) > 0) {
            changed = true;
        }
        if (!changed && errno == EAGAIN) {
            return false;
        }
    }
    return unlink(signalPath.c_str()) == 0;
}
