#include "platform/inet/src/resolveUrl.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

#include "platform/inet/src/urlText.h"

namespace platform::inet {
namespace {

struct UrlHandleFree {
  void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
struct CurlTextFree {
  void operator()(char* text) const { curl_free(text); }
};

constexpr unsigned kFlags = CURLU_NON_SUPPORT_SCHEME;

bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Characters that curl copies into a resolved path as they stand (a blank is escaped first).
bool isPlainPathCharacter(char c) {
  static constexpr std::string_view kOthers = "-._~!$&'()*+,;=/ ";
  return isAsciiLetter(c) || (c >= '0' && c <= '9') || kOthers.find(c) != std::string_view::npos;
}

// A reference that resolves by joining it to the base's origin (when it starts with '/') or
// directory, exactly as curl would: a path of plain characters without dot segments, empty
// segments, query or fragment, and short of curl's length limit.
bool isPlainPath(std::string_view reference) {
  constexpr std::size_t kMostBytes = 64 * 1024;
  if (reference.empty() || reference.size() > kMostBytes ||
      reference.find("//") != std::string_view::npos) {
    return false;
  }
  for (const char c : reference) {
    if (!isPlainPathCharacter(c)) return false;
  }
  for (std::size_t begin = 0; begin <= reference.size();) {
    const std::size_t end = std::min(reference.find('/', begin), reference.size());
    const std::string_view segment = reference.substr(begin, end - begin);
    if (segment == "." || segment == "..") return false;
    begin = end + 1;
  }
  return true;
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

struct UrlResolver::Base {
  std::unique_ptr<CURLU, UrlHandleFree> url;
  std::string text;  // as curl writes it
  // For plain paths, of an http or https base (else both empty): scheme and authority, and
  // all up to the last '/' before the first '?', as curl cuts it.
  std::string origin;
  std::string directory;

  void splitForPlainPaths() {
    const std::size_t scheme = text.starts_with("http://")    ? 7
                               : text.starts_with("https://") ? 8
                                                              : 0;
    if (scheme == 0) return;
    const std::size_t path = text.find('/', scheme);
    if (path == std::string::npos) return;
    const std::size_t query = std::min(text.find('?', path), text.size());
    origin = text.substr(0, path);
    directory = text.substr(0, text.rfind('/', query) + 1);
  }

  std::string joined(std::string_view plainPath) const {
    return (plainPath[0] == '/' ? origin : directory) + internal::escapeObjectName(plainPath);
  }
};

UrlResolver::UrlResolver(std::string_view base) {
  std::unique_ptr<CURLU, UrlHandleFree> url(curl_url());
  if (!url ||
      curl_url_set(url.get(), CURLUPART_URL, std::string(base).c_str(), kFlags) != CURLUE_OK) {
    return;
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return;
  const std::unique_ptr<char, CurlTextFree> owned(text);
  base_ = std::make_unique<Base>(Base{std::move(url), text, {}, {}});
  base_->splitForPlainPaths();
}

UrlResolver::~UrlResolver() = default;

std::optional<std::string> UrlResolver::resolve(std::string_view reference) const {
  if (hasUrlScheme(reference)) return std::string(reference);
  if (!base_) return std::nullopt;
  // curl drops the base's last path segment for a reference of only a query or a fragment,
  // which RFC 3986 keeps: those replace the base's own.
  if (reference.empty()) return base_->text;
  if (reference[0] == '#' || reference[0] == '?') {
    const std::string_view cut = reference[0] == '#' ? "#" : "?#";
    return base_->text.substr(0, base_->text.find_first_of(cut)) +
           internal::escapeObjectName(reference);
  }
  // Most links in pages are plain paths: joined without curl's parsing, to the same text.
  if (!base_->origin.empty() && isPlainPath(reference)) return base_->joined(reference);
  // Setting a relative URL on a handle that holds one resolves it against that one. What
  // curl would escape is escaped first, since curl writes its escapes in lower case.
  const std::unique_ptr<CURLU, UrlHandleFree> url(curl_url_dup(base_->url.get()));
  if (!url || curl_url_set(url.get(), CURLUPART_URL, internal::escapeObjectName(reference).c_str(),
                           kFlags) != CURLUE_OK) {
    return std::nullopt;
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return std::nullopt;
  const std::unique_ptr<char, CurlTextFree> owned(text);
  return std::string(text);
}

std::optional<std::string> resolveUrl(std::string_view base, std::string_view reference) {
  return UrlResolver(base).resolve(reference);
}

}  // namespace platform::inet
