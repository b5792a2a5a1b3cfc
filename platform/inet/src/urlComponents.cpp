#include "platform/inet/src/urlComponents.h"

#include <curl/curl.h>

#include <memory>

#include "platform/inet/src/failure.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/src/utf8.h"

namespace platform::inet {
namespace {

struct Scheme {
  const char* name;
  int number;
  bool hasAuthority;  // "name:" must be followed by "//host"
};

constexpr Scheme kSchemes[] = {
    {"ftp", INTERNET_SCHEME_FTP, true},
    {"gopher", INTERNET_SCHEME_GOPHER, true},
    {"http", INTERNET_SCHEME_HTTP, true},
    {"https", INTERNET_SCHEME_HTTPS, true},
    {"file", INTERNET_SCHEME_FILE, false},
    {"news", INTERNET_SCHEME_NEWS, false},
    {"mailto", INTERNET_SCHEME_MAILTO, false},
    {"socks", INTERNET_SCHEME_SOCKS, true},
    {"javascript", INTERNET_SCHEME_JAVASCRIPT, false},
    {"vbscript", INTERNET_SCHEME_VBSCRIPT, false},
    {"res", INTERNET_SCHEME_RES, false},
};

bool isSchemeChar(wchar_t c, bool first) {
  const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
  return letter || (!first && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.'));
}

const Scheme* findScheme(std::wstring_view name) {
  for (const Scheme& scheme : kSchemes) {
    const std::string_view known = scheme.name;
    bool same = known.size() == name.size();
    for (std::size_t i = 0; same && i < name.size(); ++i) {
      same = static_cast<wchar_t>(known[i]) == (name[i] | 0x20);
    }
    if (same) return &scheme;
  }
  return nullptr;
}

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::wstring part(CURLU* url, CURLUPart which, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url, which, &text, flags) != CURLUE_OK || text == nullptr) return {};
  std::wstring value = platform::fromUtf8(text);
  curl_free(text);
  return value;
}

// Host, port and account of "scheme://authority" through curl's URL API.
bool crackAuthority(const std::wstring& schemeText, std::wstring_view authority,
                    UrlComponents& parts) {
  const std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
  if (!url) return internal::fail(ERROR_NOT_ENOUGH_MEMORY);
  const std::string text = platform::toUtf8(schemeText + L"://" + std::wstring(authority) + L"/");
  if (curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    return internal::fail(ERROR_INTERNET_INVALID_URL);
  }
  parts.host = part(url.get(), CURLUPART_HOST);
  if (parts.host.size() >= 2 && parts.host.front() == L'[' && parts.host.back() == L']') {
    parts.host = parts.host.substr(1, parts.host.size() - 2);
  }
  const std::wstring port = part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  parts.port = port.empty() ? 0 : static_cast<std::uint16_t>(std::stoul(port));
  parts.userName = part(url.get(), CURLUPART_USER);
  parts.password = part(url.get(), CURLUPART_PASSWORD);
  return true;
}

}  // namespace

std::size_t schemeLength(std::wstring_view url) {
  std::size_t i = 0;
  while (i < url.size() && isSchemeChar(url[i], i == 0)) ++i;
  return i >= 2 && i < url.size() && url[i] == L':' ? i : 0;
}

bool crackUrl(const std::wstring& url, UrlComponents& parts) {
  const std::size_t nameLength = schemeLength(url);
  if (nameLength == 0) {
    parts = UrlComponents{};
    parts.scheme = INTERNET_SCHEME_UNKNOWN;
    parts.path = url;
    return true;
  }
  const Scheme* scheme = findScheme(std::wstring_view(url).substr(0, nameLength));
  if (scheme == nullptr) return internal::fail(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  UrlComponents result;
  result.scheme = scheme->number;
  result.schemeText = url.substr(0, nameLength);
  std::wstring_view rest = std::wstring_view(url).substr(nameLength + 1);
  if (rest.starts_with(L"//")) {
    rest.remove_prefix(2);
    const std::size_t end = std::min(rest.find_first_of(L"/?#"), rest.size());
    const std::wstring_view authority = rest.substr(0, end);
    rest.remove_prefix(end);
    if (scheme->number == INTERNET_SCHEME_FILE) {
      result.host = authority;  // a file URL names no server: nothing to check
    } else if (!authority.empty() && !crackAuthority(result.schemeText, authority, result)) {
      return false;
    }
    if (authority.empty() && scheme->hasAuthority)
      return internal::fail(ERROR_INTERNET_INVALID_URL);
  } else if (scheme->hasAuthority) {
    return internal::fail(ERROR_INTERNET_INVALID_URL);
  }
  const std::size_t extra = std::min(rest.find_first_of(L"?#"), rest.size());
  result.path = rest.substr(0, extra);
  result.extraInfo = rest.substr(extra);
  parts = std::move(result);
  return true;
}

}  // namespace platform::inet
