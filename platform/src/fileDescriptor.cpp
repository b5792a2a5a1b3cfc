#include "platform/src/fileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/src/thread.h"

namespace platform {
namespace {

// Moves a descriptor that landed on a standard stream number (possible when this process
// runs with one of them closed) to 3 or above.
FileDescriptor aboveStandardStreams(int fd) {
  if (fd < 0) {
    setLastError(static_cast<std::uint32_t>(errno));
    return FileDescriptor();
  }
  FileDescriptor owned(fd);
  if (fd > 2) return owned;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (moved < 0) setLastError(static_cast<std::uint32_t>(errno));
  return FileDescriptor(moved);
}

int openRetrying(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    reset();
    fd_ = other.release();
  }
  return *this;
}

int FileDescriptor::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void FileDescriptor::reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int FileDescriptor::close() {
  return ::close(release());
}

FileDescriptor openForWriting(const std::string& path) {
  return aboveStandardStreams(
      openRetrying(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666));
}

FileDescriptor createExclusive(const std::string& path) {
  return aboveStandardStreams(
      openRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
}

bool namesFile(const std::string& path, const FileDescriptor& file) {
  struct stat named {};
  struct stat open {};
  return ::lstat(path.c_str(), &named) == 0 && ::fstat(file.get(), &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

std::string reopenPath(const FileDescriptor& file) {
  return "/proc/self/fd/" + std::to_string(file.get());
}

}  // namespace platform
