#include "i18n/src/pathText.h"

#include <mutex>

#include "lib/misc/src/textConversion.h"
#include "platform/src/executable.h"
#include "platform/src/fileStatus.h"

namespace i18n::internal {
namespace {

bool isSeparator(wchar_t c) {
  return c == L'/' || c == L'\\';
}

std::size_t nameStart(const std::wstring& path) {
  const auto last = path.find_last_of(L"/\\");
  return last == std::wstring::npos ? 0 : last + 1;
}

// Index of the extension's dot, or npos.
std::size_t extensionDot(const std::wstring& path) {
  const std::size_t start = nameStart(path);
  const auto dot = path.rfind(L'.');
  return dot == std::wstring::npos || dot <= start ? std::wstring::npos : dot;
}

struct ProgramPathOverride {
  std::mutex mutex;
  std::wstring path;
};

ProgramPathOverride& programPathOverride() {
  static ProgramPathOverride* instance = new ProgramPathOverride;
  return *instance;
}

}  // namespace

std::wstring directoryOf(const std::wstring& path) {
  return path.substr(0, nameStart(path));
}

std::wstring baseNameOf(const std::wstring& path) {
  const std::size_t start = nameStart(path);
  const std::size_t dot = extensionDot(path);
  return path.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
}

std::wstring replaceExtension(const std::wstring& path, const std::wstring& extension) {
  return path.substr(0, extensionDot(path)) + extension;
}

std::wstring joinPath(const std::wstring& directory, const std::wstring& name) {
  if (directory.empty() || isSeparator(directory.back())) return directory + name;
  return directory + L'/' + name;
}

std::vector<std::wstring> searchDirectories(const std::wstring& executablePath) {
  std::vector<std::wstring> result;
  std::wstring current = directoryOf(executablePath);
  while (!current.empty()) {
    result.push_back(current);
    current.pop_back();  // the trailing separator
    current = directoryOf(current);
  }
  return result;
}

bool isRegularFile(const std::wstring& path) {
  return platform::isRegularFile(misc::toAnsi(path));
}

std::wstring programPath() {
  ProgramPathOverride& o = programPathOverride();
  {
    std::lock_guard lock(o.mutex);
    if (!o.path.empty()) return o.path;
  }
  return platform::executablePath();
}

void setProgramPathForTesting(const std::wstring& path) {
  ProgramPathOverride& o = programPathOverride();
  std::lock_guard lock(o.mutex);
  o.path = path;
}

}  // namespace i18n::internal
