#include "platform/src/readWholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/src/fileDescriptor.h"

namespace platform {
namespace {

using Stage = RegularFileResult::Stage;

FileDescriptor openForReading(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  } while (fd < 0 && errno == EINTR);
  return FileDescriptor(fd);
}

// Hands the rest of `fd` to `take`; 0, EFBIG past `maxBytes`, or the errno of a read.
int readBlocks(int fd, std::size_t maxBytes, const std::function<void(std::string_view)>& take) {
  char block[64 * 1024];
  std::size_t total = 0;
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    total += static_cast<std::size_t>(n);
    if (total > maxBytes) return EFBIG;
    take(std::string_view(block, static_cast<std::size_t>(n)));
  }
}

RegularFileResult kindOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return {Stage::NotRegular, EISDIR};
  if (!S_ISREG(st.st_mode)) return {Stage::NotRegular, 0};
  return {};
}

}  // namespace

int readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  const FileDescriptor file = openForReading(path, 0);
  if (!file.valid()) return errno;
  struct stat st;
  if (::fstat(file.get(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;

  std::string read;
  // A file's size is a good guess, not a promise: it may grow or shrink while it is read.
  if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= maxBytes) {
    read.reserve(static_cast<std::size_t>(st.st_size));
  }
  const int error =
      readBlocks(file.get(), maxBytes, [&read](std::string_view block) { read.append(block); });
  if (error == 0) bytes.swap(read);
  return error;
}

RegularFileResult readRegularFile(const std::string& path, std::size_t maxBytes,
                                  const std::function<void(std::string_view)>& take) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {Stage::Open, errno};
  if (const RegularFileResult kind = kindOf(st); !kind.ok()) return kind;
  if (static_cast<std::size_t>(st.st_size) > maxBytes) return {Stage::TooLarge, EFBIG};
  const FileDescriptor file = openForReading(path, O_NONBLOCK | O_NOCTTY);
  if (!file.valid()) return {Stage::Open, errno};
  if (::fstat(file.get(), &st) != 0) return {Stage::Open, errno};
  if (const RegularFileResult kind = kindOf(st); !kind.ok()) return kind;
  const int error = readBlocks(file.get(), maxBytes, take);
  if (error == EFBIG) return {Stage::TooLarge, EFBIG};
  if (error != 0) return {Stage::Read, error};
  return {};
}

}  // namespace platform
