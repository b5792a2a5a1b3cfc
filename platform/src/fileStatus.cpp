#include "platform/src/fileStatus.h"

#include <sys/stat.h>

namespace platform {

bool isRegularFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace platform
