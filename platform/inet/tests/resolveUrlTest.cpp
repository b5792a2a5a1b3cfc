#include "platform/inet/src/resolveUrl.h"

#include <gtest/gtest.h>

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
      {"HTTPS://Other/X", "HTTPS://Other/X"},  // absolute: kept as written
  };
  for (const auto& [reference, resolved] : cases) {
    EXPECT_EQ(platform::inet::resolveUrl(base, reference), resolved) << reference;
  }
  EXPECT_EQ(platform::inet::resolveUrl("not a url", "g"), std::nullopt);
}

}  // namespace
