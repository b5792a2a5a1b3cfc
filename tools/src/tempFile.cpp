#include "tools/src/tempFile.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <tuple>
#include <utility>

#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/criticalSectionLock.h"
#include "lib/misc/src/sourceLocation.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/environment.h"
#include "platform/src/fileDescriptor.h"
#include "platform/src/ownedFiles.h"
#include "platform/src/thread.h"
#include "tools/src/istring.h"

namespace tools {
namespace {

constexpr int kCannotCreate = 11132;
constexpr int kReplaced = 11120;
constexpr int kMaxTries = 32767;

misc::CriticalSectionLock& tempNameLock() {
  static misc::CriticalSectionLock lock;
  return lock;
}

// The name under which `file`, created as `name`, may be written: only if the name still
// is that file, so that a swap shows instead of being written around unnoticed.
std::string checkedReopenPath(const std::string& name, const platform::FileDescriptor& file) {
  if (!platform::namesFile(name, file)) {
    throw misc::wruntime_error(internal::istring(kReplaced).format(misc::fromAnsi(name)));
  }
  return platform::reopenPath(file);
}

// The number of the next name to try; guarded by tempNameLock. A random start keeps
// processes apart, the exclusive creation makes any overlap harmless.
std::uint32_t nextNumber() {
  static std::uint32_t counter = std::random_device()() % 1000000000u;
  counter = counter % 2000000000u + 1;
  return counter;
}

bool isDirectory(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

// A relative directory is anchored now: the name must stay valid after the current
// directory changes and for a child started in another one.
std::wstring absoluteDirectory(const std::string& dir) {
  const std::filesystem::path path(dir);
  std::error_code error;
  if (path.is_absolute()) return misc::fromAnsi(dir);
  const std::filesystem::path current = std::filesystem::current_path(error);
  return misc::fromAnsi(error ? dir : (current / path).string());
}

std::wstring tempDirectory() {
  if (auto tmp = platform::environmentVariable("TMP")) {
    std::string dir = *tmp;
    if (isDirectory(dir)) return absoluteDirectory(dir);
    std::erase(dir, '"');
    if (isDirectory(dir)) return absoluteDirectory(dir);
  }
  if (auto tmpDir = platform::environmentVariable("TMPDIR"); tmpDir && isDirectory(*tmpDir)) {
    return absoluteDirectory(*tmpDir);
  }
  return L"/tmp";
}

// Creates a new file; returns its name and descriptor. An existing name is skipped, never
// opened.
std::pair<std::wstring, platform::FileDescriptor> createUniqueFile(const std::wstring& extension) {
  const std::wstring dir = tempDirectory();
  for (int tries = 0; tries < kMaxTries; ++tries) {
    std::wstring name = makePath(L"", dir, L"tarvo" + std::to_wstring(nextNumber()), extension);
    platform::FileDescriptor file = platform::createExclusive(misc::toAnsi(name));
    if (file.valid()) return {std::move(name), std::move(file)};
    if (platform::getLastError() != EEXIST) break;
  }
  throw misc::wruntime_error(internal::istring(kCannotCreate));
}

}  // namespace

TempFile::TempFile(const std::wstring& extension) {
  misc::ScopedCriticalSection lock(&tempNameLock(), PG_HERE);
  platform::FileDescriptor file;
  std::tie(fileName_, file) = createUniqueFile(extension);
  platform::OwnedFiles::add(misc::toAnsi(fileName_), std::move(file));
}

TempFile::~TempFile() {
  if (is_open()) close();
  platform::OwnedFiles::remove(misc::toAnsi(fileName_));
}

void TempFile::open(const std::filesystem::path& name, std::ios_base::openmode mode) {
  const bool own = name == std::filesystem::path(misc::toAnsi(fileName_)) &&
                   platform::OwnedFiles::with(name, [&](platform::FileDescriptor& file) {
                     std::ofstream::open(checkedReopenPath(name, file), mode);
                   });
  if (!own) std::ofstream::open(name, mode);
}

platform::FileDescriptor TempFile::openForWriting(const std::wstring& path) {
  const std::string name = misc::toAnsi(path);
  platform::FileDescriptor opened;
  const bool own = platform::OwnedFiles::with(name, [&](platform::FileDescriptor& file) {
    opened = platform::openForWriting(checkedReopenPath(name, file));
  });
  return own ? std::move(opened) : platform::openForWriting(name);
}

}  // namespace tools
