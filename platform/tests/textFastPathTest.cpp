// The inline and run-at-a-time text paths against their plain forms.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/src/cLocale.h"
#include "platform/src/plainText.h"

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
  const wchar_t alphabet[] = {L'a', L'A', L'z', L'_', L'[', L'\u00e9', L'\u00c9', L'\u00df',
                              L'\u0131', static_cast<wchar_t>(-1)};
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

}  // namespace
}  // namespace platform
