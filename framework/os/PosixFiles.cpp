#include "framework/os/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "framework/os/FileSystem.h"

FileDescriptor::~FileDescriptor() {
    if (fd >= 0) {
        close(fd);
    }
}

FileDescriptor openRegularFile(const std::string& path, uint64_t& size) {
    size = 0;
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return file;
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0) {
        return FileDescriptor();
    }
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return FileDescriptor();
    }
    // Reads of a regular file never block; the flag is dropped all the same, for stdio.
    const int flags = fcntl(file.get(), F_GETFL);
    if (flags >= 0) {
        fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    }
    size = static_cast<uint64_t>(info.st_size);
    return file;
}

bool writeAllBytes(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

namespace {

// Five characters from the process id and a per-process serial number. Names taken by other
// processes are skipped by the exclusive create, so uniqueness within one process is enough.
std::string temporarySuffix() {
    static std::atomic<uint32_t> serial{0};
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    uint32_t mixed = (static_cast<uint32_t>(getpid()) * 2654435761u) ^ serial.fetch_add(1);
    std::string suffix;
    for (int i = 0; i < 5; ++i) {
        suffix += digits[mixed % 36];
        mixed /= 36;
    }
    return suffix;
}

}  // namespace

bool replaceFileAt(int folder, const std::string& name, const uint8_t* data, size_t size,
                   const std::string& path) {
    std::string temporary;
    FileDescriptor file;
    for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
        temporary = FileSystem::temporaryName(name, temporarySuffix());
        file = FileDescriptor(openat(folder, temporary.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0 && errno != EEXIST) {
            FileSystem::noteWriteFailure(errno, WriteStep::CREATE_FILE, path);
            return false;
        }
    }
    if (file.get() < 0) {
        FileSystem::noteWriteFailure(EEXIST, WriteStep::CREATE_FILE, path);
        return false;
    }
    bool stored = writeAllBytes(file.get(), data, size) && fsync(file.get()) == 0;
    stored = close(file.release()) == 0 && stored;
    WriteStep step = WriteStep::CREATE_FILE;
    if (stored) {
        step = WriteStep::REPLACE_FILE;
        stored = renameat(folder, temporary.c_str(), folder, name.c_str()) == 0;
    }
    if (!stored) {
        FileSystem::noteWriteFailure(errno, step, path);
        unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    // Makes the rename itself durable; the data is already safe if this fails.
    fsync(folder);
    return true;
}
