#pragma once

#include <string>

namespace platform {

// Full path of the running program's executable (any length); empty if unknown.
std::wstring executablePath();

}  // namespace platform
