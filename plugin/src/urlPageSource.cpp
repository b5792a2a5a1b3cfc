#include "plugin/src/urlPageSource.h"

#include "channel/src/urlDates.h"
#include "net/src/urlSource.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

// By the network module's table of sources: "http", "https", "file", "ftp", else empty.
std::wstring schemeOf(const std::wstring& url) {
  return std::wstring(net::schemeName(net::urlSourceOf(url)));
}

}  // namespace

std::wstring UrlPageSource::locate(const std::wstring& url) {
  const std::wstring scheme = schemeOf(url);
  if (scheme != L"http" && scheme != L"https") return url;
  return channel::expandUrlDates(url);
}

std::string UrlPageSource::fetch(const std::wstring& url) {
  last_ = nullptr;
  switch (net::urlSourceOf(url)) {
    case net::UrlSource::kLocalPath:
    case net::UrlSource::kFile:
      last_ = &files_;
      return files_.fetch(url);
    case net::UrlSource::kHttp:
    case net::UrlSource::kHttps:
      last_ = &web_;
      return web_.fetch(url);
    default:
      throw PluginError(istring(14212).format(url));
  }
}

}  // namespace plugin
