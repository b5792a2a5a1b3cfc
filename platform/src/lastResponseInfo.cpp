#include "platform/src/lastResponseInfo.h"

#include <utility>

namespace platform {
namespace {
thread_local std::wstring lastResponse;
}

std::wstring lastResponseInfo() {
  return lastResponse;
}

void setLastResponseInfo(std::wstring text) {
  lastResponse = std::move(text);
}

}  // namespace platform
