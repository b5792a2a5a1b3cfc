// Splits arbitrary URLs and resolves arbitrary Locations against them, and checks what the
// helpers promise: a URL that cannot be split gives its one message; a file URL's path is
// local; a resolved Location ends with the Location and starts from the base's scheme and
// host, or is the Location itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/internal_net.h"
#include "platform/inet/src/inetConstants.h"

namespace {

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

void checkCrack(const std::wstring& url) {
  try {
    const auto parts = net::crackUrl(url);
    if (parts.scheme == platform::inet::INTERNET_SCHEME_FILE && parts.path.size() >= 3 &&
        parts.path[0] == L'/' && parts.path[2] == L':' && std::iswalpha(parts.path[1])) {
      std::abort();  // "/C:/..." is made "C:/..."
    }
    if (parts.scheme == platform::inet::INTERNET_SCHEME_UNKNOWN && parts.path != url) std::abort();
  } catch (const misc::wruntime_error& e) {
    if (e.wideMessage() != L"Can't parse URL (rc=0): " + url) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\0');
  const std::wstring base = misc::fromUtf8(bytes.substr(0, split));
  const std::wstring location =
      split == std::string::npos ? L"" : misc::fromUtf8(bytes.substr(split + 1));
  checkCrack(base);
  const std::wstring resolved = net::resolveRedirectUrl(base, location);
  if (resolved.size() < location.size() ||
      resolved.compare(resolved.size() - location.size(), location.size(), location) != 0) {
    std::abort();
  }
  if (resolved != location && !startsWith(resolved, net::crackUrl(base).schemeText + L"://")) {
    std::abort();
  }
  return 0;
}
