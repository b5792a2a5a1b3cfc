#include "platform/src/replaceFile.h"

#include "platform/src/fileDescriptor.h"
#include "platform/src/ownedFiles.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <thread>
#include <utility>
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
  TemporaryName(int directory, std::string name) : directory_(directory), name_(std::move(name)) {}
  ~TemporaryName() {
    if (!name_.empty()) ::unlinkat(directory_, name_.c_str(), 0);
  }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  const std::string& get() const { return name_; }
  void keep() { name_.clear(); }

 private:
  int directory_;
  std::string name_;
};

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
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

// The name of the temporary file for the file `name`, one per target so that what a killed
// save left behind is found again by the next save of the same file: ".<name>.tarvo.tmp",
// or, where that would be longer than a name may be, `name` cut short and a hash of it.
//
// GCC 12 at -O2 warns that the first return copies 2^63 bytes with overlap, which its size
// check rules out: a known -Wrestrict false positive inside std::string's operator+. The
// warning is raised in the inlined library code, so only a pragma around the whole function
// reaches it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
std::string temporaryNameOf(const std::string& name) {
  constexpr std::string_view kSuffix = ".tarvo.tmp";
  if (1 + name.size() + kSuffix.size() <= NAME_MAX) return "." + name + std::string(kSuffix);
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  const std::size_t kept = NAME_MAX - 1 - 1 - 16 - kSuffix.size();
  return "." + name.substr(0, kept) + "~" + digits + std::string(kSuffix);
}
#pragma GCC diagnostic pop

// Whether `name` in `directory` names the file open as `fd`.
bool isNamedBy(int fd, int directory, const std::string& name) {
  struct stat open, named;
  return ::fstat(fd, &open) == 0 &&
         ::fstatat(directory, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// A file this program may remove: a plain file with no other name, of this user's or of the
// target's owner (a save gives the file to that owner before it writes).
bool isLeftover(int fd, const struct stat* existing) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
         (st.st_uid == ::geteuid() || (existing && st.st_uid == existing->st_uid));
}

// Takes the lock of `fd`, waiting a while for a save that holds it. A file system without
// locks is used without them. False, with errno set, when the lock stays taken.
bool lockExclusively(int fd) {
  constexpr auto kPause = std::chrono::milliseconds(10);
  for (int pauses = 0;; ++pauses) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return true;
    if (pauses * kPause >= std::chrono::seconds(5)) {
      errno = EWOULDBLOCK;
      return false;
    }
    std::this_thread::sleep_for(kPause);
  }
}

// Creates the temporary file `name` afresh, locked. Whoever holds the lock of the file that
// bears the name owns the name, so saves of one file take turns; a file that no save holds
// was left by one that was killed and is removed. The kernel applies the umask to `mode`, as
// it would to a plain create of the target. Sets `error` when it fails.
FileDescriptor claimTemporary(int directory, const std::string& name, mode_t mode,
                              const struct stat* existing, int& error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    FileDescriptor fd(::openat(directory, name.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    const bool created = fd.valid();
    if (!created && errno == EEXIST) {
      fd = FileDescriptor(
          ::openat(directory, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
      if (!fd.valid() && errno == ENOENT) continue;  // its save has just finished
    }
    if (!fd.valid() || !lockExclusively(fd.get())) {
      error = errno;
      return {};
    }
    // Renamed or removed meanwhile by the save that held it.
    if (!isNamedBy(fd.get(), directory, name)) continue;
    if (created) return fd;
    if (!isLeftover(fd.get(), existing)) {
      error = EEXIST;
      return {};
    }
    ::unlinkat(directory, name.c_str(), 0);
  }
  error = EEXIST;
  return {};
}

ReplaceFileResult writeInPlace(const std::string& path, std::string_view bytes) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.get() < 0) return failure(Stage::Create, errno);
  if (!writeAll(fd.get(), bytes) || fd.close() != 0) return failure(Stage::Write, errno);
  return {};
}

// Makes the rename itself durable; a directory that cannot be synced is no failure.
void syncDirectory(int directory) {
  FileDescriptor fd(::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

// On success, `replacement` (when given) receives the file now under the target's name.
ReplaceFileResult writeThroughTemporary(const std::string& target, const struct stat* existing,
                                        std::string_view bytes,
                                        FileDescriptor* replacement = nullptr) {
  // Names are used inside the directory, so no path grows longer than the target's own.
  FileDescriptor directory(::open(directoryOf(target).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!directory.valid()) return failure(Stage::Create, errno);
  const std::string name = nameOf(target);
  int error = 0;
  // A file that exists may be private: its content is never readable by more people, even
  // for a moment, than the old file allowed.
  FileDescriptor fd = claimTemporary(directory.get(), temporaryNameOf(name), existing ? 0600 : 0666,
                                     existing, error);
  if (!fd.valid()) return failure(Stage::Create, error);
  // Declared after the descriptor: the name goes while the lock is still held.
  TemporaryName temporary(directory.get(), temporaryNameOf(name));

  if (existing) {
    // Only a privileged process may give the file back to another owner; others keep theirs.
    (void)!::fchown(fd.get(), existing->st_uid, existing->st_gid);
    if (::fchmod(fd.get(), existing->st_mode & 07777) != 0) return failure(Stage::Write, errno);
  }

  // Renamed while locked, or another save could take the name over in between; once the
  // data is on disk, closing has nothing left to report.
  if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) return failure(Stage::Write, errno);
  if (::renameat(directory.get(), temporary.get().c_str(), directory.get(), name.c_str()) != 0) {
    return failure(Stage::Write, errno);
  }
  temporary.keep();
  syncDirectory(directory.get());
  if (replacement) {
    ::flock(fd.get(), LOCK_UN);
    *replacement = std::move(fd);
  }
  return {};
}

// A file of this process's own is replaced only while its name still leads to it, never
// through a link or another file put in its place, and the replacement is held instead.
ReplaceFileResult replaceOwned(const std::string& path, FileDescriptor& owned,
                               std::string_view bytes) {
  struct stat st;
  if (!namesFile(path, owned) || ::fstat(owned.get(), &st) != 0) {
    return failure(Stage::Create, EPERM);
  }
  return writeThroughTemporary(path, &st, bytes, &owned);
}

}  // namespace

ReplaceFileResult replaceFile(const std::string& path, std::string_view bytes) {
  ReplaceFileResult result;
  if (OwnedFiles::with(path,
                       [&](FileDescriptor& owned) { result = replaceOwned(path, owned, bytes); })) {
    return result;
  }
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
