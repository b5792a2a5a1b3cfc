#include "platform/src/utf8.h"

#include <gtest/gtest.h>

using platform::fromUtf8;
using platform::toUtf8;

TEST(Utf8Test, RoundTripsEveryPlane) {
  const std::wstring text = L"a\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(toUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
}

TEST(Utf8Test, InvalidWideCodePointsBecomeReplacementCharacters) {
  std::wstring bad;
  bad += static_cast<wchar_t>(0xD800);
  bad += static_cast<wchar_t>(0x110000);
  EXPECT_EQ(toUtf8(bad), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8Test, MalformedBytesNeverCrashAndResynchronise) {
  EXPECT_EQ(fromUtf8("\xFF"
                     "a"),
            L"\uFFFDa");
  EXPECT_EQ(fromUtf8("\xC3"), L"\uFFFD") << "truncated sequence";
  EXPECT_EQ(fromUtf8("\xE2\x82"
                     "b"),
            L"\uFFFDb")
      << "the byte that broke it is kept";
  EXPECT_EQ(fromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD") << "overlong lead is invalid";
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), L"\uFFFD") << "encoded surrogate";
  EXPECT_EQ(fromUtf8(std::string("\0x", 2)), std::wstring(L"\0x", 2));
}
