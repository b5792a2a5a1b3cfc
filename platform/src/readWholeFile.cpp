#include "platform/src/readWholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/src/fileDescriptor.h"

namespace platform {

int readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  const FileDescriptor file(fd);
  struct stat st;
  if (::fstat(fd, &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;

  std::string read;
  // A file's size is a good guess, not a promise: it may grow or shrink while it is read.
  if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= maxBytes) {
    read.reserve(static_cast<std::size_t>(st.st_size));
  }
  char block[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    if (read.size() + static_cast<std::size_t>(n) > maxBytes) return EFBIG;
    read.append(block, static_cast<std::size_t>(n));
  }
  bytes.swap(read);
  return 0;
}

}  // namespace platform
