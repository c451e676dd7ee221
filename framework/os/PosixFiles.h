#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

// Small pieces of POSIX file handling shared by the file-backed services of this layer.

// Closes its descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd, other.fd);
        return *this;
    }
    ~FileDescriptor();

    int get() const { return fd; }
    int release() { return std::exchange(fd, -1); }

private:
    int fd;
};

// Opens a file for reading only when it is a regular file. The open never blocks (a named pipe
// or a device in place of a data file would wait forever for a writer); the descriptor is -1
// with errno set (EINVAL for anything but a regular file) on failure. `size` gets the file's
// size.
FileDescriptor openRegularFile(const std::string& path, uint64_t& size);

// Writes all of the bytes, resuming after interrupted and partial writes.
bool writeAllBytes(int fd, const uint8_t* data, size_t size);

// Replaces the file `name` in the open folder `folder` all at once: the bytes go to a new
// temporary file beside it (named "." + name + ".tmp" and five characters, so 10 bytes longer
// than the name), which is flushed and renamed over the target. Readers see the old file or the
// new one, whole; on failure the old file stays and the temporary file is removed, and the
// failure is noted under `path`, the file's whole path when the caller knows it.
bool replaceFileAt(int folder, const std::string& name, const uint8_t* data, size_t size,
                   const std::string& path = std::string());
