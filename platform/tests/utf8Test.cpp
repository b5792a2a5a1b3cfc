#include "platform/src/utf8.h"

#include <gtest/gtest.h>

#include <random>

using platform::fromUtf8;
using platform::toUtf8;

TEST(Utf8Test, RoundTripsEveryPlane) {
  const std::wstring text = L"a\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(toUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
}

TEST(Utf8Test, InvalidWideCodePointsBecomeReplacementCharacters) {
  const std::wstring bad = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000)};
  EXPECT_EQ(toUtf8(bad), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8Test, MalformedBytesNeverCrashAndResynchronise) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"\377a", L"\uFFFDa"},          // octal: "\xFFa" would be one escape
      {"\xC3", L"\uFFFD"},            // truncated sequence
      {"\342\202b", L"\uFFFDb"},      // the byte that broke it is kept
      {"\xC0\xAF", L"\uFFFD\uFFFD"},  // overlong lead is invalid
      {"\xED\xA0\x80", L"\uFFFD"},    // encoded surrogate
      {std::string("\0x", 2), std::wstring(L"\0x", 2)},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(fromUtf8(bytes), text) << testing::PrintToString(bytes);
  }
}

TEST(Utf8Test, EscapedDecodingKeepsEveryByte) {
  using platform::fromUtf8Escaped;
  using platform::toUtf8Escaped;
  EXPECT_EQ(fromUtf8Escaped("\xC3\xA9\xFF"
                            "a\xE2\x82"),
            L"\u00e9\xDCFF"
            L"a\xDCE2\xDC82");
  EXPECT_EQ(fromUtf8Escaped("\xED\xB2\x80"), L"\xDCED\xDCB2\xDC80") << "the form of an escape";
  const std::wstring outside = {static_cast<wchar_t>(0xDC7F), static_cast<wchar_t>(0xDD00)};
  EXPECT_EQ(toUtf8Escaped(outside), "\xEF\xBF\xBD\xEF\xBF\xBD") << "no byte stands for these";

  // Any bytes come back; valid text decodes as it always did.
  std::mt19937 random(7);
  const char pool[] = "a\x7F\x80\xBF\xC2\xC3\xDF\xE0\xED\xEF\xF0\xF4\xF5\xFF\x9F\xA0";
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(random() % 7); n > 0; --n) bytes += pool[random() % 16];
    const std::wstring text = fromUtf8Escaped(bytes);
    ASSERT_EQ(toUtf8Escaped(text), bytes);
    if (fromUtf8(bytes).find(L'\uFFFD') == std::wstring::npos) {
      ASSERT_EQ(text, fromUtf8(bytes));
    }
  }
}

// Repairing in UTF-8 gives what decoding with escapes and then replacing each escape gives,
// for any bytes; the valid front ends where the first escape stands.
TEST(Utf8Test, RepairedUtf8AgreesWithEscapedDecoding) {
  const auto forByte = [](unsigned char b) -> char32_t { return 0x100 + b; };
  std::mt19937 random(11);
  const char pool[] = "a\x7F\x80\xBF\xC2\xC3\xDF\xE0\xED\xEF\xF0\xF4\xF5\xFF\x9F\xA0";
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(random() % 40); n > 0; --n) bytes += pool[random() % 16];
    std::wstring expected = platform::fromUtf8Escaped(bytes);
    std::size_t validCharacters = expected.size();
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const auto c = static_cast<char32_t>(expected[i]);
      if (c < 0xDC80 || c > 0xDCFF) continue;
      validCharacters = std::min(validCharacters, i);
      expected[i] = static_cast<wchar_t>(forByte(static_cast<unsigned char>(c - 0xDC00)));
    }
    ASSERT_EQ(platform::repairedUtf8(bytes, forByte), toUtf8(expected))
        << testing::PrintToString(bytes);
    const std::size_t valid = platform::validUtf8Length(bytes);
    ASSERT_EQ(fromUtf8(bytes.substr(0, valid)).size(), validCharacters);
  }
}
