#include "platform/src/ownedFiles.h"

#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

namespace platform {
namespace {

std::mutex& registryLock() {
  static std::mutex lock;
  return lock;
}

// Guarded by registryLock.
std::map<std::string, FileDescriptor>& registry() {
  static std::map<std::string, FileDescriptor> files;
  return files;
}

}  // namespace

void OwnedFiles::add(const std::string& name, FileDescriptor file) {
  std::lock_guard lock(registryLock());
  registry()[name] = std::move(file);
}

void OwnedFiles::remove(const std::string& name) {
  FileDescriptor file;
  {
    std::lock_guard lock(registryLock());
    const auto entry = registry().find(name);
    if (entry == registry().end()) return;
    file = std::move(entry->second);
    registry().erase(entry);
  }
  if (namesFile(name, file)) ::unlink(name.c_str());
}

bool OwnedFiles::with(const std::string& name, const std::function<void(FileDescriptor&)>& use) {
  std::lock_guard lock(registryLock());
  const auto entry = registry().find(name);
  if (entry == registry().end()) return false;
  use(entry->second);
  return true;
}

}  // namespace platform
