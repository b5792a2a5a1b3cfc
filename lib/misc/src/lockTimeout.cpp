#include "lib/misc/src/lockTimeout.h"

#include <atomic>
#include <string>

#include "lib/misc/src/programAbort.h"
#include "lib/misc/src/textConversion.h"

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

void abortEnterTimedOut(const char* file, int line) {
  programAbort(L"EnterCriticalSection() timed out: " + fromAnsi(file ? file : "") + L":" +
                   std::to_wstring(line),
               __FILE__, __LINE__);
}

}  // namespace misc
