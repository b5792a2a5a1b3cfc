#pragma once
// The option values a handle carries (see handle.h for their meaning).

#include <cstdint>
#include <string>

namespace platform::inet {

struct HandleOptions {
  std::uint32_t connectTimeoutMs = 0;  // 0: the default
  std::uint32_t sendTimeoutMs = 0;
  std::uint32_t receiveTimeoutMs = 0;
  std::uint32_t connectRetries = 0;
  std::uint32_t fromCacheTimeout = 0;
  std::uint32_t readBufferSize = 0;
  std::uint32_t writeBufferSize = 0;
  std::wstring proxyUserName;
  std::wstring proxyPassword;
};

}  // namespace platform::inet
