#include "platform/inet/src/resolveUrl.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/inet/src/urlText.h"

namespace {

// The reference resolutions of RFC 3986, section 5.4, and what pages hold besides.
TEST(ResolveUrlTest, ReferencesResolveAsRfc3986Says) {
  const char base[] = "http://a/b/c/d;p?q";
  const std::pair<const char*, const char*> cases[] = {
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g/"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q#s"},
      {"../g", "http://a/b/g"},
      {"../../../g", "http://a/g"},
      {"g a.html", "http://a/b/c/g%20a.html"},
      // Escapes made here are upper case; those of the page stay as written.
      {"../caf\xC3\xA9 x", "http://a/b/caf%C3%A9%20x"},
      {"?\xC3\xA9", "http://a/b/c/d;p?%C3%A9"},
      {"#\xC3\xA9", "http://a/b/c/d;p?q#%C3%A9"},
      {"g?\xC3\xA9=%c3%a9", "http://a/b/c/g?%C3%A9=%c3%a9"},
      {"HTTPS://Other/X", "HTTPS://Other/X"},  // absolute: kept as written
  };
  for (const auto& [reference, resolved] : cases) {
    EXPECT_EQ(platform::inet::resolveUrl(base, reference), resolved) << reference;
  }
  EXPECT_EQ(platform::inet::resolveUrl("not a url", "g"), std::nullopt);
}

// What curl itself makes of `reference`, escaped as the resolver escapes it, set on a handle
// that holds `base`.
std::optional<std::string> curlResolved(const char* base, const std::string& unescaped) {
  const std::string reference = platform::inet::internal::escapeObjectName(unescaped);
  const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
  constexpr unsigned kFlags = CURLU_NON_SUPPORT_SCHEME;
  char* text = nullptr;
  if (curl_url_set(url.get(), CURLUPART_URL, base, kFlags) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), kFlags) != CURLUE_OK ||
      curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) {
    return std::nullopt;
  }
  const std::unique_ptr<char, decltype(&curl_free)> owned(text, curl_free);
  return std::string(text);
}

// Links that are plain paths are joined to the base without asking curl: the result must
// be curl's to the byte, for every kind of base and of path piece next to every other.
TEST(ResolveUrlTest, PathsResolveToTheTextCurlGives) {
  const char* bases[] = {"http://a/b/c/d;p?q",    "https://Host.example:8443",
                         "http://h/dir/x?y=/z/w", "https://u:p@[::1]/a/b",
                         "http://h/a#f?x/y",      "ftp://h/a/",
                         "HTTP://h/./a/../b/c"};
  const char* pieces[] = {"g",        "/",           "a b", ".",  "..", ".x", "x.",
                          "~u-v_w",   "!$&'()*+,;=", "%41", "?z", "#f", ":",  "@",
                          "\xC3\xA9", "\\",          "\t",  "",   "//"};
  for (const char* base : bases) {
    const platform::inet::UrlResolver resolver(base);
    for (const char* a : pieces) {
      for (const char* b : pieces) {
        for (const std::string& reference :
             {std::string(a) + b, std::string(a) + "/" + b, "/" + std::string(a) + "/" + b}) {
          if (reference.empty() || reference[0] == '?' || reference[0] == '#' ||
              platform::inet::hasUrlScheme(reference)) {
            continue;  // not left to curl
          }
          EXPECT_EQ(resolver.resolve(reference), curlResolved(base, reference))
              << base << " + " << reference;
        }
      }
    }
  }
}

}  // namespace
