#pragma once
// Resolving a reference found in a page against the page's base URL (RFC 3986), with curl's
// URL API. Texts are UTF-8.
//
//     resolveUrl("http://example.org/news/", "../img/a.png")  // "http://example.org/img/a.png"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The absolute URL that `reference` names when read relative to `base`; none when either
// cannot be parsed as a URL. A reference that is absolute itself is returned as it is.
// Blanks in a reference are escaped as %20.
std::optional<std::string> resolveUrl(std::string_view base, std::string_view reference);

// Whether `reference` starts with a scheme ("http:", "mailto:").
bool hasUrlScheme(std::string_view reference);

}  // namespace platform
