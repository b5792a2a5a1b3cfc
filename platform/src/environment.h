#pragma once
// The process environment.

#include <optional>
#include <string>

namespace platform {

// The value of the environment variable `name`, or none when it is not set (an empty value
// is a value). Call while no thread changes the environment.
std::optional<std::string> environmentVariable(const char* name);

}  // namespace platform
