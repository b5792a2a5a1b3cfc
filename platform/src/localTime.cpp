#include "platform/src/localTime.h"

namespace platform {

std::tm localTime(std::time_t instant) {
  // localtime_r need not look at TZ again by itself.
  tzset();
  std::tm local{};
  localtime_r(&instant, &local);
  return local;
}

}  // namespace platform
