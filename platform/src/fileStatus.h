#pragma once

#include <string>

namespace platform {

// True when `path` (UTF-8) names an existing regular file (a directory does not count).
bool isRegularFile(const std::string& path);

}  // namespace platform
