#include "platform/inet/src/failure.h"

#include "platform/inet/src/inetConstants.h"
#include "platform/src/lastResponseInfo.h"
#include "platform/src/thread.h"

namespace platform::inet::internal {

bool fail(std::uint32_t code) {
  platform::setLastError(code);
  return false;
}

bool fail(std::uint32_t code, const std::wstring& serverReply) {
  if (code == ERROR_INTERNET_EXTENDED_ERROR || !serverReply.empty()) {
    platform::setLastResponseInfo(serverReply);
  }
  return fail(code);
}

}  // namespace platform::inet::internal
