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

// Whether `path` (UTF-8) itself is the file open as `file`: the same device and inode, so
// neither a symbolic link to it nor another file put in its place. False also when either
// cannot be examined.
bool namesFile(const std::string& path, const FileDescriptor& file);

// A name that leads to the file open as `file` for as long as that stays open, whatever its
// own names lead to by then (even once they are gone): for code that opens files only by
// name, such as a file stream, and for openForWriting().
std::string reopenPath(const FileDescriptor& file);

}  // namespace platform
