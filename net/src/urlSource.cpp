#include "net/src/urlSource.h"

#include "platform/inet/src/urlComponents.h"
#include "platform/src/cLocale.h"

namespace net {
namespace {

struct Row {
  std::wstring_view scheme;
  UrlSource source;
};

constexpr Row kSources[] = {
    {L"file", UrlSource::kFile},
    {L"http", UrlSource::kHttp},
    {L"https", UrlSource::kHttps},
    {L"ftp", UrlSource::kFtp},
};

}  // namespace

UrlSource urlSourceOf(std::wstring_view text) {
  const std::size_t length = platform::inet::schemeLength(text);
  if (length == 0) return UrlSource::kLocalPath;
  for (const Row& row : kSources) {
    if (platform::equalsNoCase(text.substr(0, length), row.scheme)) return row.source;
  }
  return UrlSource::kOther;
}

std::wstring_view schemeName(UrlSource source) {
  for (const Row& row : kSources) {
    if (row.source == source) return row.scheme;
  }
  return {};
}

}  // namespace net
