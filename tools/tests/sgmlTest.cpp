#include "tools/src/sgml.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tools {
namespace {

struct Decoded {
  bool ok;
  wchar_t code;
  std::size_t cursor;
};

// Decodes the reference at the start of `text` (the text after an '&').
Decoded decode(std::wstring_view text) {
  std::size_t cursor = 0;
  wchar_t code = L'?';
  const bool ok = sgmlDecodeReference(text, cursor, code);
  return {ok, code, cursor};
}

TEST(SgmlEncode, EncodesOnlyTheGivenCharacters) {
  EXPECT_EQ(sgmlEncode(L"a<b & c", L"&<"), L"a&lt;b &amp; c");
  EXPECT_EQ(sgmlEncode(L"\u00e9t\u00e9 \u20ac", L"\u00e9\u20ac"), L"&eacute;t&eacute; &#8364;");
  EXPECT_EQ(sgmlEncode(L"a<b", L""), L"a<b");
  EXPECT_EQ(sgmlEncode(L"", L"<"), L"");
}

TEST(SgmlEncode, WithoutASetEncodesEveryCharacter) {
  EXPECT_EQ(sgmlEncode(L"a b"), L"&#97;&nbsp;&#98;");
  EXPECT_EQ(sgmlEncode(L"~^'"), L"&tilde;&circ;&apos;");
  // Beyond the 16-bit range the whole code point is written.
  EXPECT_EQ(sgmlEncode(L"\U0001F600"), L"&#128512;");
}

TEST(SgmlTable, RowsDifferFromHtmlWhereDocumented) {
  EXPECT_EQ(sgmlEntityCount(), 87u);
  EXPECT_EQ(sgmlEntityCode(L"nbsp"), L' ');
  EXPECT_EQ(sgmlEntityCode(L"tilde"), L'~');
  EXPECT_EQ(sgmlEntityCode(L"circ"), L'^');
  EXPECT_EQ(sgmlEntityCode(L"apos"), L'\'');
  EXPECT_EQ(sgmlEntityCode(L"trade"), 0x2122);
  EXPECT_EQ(sgmlEntityCode(L"yacute"), 0xFD);
  EXPECT_EQ(sgmlEntityCode(L"AElig"), 0xC6);
  EXPECT_FALSE(sgmlEntityCode(L"hellip"));
  EXPECT_FALSE(sgmlEntityName(0x00A0));  // no row for the real no-break space
}

TEST(SgmlTable, EveryNamedCharacterRoundTrips) {
  std::set<std::wstring> names;
  for (wchar_t c = 0; c < 0x2200; ++c) {
    const auto name = sgmlEntityName(c);
    if (!name) continue;
    names.insert(*name);
    EXPECT_EQ(sgmlEntityCode(*name), c) << *name;
    const std::wstring encoded = sgmlEncode(std::wstring(1, c));
    const Decoded back = decode(std::wstring_view(encoded).substr(1));
    EXPECT_TRUE(back.ok);
    EXPECT_EQ(back.code, c);
    EXPECT_EQ(back.cursor, encoded.size() - 1);
  }
  EXPECT_EQ(names.size(), 87u);
}

TEST(SgmlDecode, NumericReferences) {
  const Decoded hex = decode(L"#x41;rest");
  EXPECT_TRUE(hex.ok);
  EXPECT_EQ(hex.code, L'A');
  EXPECT_EQ(hex.cursor, 5u);

  const Decoded upperX = decode(L"#X6a");
  EXPECT_TRUE(upperX.ok);
  EXPECT_EQ(upperX.code, 0x6A);

  const Decoded decimal = decode(L"#65 ");
  EXPECT_TRUE(decimal.ok);
  EXPECT_EQ(decimal.code, 65);
  EXPECT_EQ(decimal.cursor, 3u);  // the blank stays

  const Decoded lettersInDecimal = decode(L"#1A;");
  EXPECT_TRUE(lettersInDecimal.ok);
  EXPECT_EQ(lettersInDecimal.code, 20);
}

TEST(SgmlDecode, NumericReferencesKeepTheWholeCodePoint) {
  EXPECT_EQ(decode(L"#x1F600;").code, 0x1F600);
  EXPECT_EQ(decode(L"#128512;").code, 0x1F600);
  EXPECT_EQ(decode(L"#x10FFFF").code, 0x10FFFF);
  EXPECT_TRUE(decode(L"#xFFFF").ok);
  EXPECT_FALSE(decode(L"#x110000;").ok);
  EXPECT_FALSE(decode(L"#99999999999999999999999;").ok);  // no wrap-around into range
  EXPECT_FALSE(decode(L"#xD800;").ok);
  EXPECT_FALSE(decode(L"#57343;").ok);  // U+DFFF
  EXPECT_TRUE(decode(L"#xE000;").ok);
}

TEST(SgmlDecode, FailuresLeaveTheCursorAfterWhatWasRead) {
  const Decoded empty = decode(L"#;");
  EXPECT_FALSE(empty.ok);
  EXPECT_EQ(empty.cursor, 1u);

  const Decoded emptyHex = decode(L"#x;");
  EXPECT_FALSE(emptyHex.ok);
  EXPECT_EQ(emptyHex.cursor, 2u);

  const Decoded unknown = decode(L"hellip;");
  EXPECT_FALSE(unknown.ok);
  EXPECT_EQ(unknown.cursor, 6u);

  EXPECT_FALSE(decode(L"NBSP;").ok);  // names are case-sensitive
  EXPECT_FALSE(decode(L"").ok);
  EXPECT_FALSE(decode(L";").ok);
  EXPECT_FALSE(decode(L"#").ok);
}

TEST(SgmlDecode, NamedReferences) {
  const Decoded nbsp = decode(L"nbsp;x");
  EXPECT_TRUE(nbsp.ok);
  EXPECT_EQ(nbsp.code, L' ');
  EXPECT_EQ(nbsp.cursor, 5u);

  const Decoded noSemicolon = decode(L"amp rest");
  EXPECT_TRUE(noSemicolon.ok);
  EXPECT_EQ(noSemicolon.code, L'&');
  EXPECT_EQ(noSemicolon.cursor, 3u);

  EXPECT_EQ(decode(L"sup2;").code, 0xB2);  // digits belong to the name
  EXPECT_FALSE(decode(L"ampx;").ok);       // the name runs on past "amp"
}

TEST(SgmlDecode, DecodesAtAnOffsetIntoTheText) {
  const std::wstring text = L"a &lt; b";
  std::size_t cursor = 3;
  wchar_t code = 0;
  ASSERT_TRUE(sgmlDecodeReference(text, cursor, code));
  EXPECT_EQ(code, L'<');
  EXPECT_EQ(cursor, 6u);
  cursor = text.size() + 1;
  EXPECT_FALSE(sgmlDecodeReference(text, cursor, code));
}

TEST(SgmlTable, UsableFromManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 500; ++i) {
        if (sgmlEncode(L"<&\u00e9", L"<&\u00e9") != L"&lt;&amp;&eacute;") ++failures[t];
        if (sgmlEntityCode(L"copy") != 0xA9) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace tools
