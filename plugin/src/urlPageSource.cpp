#include "plugin/src/urlPageSource.h"

#include "channel/src/urlDates.h"
#include "platform/inet/src/resolveUrl.h"
#include "platform/src/utf8.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

std::wstring schemeOf(const std::wstring& url) {
  if (!platform::inet::hasUrlScheme(platform::toUtf8(url))) return {};
  std::wstring scheme = url.substr(0, url.find(L':'));
  for (wchar_t& c : scheme) {
    if (c >= L'A' && c <= L'Z') c += 32;
  }
  return scheme;
}

}  // namespace

std::wstring UrlPageSource::locate(const std::wstring& url) {
  const std::wstring scheme = schemeOf(url);
  if (scheme != L"http" && scheme != L"https") return url;
  return channel::expandUrlDates(url);
}

std::string UrlPageSource::fetch(const std::wstring& url) {
  const std::wstring scheme = schemeOf(url);
  if (scheme.empty() || scheme == L"file") return files_.fetch(url);
  if (scheme == L"http" || scheme == L"https") return web_.fetch(url);
  throw PluginError(istring(14212).format(url));
}

}  // namespace plugin
