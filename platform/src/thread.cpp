#include "platform/src/thread.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {
thread_local std::uint32_t lastError = 0;
}

std::uint32_t currentThreadId() {
  thread_local const auto id = static_cast<std::uint32_t>(::syscall(SYS_gettid));
  return id;
}

std::uint32_t getLastError() {
  return lastError;
}

void setLastError(std::uint32_t code) {
  lastError = code;
}

}  // namespace platform
