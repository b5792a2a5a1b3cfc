#include "platform/inet/src/resolveUrl.h"

#include <curl/curl.h>

#include <memory>

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

struct UrlResolver::Base {
  std::unique_ptr<CURLU, UrlHandleFree> url;
  std::string text;  // as curl writes it
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
  base_ = std::make_unique<Base>(Base{std::move(url), text});
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
    return base_->text.substr(0, base_->text.find_first_of(cut)) + escapeBlanks(reference);
  }
  // Setting a relative URL on a handle that holds one resolves it against that one.
  const std::unique_ptr<CURLU, UrlHandleFree> url(curl_url_dup(base_->url.get()));
  if (!url || curl_url_set(url.get(), CURLUPART_URL, escapeBlanks(reference).c_str(), kFlags) !=
                  CURLUE_OK) {
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
