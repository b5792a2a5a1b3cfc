#include "platform/src/directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isWritableDirectory(const std::string& path) {
  return isDirectory(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

int makeDirectories(const std::string& path) {
  if (path.empty()) return ENOENT;
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string step = path.substr(0, end);
    if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (end == std::string::npos) break;
  }
  return isDirectory(path) ? 0 : ENOTDIR;
}

}  // namespace platform
