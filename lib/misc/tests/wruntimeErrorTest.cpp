#include "lib/misc/src/wruntimeError.h"

#include <gtest/gtest.h>

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/urlEncode.h"

TEST(WruntimeErrorTest, KeepsTheWholeWideMessageAndCutsWhatTo255Bytes) {
  const std::wstring message(300, L'x');
  const misc::wruntime_error e(message);
  EXPECT_EQ(e.wideMessage(), message);
  EXPECT_EQ(std::string(e.what()), std::string(255, 'x'));
  const misc::wruntime_error copy(e);
  EXPECT_EQ(copy.wideMessage(), message);
}

TEST(WruntimeErrorTest, NeverCutsInsideACharacter) {
  // 127 two-byte characters are 254 bytes; one more would straddle the limit.
  const std::wstring message = std::wstring(128, L'\u00e9');
  const misc::wruntime_error e(message);
  const std::string what = e.what();
  EXPECT_EQ(what.size(), 254u);
  EXPECT_EQ(misc::fromUtf8(what), std::wstring(127, L'\u00e9'));
}

TEST(WruntimeErrorTest, ExceptionTextPrefersTheWideMessage) {
  EXPECT_EQ(misc::exceptionText(misc::wruntime_error(L"caf\u00e9")), L"caf\u00e9");
  EXPECT_EQ(misc::exceptionText(std::runtime_error("caf\xC3\xA9")), L"caf\u00e9");
}

TEST(TextConversionTest, PointerFormsHonourLengthAndNull) {
  EXPECT_EQ(misc::toUtf8(L"abc", 2), "ab");
  EXPECT_EQ(misc::toUtf8(L"abc", -1), "abc");
  EXPECT_EQ(misc::toUtf8(nullptr, -1), "");
  EXPECT_EQ(misc::fromUtf8("\xE2\x82\xAC!", -1), L"\u20ac!");
  EXPECT_EQ(misc::fromUtf8(nullptr, 3), L"");
  EXPECT_EQ(misc::fromAnsi(misc::toAnsi(L"\u00fc")), L"\u00fc");
}

TEST(UrlEncodeTest, EncodesControlsPercentAndExtrasOnly) {
  EXPECT_EQ(misc::urlEncode("a b%c\n\x7f\xC3\xA9"), "a b%25c%0A\x7f\xC3\xA9");
  EXPECT_EQ(misc::urlEncode("a=b;c", "=;"), "a%3Db%3Bc");
  EXPECT_EQ(misc::urlEncode(std::string("\0", 1)), "%00");
}
