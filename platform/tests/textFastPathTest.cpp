// The inline and run-at-a-time text paths against their plain forms.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/src/cLocale.h"
#include "platform/src/plainText.h"
#include "platform/src/utf8.h"

namespace platform {
namespace {

int sign(int v) {
  return (v > 0) - (v < 0);
}

TEST(CLocaleFastPaths, FoldingAndBlanksMatchTheCLibraryEverywhere) {
  for (wchar_t c = -2; c <= 0x110001; ++c) {
    ASSERT_EQ(toUpperC(c), plain::toUpperC(c)) << static_cast<long>(c);
    ASSERT_EQ(isSpaceC(c), plain::isSpaceC(c)) << static_cast<long>(c);
  }
}

TEST(CLocaleFastPaths, CompareNoCaseAgreesWithFoldingEveryUnit) {
  // Names that differ in case, in length, outside ASCII and only late.
  const wchar_t alphabet[] = {L'a',      L'A',      L'z',      L'_',      L'[',
                              L'\u00e9', L'\u00c9', L'\u00df', L'\u0131', static_cast<wchar_t>(-1)};
  std::mt19937 random(7);
  const auto name = [&] {
    std::wstring s(random() % 6, L'a');
    for (wchar_t& c : s) c = alphabet[random() % std::size(alphabet)];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::wstring a = name();
    const std::wstring b = i % 3 ? name() : a + name();
    ASSERT_EQ(sign(compareNoCase(a, b)), sign(plain::compareNoCase(a, b)));
    ASSERT_EQ(equalsNoCase(a, b), plain::compareNoCase(a, b) == 0);
  }
}

TEST(Utf8FastPaths, AgreeWithTheGeneralCodec) {
  // Long ASCII runs, broken by sequences valid and not, and by characters no byte forms.
  const std::string pieces[] = {"plain ascii text",
                                "\xC3\xA9",
                                "\xE2\x82\xAC",
                                "\xF0\x9F\x98\x80",
                                "\xFF",
                                "\xC3",
                                "\xED\xA0\x80",
                                std::string(1, '\0'),
                                "x"};
  const wchar_t wide[] = {L'a',   L'\u00e9', L'\U0001F600', 0xD800,
                          0xDC80, 0xDCFF,    0x110000,      static_cast<wchar_t>(-1),
                          L'\0'};
  std::mt19937 random(11);
  for (int i = 0; i < 5000; ++i) {
    std::string bytes;
    std::wstring text;
    for (std::size_t n = random() % 12; n > 0; --n) {
      bytes += pieces[random() % std::size(pieces)];
      text += std::wstring(random() % 20, L'q') + wide[random() % std::size(wide)];
    }
    ASSERT_EQ(fromUtf8(bytes), plain::fromUtf8(bytes));
    ASSERT_EQ(fromUtf8Escaped(bytes), plain::fromUtf8Escaped(bytes));
    ASSERT_EQ(toUtf8(text), plain::toUtf8(text));
    ASSERT_EQ(toUtf8Escaped(text), plain::toUtf8Escaped(text));
  }
}

TEST(Utf8FastPaths, AByteOutsideAsciiIsFoundAtAnyPlaceOfABlock) {
  // Every length around the block sizes, with one lead byte, continuation byte or malformed
  // byte at every place (or none), so that each block and each overlapping last one is hit.
  for (const char high : {'\xC3', '\xA9', '\xFF'}) {
    for (std::size_t size = 0; size <= 40; ++size) {
      for (std::size_t at = 0; at <= size; ++at) {
        std::string bytes(size, 'a');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('!' + i * 7 % 90);
        if (at < size) bytes[at] = high;
        ASSERT_EQ(asciiPrefixLength(bytes), at) << size;
        ASSERT_EQ(fromUtf8Escaped(bytes), plain::fromUtf8Escaped(bytes)) << size << " " << at;
        ASSERT_EQ(fromUtf8(bytes), plain::fromUtf8(bytes)) << size << " " << at;
      }
    }
  }
}

}  // namespace
}  // namespace platform
