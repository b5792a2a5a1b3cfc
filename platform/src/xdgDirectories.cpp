#include "platform/src/xdgDirectories.h"

#include "platform/src/environment.h"

namespace platform {

namespace {

bool isAbsolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

std::string directoryOr(const char* variable, const char* belowHome) {
  const auto value = environmentVariable(variable);
  if (value && isAbsolute(*value)) return *value;
  return environmentVariable("HOME").value_or("") + belowHome;
}

}  // namespace

std::string configHome() {
  return directoryOr("XDG_CONFIG_HOME", "/.config");
}

std::string dataHome() {
  return directoryOr("XDG_DATA_HOME", "/.local/share");
}

std::vector<std::string> configDirs() {
  std::vector<std::string> dirs;
  const std::string list = environmentVariable("XDG_CONFIG_DIRS").value_or("");
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string entry = list.substr(start, end - start);
    if (isAbsolute(entry)) dirs.push_back(std::move(entry));
    start = end + 1;
  }
  if (dirs.empty()) dirs.emplace_back("/etc/xdg");
  return dirs;
}

}  // namespace platform
