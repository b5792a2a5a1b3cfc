#pragma once
// Local time of the user's zone.

#include <ctime>

namespace platform {

// The broken-down local time of `instant`. The zone (TZ) is read again at every call, so a
// zone changed while the process runs counts. Any thread may call.
std::tm localTime(std::time_t instant);

}  // namespace platform
