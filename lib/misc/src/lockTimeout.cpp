#include "lib/misc/src/lockTimeout.h"

#include <atomic>

namespace misc {
namespace {
std::atomic<float> timeoutSeconds{-1.0f};
}

float lockTimeout() {
  return timeoutSeconds.load();
}

void setLockTimeout(float seconds) {
  timeoutSeconds = seconds;
}

std::chrono::milliseconds lockTimeoutDuration() {
  return std::chrono::milliseconds(static_cast<long long>(lockTimeout() * 1000.0f));
}

}  // namespace misc
