#include <gtest/gtest.h>

#include "platform/src/iconvDecoder.h"
#include "platform/src/resolveUrl.h"

namespace {

TEST(IconvDecoderTest, BadBytesBecomeReplacementCharactersAndDecodingGoesOn) {
  platform::IconvDecoder utf8("UTF-8");
  ASSERT_TRUE(utf8.valid());
  EXPECT_EQ(utf8.decode("a\xFF"
                        "b\xC3\xA9\xE2\x82"),
            L"a\uFFFDb\u00e9\uFFFD");
  EXPECT_EQ(utf8.decode("again"), L"again") << "no state left from the cut-off sequence";
  platform::IconvDecoder sjis("shift_jis");
  EXPECT_EQ(sjis.decode("\x93\xFA\x96\x7B"), L"\u65e5\u672c");
  EXPECT_FALSE(platform::IconvDecoder("no-such-set").valid());
}

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
    EXPECT_EQ(platform::resolveUrl(base, reference), resolved) << reference;
  }
  EXPECT_EQ(platform::resolveUrl("not a url", "g"), std::nullopt);
}

}  // namespace
