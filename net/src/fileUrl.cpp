#include "net/src/fileUrl.h"

#include <algorithm>

#include "lib/misc/src/urlEncode.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/istring.h"
#include "net/src/urlSource.h"
#include "platform/src/cLocale.h"
#include "platform/src/utf8.h"

namespace net {
namespace {

bool isDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

}  // namespace

std::wstring fileUrlPath(const std::wstring& url) {
  if (urlSourceOf(url) != UrlSource::kFile) return url;
  std::wstring_view rest = std::wstring_view(url).substr(schemeName(UrlSource::kFile).size() + 1);
  if (rest.starts_with(L"//")) {
    rest.remove_prefix(2);
    const std::size_t end = std::min(rest.find_first_of(L"/?#"), rest.size());
    const std::wstring_view host = rest.substr(0, end);
    if (!host.empty() && !platform::equalsNoCase(host, L"localhost")) {
      throw misc::wruntime_error(internal::istring(11552).format(url, std::wstring(host)));
    }
    rest.remove_prefix(end);
    if (rest.empty() || rest[0] != L'/') rest = L"/";
  }
  std::wstring path(rest.substr(0, rest.find_first_of(L"?#")));
  constexpr std::wstring_view kLocalhost = L"localhost/";
  if (path.size() > kLocalhost.size() && platform::startsWithNoCase(path, kLocalhost)) {
    path.erase(0, kLocalhost.size() - 1);
  }
  if (path.size() >= 3 && path[0] == L'/' && isDriveLetter(path[1]) && path[2] == L':') {
    path.erase(0, 1);
  }
  return platform::fromUtf8Escaped(misc::urlDecode(platform::toUtf8Escaped(path)));
}

}  // namespace net
