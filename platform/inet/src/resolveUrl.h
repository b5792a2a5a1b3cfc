#pragma once
// Resolving a reference found in a page against the page's base URL (RFC 3986), with curl's
// URL API. Texts are UTF-8.
//
//     resolveUrl("http://example.org/news/", "../img/a.png")  // "http://example.org/img/a.png"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::inet {

// The same, for many references against one base, which is parsed once.
class UrlResolver {
 public:
  explicit UrlResolver(std::string_view base);
  ~UrlResolver();
  UrlResolver(const UrlResolver&) = delete;
  UrlResolver& operator=(const UrlResolver&) = delete;

  // None for every reference when the base is not a URL.
  std::optional<std::string> resolve(std::string_view reference) const;

 private:
  struct Base;
  std::unique_ptr<Base> base_;
};

// The absolute URL that `reference` names when read relative to `base`; none when either
// cannot be parsed as a URL. A reference that is absolute itself is returned as it is.
// Blanks, control characters and bytes beyond ASCII in a reference are escaped (%C3%A9, upper
// case as RFC 3986 prefers); escapes that it holds stay as written.
std::optional<std::string> resolveUrl(std::string_view base, std::string_view reference);

// Whether `reference` starts with a scheme ("http:", "mailto:").
bool hasUrlScheme(std::string_view reference);

}  // namespace platform::inet
