// Splits arbitrary URLs and resolves arbitrary Locations against them, and checks what the
// helpers promise: a URL that cannot be split gives its one message; the table of sources
// agrees with the splitter on paths; a file: URL names a path or is refused by its host; a
// resolved Location ends with the Location and starts from the base's scheme and
// host, or is the Location itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/fileUrl.h"
#include "net/src/internal_net.h"
#include "net/src/urlSource.h"
#include "platform/inet/src/inetConstants.h"

namespace {

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

void checkCrack(const std::wstring& url) {
  try {
    const auto parts = net::crackUrl(url);
    if (parts.scheme == platform::inet::INTERNET_SCHEME_UNKNOWN && parts.path != url) std::abort();
    // The table of sources and the cracker agree on which texts are paths.
    const bool path = net::urlSourceOf(url) == net::UrlSource::kLocalPath;
    if (path != (parts.scheme == platform::inet::INTERNET_SCHEME_UNKNOWN)) std::abort();
  } catch (const misc::wruntime_error& e) {
    if (e.wideMessage() != L"Can't parse URL (rc=0): " + url) std::abort();
  }
}

// A text that is no file: URL names itself; a file: URL a path, or it names another host.
void checkFilePath(const std::wstring& url) {
  try {
    const std::wstring path = net::fileUrlPath(url);
    if (net::urlSourceOf(url) != net::UrlSource::kFile && path != url) std::abort();
  } catch (const misc::wruntime_error& e) {
    if (net::urlSourceOf(url) != net::UrlSource::kFile ||
        !startsWith(e.wideMessage(), L"The file: URL " + url + L" names the host ")) {
      std::abort();
    }
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
  checkFilePath(base);
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
