#include "platform/src/resolveUrl.h"

#include <curl/curl.h>

#include <memory>

namespace platform {
namespace {

struct UrlHandleFree {
  void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
struct CurlTextFree {
  void operator()(char* text) const { curl_free(text); }
};

bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string escapeBlanks(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (c == ' ') {
      escaped += "%20";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace

bool hasUrlScheme(std::string_view reference) {
  if (reference.empty() || !isAsciiLetter(reference[0])) return false;
  for (std::size_t i = 1; i < reference.size(); ++i) {
    const char c = reference[i];
    if (c == ':') return true;
    if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
      return false;
    }
  }
  return false;
}

std::optional<std::string> resolveUrl(std::string_view base, std::string_view reference) {
  if (hasUrlScheme(reference)) return std::string(reference);
  const std::unique_ptr<CURLU, UrlHandleFree> url(curl_url());
  if (!url) return std::nullopt;
  const unsigned flags = CURLU_NON_SUPPORT_SCHEME;
  if (curl_url_set(url.get(), CURLUPART_URL, std::string(base).c_str(), flags) != CURLUE_OK) {
    return std::nullopt;
  }
  // curl drops the base's last path segment for a reference of only a query or a fragment,
  // which RFC 3986 keeps: those replace the base's own.
  const bool queryOrFragment = !reference.empty() && (reference[0] == '#' || reference[0] == '?');
  // Setting a relative URL on a handle that holds one resolves it against that one.
  if (!reference.empty() && !queryOrFragment &&
      curl_url_set(url.get(), CURLUPART_URL, escapeBlanks(reference).c_str(), flags) != CURLUE_OK) {
    return std::nullopt;
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return std::nullopt;
  const std::unique_ptr<char, CurlTextFree> owned(text);
  std::string resolved(text);
  if (queryOrFragment) {
    resolved = resolved.substr(0, resolved.find_first_of(reference[0] == '#' ? "#" : "?#")) +
               escapeBlanks(reference);
  }
  return resolved;
}

}  // namespace platform
