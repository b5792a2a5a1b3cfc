#include "net/src/internal_net.h"

#include "lib/log/src/log.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/internetApi.h"
#include "net/src/istring.h"
#include "net/src/msgGroups.h"
#include "net/src/networkSettings.h"
#include "platform/src/cLocale.h"
#include "win32tools/src/errorText.h"

namespace net {
namespace {

namespace inet = platform::inet;

std::uint16_t defaultPort(int scheme) {
  switch (scheme) {
    case inet::INTERNET_SCHEME_FTP:
      return 21;
    case inet::INTERNET_SCHEME_HTTP:
      return 80;
    case inet::INTERNET_SCHEME_HTTPS:
      return 443;
    default:
      return 0;
  }
}

void logRefusedOption(std::uint32_t option, const std::wstring& shownValue) {
  PG_LOG_ALWAYS() << L"Can't set WinInet option:" << option << L" to " << shownValue << L": "
                  << win32tools::lastErrorText();
}

}  // namespace

inet::UrlComponents crackUrl(const std::wstring& url) {
  inet::UrlComponents parts;
  if (!inet::crackUrl(url, parts)) {
    throw misc::wruntime_error(internal::istring(11541).format(L"0", url));
  }
  return parts;
}

std::wstring resolveRedirectUrl(const std::wstring& base, const std::wstring& location) {
  if (platform::startsWithNoCase(location, L"http")) return location;
  inet::UrlComponents parts;
  if (!inet::crackUrl(base, parts)) return location;
  std::wstring url = parts.schemeText + L"://" + parts.host;
  // Without the port a relative redirect from a server on another port would reach the
  // wrong server.
  if (parts.port != 0 && parts.port != defaultPort(parts.scheme)) {
    url += L':' + std::to_wstring(parts.port);
  }
  if (location.empty() || location[0] != L'/') url += L'/';
  return url + location;
}

void configureInternetHandle(internal::InternetHandle& handle) {
  const NetworkSettings& s = networkSettings();
  setInternetOption(handle, inet::INTERNET_OPTION_CONNECT_RETRIES, s.connectRetries);
  setInternetOption(handle, inet::INTERNET_OPTION_CONNECT_TIMEOUT, s.connectTimeout);
  setInternetOption(handle, inet::INTERNET_OPTION_FROM_CACHE_TIMEOUT, s.fromCacheTimeout);
  setInternetOption(handle, inet::INTERNET_OPTION_RECEIVE_TIMEOUT, s.receiveTimeout);
  setInternetOption(handle, inet::INTERNET_OPTION_SEND_TIMEOUT, s.sendTimeout);
  setInternetOption(handle, inet::INTERNET_OPTION_PROXY_USERNAME, s.proxyUserName);
  setInternetOption(handle, inet::INTERNET_OPTION_PROXY_PASSWORD, s.proxyPassword);
}

void setInternetOption(internal::InternetHandle& handle, std::uint32_t option,
                       std::uint32_t value) {
  if (value == 0 || handle.setOption(option, value)) return;
  logRefusedOption(option, std::to_wstring(value));
}

void setInternetOption(internal::InternetHandle& handle, std::uint32_t option,
                       const std::wstring& value) {
  if (value.empty() || handle.setOption(option, value)) return;
  logRefusedOption(option, L"'" + value + L"'");
}

void addRequestHeader(internal::RequestHandle& request, const std::wstring& name,
                      const std::wstring& value) {
  const std::wstring line = name + L": " + value;
  PG_LOG(internal::httpHeadersGroup()) << L"Setting HTTP header: " << line;
  if (!request.addRequestHeaders(line, inet::HTTP_ADDREQ_FLAG_ADD)) {
    throw misc::wruntime_error(internal::istring(11538).format(line, win32tools::lastErrorText()));
  }
}

bool queryResponseHeader(const internal::RequestHandle& request, const std::wstring& name,
                         std::uint32_t code, std::wstring& value) {
  std::wstring found;
  if (!request.queryInfo(code, found, inet::kQueryBufferChars)) {
    PG_LOG(internal::httpHeadersGroup())
        << L"No " << name << L" HTTP response header was returned.";
    return false;
  }
  PG_LOG(internal::httpHeadersGroup())
      << L"Found HTTP response header: " << name << L": '" << found << L"'";
  value = std::move(found);
  return true;
}

}  // namespace net
