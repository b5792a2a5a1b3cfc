#pragma once
// Owned file descriptors and the few ways the program creates files through them.

#include <string>

namespace platform {

// Owns one descriptor and closes it on destruction; -1 means none.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  ~FileDescriptor() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();
  void reset();
  // Closes now and returns close()'s result (0, or -1 with errno set): a write error that
  // only shows when the file is closed must not be lost in a destructor.
  int close();

 private:
  int fd_ = -1;
};

// Opens `path` (UTF-8) for writing, creating it or truncating it. The descriptor is
// close-on-exec and never one of 0-2, so it cannot be mistaken for a standard stream. On
// failure the result is invalid and getLastError() holds the errno value.
FileDescriptor openForWriting(const std::string& path);

// Creates `path` as a new empty file readable and writable by the owner only; fails with
// EEXIST (in getLastError()) if anything, even a dangling symbolic link, has that name.
FileDescriptor createExclusive(const std::string& path);

}  // namespace platform
