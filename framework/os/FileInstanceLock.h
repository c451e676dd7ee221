#pragma once

#include <string>

#include "framework/os/InstanceLock.h"

// The instance lock as an exclusive flock on "<name>.lock" in a folder (which must exist); the
// system drops it when the process ends, however it ends. When that file cannot be used (a
// folder or a link in its place, another user's file) the folder itself is locked instead. A
// copy that holds the lock while it quits is waited for a little before this one gives up. A second
// copy asks the holder to come forward by creating "<name>.raise" beside it, which the holder polls
// and removes. The holder watches the folder (inotify), so a poll with nothing new asks no path of
// the system. A request that no holder will take (it ended meanwhile) is removed, by the holder
// before it lets the lock go or by the copy that asked, finding the lock free.
class FileInstanceLock : public InstanceLock {
public:
    // How long a held lock is tried again: a copy saving on its way out holds it that long.
    static constexpr int QUIT_WAIT_MS = 2000;

    FileInstanceLock(const std::string& folder, const std::string& name);
    ~FileInstanceLock() override;
    FileInstanceLock(const FileInstanceLock&) = delete;
    FileInstanceLock& operator=(const FileInstanceLock&) = delete;

    bool tryAcquire() override;
    void signalOwner() override;
    bool takeRaiseRequest() override;

    const std::string& getLockPath() const { return lockPath; }

private:
    std::string folderPath;
    std::string lockPath;
    std::string signalPath;
    int fd = -1;
    // The watch on the folder while held; -1 without one (every poll then tries the file).
    int watch = -1;
    bool held = false;
};
