#include "platform/src/replaceFile.h"

#include "platform/src/fileDescriptor.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

namespace platform {
namespace {

using Stage = ReplaceFileResult::Stage;

ReplaceFileResult failure(Stage stage, int error) {
  return {stage, error};
}

// Removes the temporary file unless it was renamed into place.
class TemporaryName {
 public:
  explicit TemporaryName(std::string name) : name_(std::move(name)) {}
  ~TemporaryName() {
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  const std::string& get() const { return name_; }
  void keep() { name_.clear(); }

 private:
  std::string name_;
};

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links until a name that is not one (it may not exist yet).
std::optional<std::string> resolveLinks(std::string path, int& error) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) {
      error = errno;
      return std::nullopt;
    }
    std::string target(buffer.data(), static_cast<std::size_t>(n));
    path = target.starts_with('/') ? target : directoryOf(path) + "/" + target;
  }
  error = ELOOP;
  return std::nullopt;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Creates a new file beside `target` with a name no one else uses. The kernel applies the
// umask to `mode`, as it would to a plain create of the target.
int createTemporary(const std::string& target, mode_t mode, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%d.%u.%lx.tmp", static_cast<int>(::getpid()),
                  counter.fetch_add(1), static_cast<unsigned long>(std::time(nullptr)));
    name = target + suffix;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

ReplaceFileResult writeInPlace(const std::string& path, std::string_view bytes) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.get() < 0) return failure(Stage::Create, errno);
  if (!writeAll(fd.get(), bytes) || fd.close() != 0) return failure(Stage::Write, errno);
  return {};
}

// Makes the rename itself durable; a directory that cannot be synced is no failure.
void syncDirectory(const std::string& directory) {
  FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

ReplaceFileResult writeThroughTemporary(const std::string& target, const struct stat* existing,
                                        std::string_view bytes) {
  const std::string directory = directoryOf(target);
  std::string name;
  // A file that exists may be private: its content is never readable by more people, even
  // for a moment, than the old file allowed.
  FileDescriptor fd(createTemporary(target, existing ? 0600 : 0666, name));
  if (fd.get() < 0) return failure(Stage::Create, errno);
  TemporaryName temporary(name);

  if (existing) {
    // Only a privileged process may give the file back to another owner; others keep theirs.
    (void)!::fchown(fd.get(), existing->st_uid, existing->st_gid);
    if (::fchmod(fd.get(), existing->st_mode & 07777) != 0) return failure(Stage::Write, errno);
  }

  if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || fd.close() != 0) {
    return failure(Stage::Write, errno);
  }
  if (::rename(temporary.get().c_str(), target.c_str()) != 0) return failure(Stage::Write, errno);
  temporary.keep();
  syncDirectory(directory);
  return {};
}

}  // namespace

ReplaceFileResult replaceFile(const std::string& path, std::string_view bytes) {
  int error = 0;
  const auto target = resolveLinks(path, error);
  if (!target) return failure(Stage::Create, error);

  struct stat st;
  if (::stat(target->c_str(), &st) != 0) {
    if (errno != ENOENT) return failure(Stage::Create, errno);
    return writeThroughTemporary(*target, nullptr, bytes);
  }
  if (!S_ISREG(st.st_mode)) return writeInPlace(*target, bytes);

  // Renaming needs no permission on the file itself, so ask the file whether it is writable.
  FileDescriptor probe(::open(target->c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
  if (probe.get() < 0) return failure(Stage::Create, errno);
  return writeThroughTemporary(*target, &st, bytes);
}

}  // namespace platform
