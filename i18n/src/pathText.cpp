#include "i18n/src/pathText.h"

#include <mutex>

#include "lib/filesys/src/filesys.h"

namespace i18n::internal {
namespace {

struct ProgramPathOverride {
  std::mutex mutex;
  std::wstring path;
};

ProgramPathOverride& programPathOverride() {
  static ProgramPathOverride* instance = new ProgramPathOverride;
  return *instance;
}

}  // namespace

std::vector<std::wstring> searchDirectories(const std::wstring& executablePath) {
  std::vector<std::wstring> result;
  std::wstring drive, dir;
  tools::splitPath(executablePath, &drive, &dir, nullptr, nullptr);
  // The directory part shrinks every round; a share's root ("//srv/share/") has none left.
  while (!dir.empty()) {
    result.push_back(tools::makePath(drive, dir));
    dir.pop_back();  // the trailing separator
    tools::splitPath(dir, nullptr, &dir, nullptr, nullptr);
  }
  return result;
}

std::wstring programPath() {
  ProgramPathOverride& o = programPathOverride();
  {
    std::lock_guard lock(o.mutex);
    if (!o.path.empty()) return o.path;
  }
  return tools::getModulePath();
}

std::wstring programBaseName() {
  std::wstring name;
  tools::splitPath(programPath(), nullptr, nullptr, &name, nullptr);
  return name;
}

void setProgramPathForTesting(const std::wstring& path) {
  ProgramPathOverride& o = programPathOverride();
  std::lock_guard lock(o.mutex);
  o.path = path;
}

}  // namespace i18n::internal
