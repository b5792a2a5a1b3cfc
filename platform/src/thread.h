#pragma once

#include <cstdint>

namespace platform {

// The kernel id of the calling thread; never 0, so 0 can mean "no thread".
std::uint32_t currentThreadId();

// The system-wide error code of the calling thread's last failed call, as Windows code
// reads it after a failure. Stand-ins for system calls set it; it starts at 0.
std::uint32_t getLastError();
void setLastError(std::uint32_t code);

}  // namespace platform
