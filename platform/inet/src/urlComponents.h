#pragma once
// Splitting a URL into its parts (curl's URL API underneath), as the Internet API's URL
// cracker splits it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::inet {

struct UrlComponents {
  int scheme = 0;           // INTERNET_SCHEME_*
  std::wstring schemeText;  // as written, "http"
  std::wstring host;        // empty for a local path
  std::uint16_t port = 0;   // the given port, else the scheme's default (ftp 21, http 80,
                            // https 443), else 0
  std::wstring userName;
  std::wstring password;
  std::wstring path;       // as written, from the "/" after the host; empty when none
  std::wstring extraInfo;  // "?query" and "#fragment" as written, empty when neither
};

// The length of the scheme name before the first ':' of `url`, or 0 when it has none: a
// name is a letter and then letters, digits, '+', '-' or '.', and a single letter is a
// drive ("C:"), not a scheme. Never throws.
std::size_t schemeLength(std::wstring_view url);

// - "scheme://..." of a known scheme (ftp, gopher, http, https, file, news, mailto, socks,
//   javascript, vbscript, res) fills the parts: true.
// - A text without a scheme (no "name:" of two or more letters before its first "/") is a
//   local path: scheme INTERNET_SCHEME_UNKNOWN, path = the whole text, the rest empty: true.
// - mailto:, news:, javascript: and the like without "//": the scheme and the path after
//   the colon: true.
// - Another scheme: false with ERROR_INTERNET_UNRECOGNIZED_SCHEME; a URL that cannot be
//   split (no host, a bad port, blanks in the host): false with ERROR_INTERNET_INVALID_URL.
// On failure `parts` is left as it was.
bool crackUrl(const std::wstring& url, UrlComponents& parts);

}  // namespace platform::inet
