#include "platform/src/clock.h"

#include <time.h>

namespace platform {

std::int64_t counter() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  // CLOCK_MONOTONIC may start near zero; the offset keeps 0 free to mean "not running".
  return static_cast<std::int64_t>(ts.tv_sec + 1) * 1'000'000'000 + ts.tv_nsec;
}

std::int64_t counterFrequency() {
  return 1'000'000'000;
}

std::uint32_t tickCount() {
  return static_cast<std::uint32_t>(counter() / 1'000'000);
}

}  // namespace platform
