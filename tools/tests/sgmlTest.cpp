#include "tools/src/sgml.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "lib/misc/src/textConversion.h"

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
  const std::pair<const wchar_t*, wchar_t> rows[] = {
      {L"nbsp", L' '},    {L"tilde", L'~'},  {L"circ", L'^'}, {L"apos", L'\''},
      {L"trade", 0x2122}, {L"yacute", 0xFD}, {L"AElig", 0xC6}};
  for (const auto& [name, code] : rows) EXPECT_EQ(sgmlEntityCode(name), code) << name;
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

TEST(SgmlDecode, ReferencesGiveTheirCodeAndLeaveTheCursorAfterWhatWasRead) {
  constexpr long kAny = -1;
  constexpr std::size_t kAnywhere = std::wstring::npos;
  const struct {
    const wchar_t* text;
    bool ok;
    long code;
    std::size_t cursor;
    const char* why;
  } rows[] = {
      {L"#x41;rest", true, L'A', 5, "hex"},
      {L"#X6a", true, 0x6A, kAnywhere, "upper-case X"},
      {L"#65 ", true, 65, 3, "the blank stays"},
      {L"#1A;", true, 20, kAnywhere, "letters end a decimal"},
      {L"#x1F600;", true, 0x1F600, kAnywhere, "the whole code point"},
      {L"#128512;", true, 0x1F600, kAnywhere, "the whole code point"},
      {L"#x10FFFF", true, 0x10FFFF, kAnywhere, "the last code point"},
      {L"#xFFFF", true, kAny, kAnywhere, ""},
      {L"#x110000;", false, kAny, kAnywhere, "past the last code point"},
      {L"#99999999999999999999999;", false, kAny, kAnywhere, "no wrap-around into range"},
      {L"#xD800;", false, kAny, kAnywhere, "surrogate"},
      {L"#57343;", false, kAny, kAnywhere, "U+DFFF"},
      {L"#xE000;", true, kAny, kAnywhere, ""},
      {L"#;", false, kAny, 1, "no digits"},
      {L"#x;", false, kAny, 2, "no hex digits"},
      {L"hellip;", false, kAny, 6, "unknown name"},
      {L"NBSP;", false, kAny, kAnywhere, "names are case-sensitive"},
      {L"", false, kAny, kAnywhere, ""},
      {L";", false, kAny, kAnywhere, ""},
      {L"#", false, kAny, kAnywhere, ""},
      {L"nbsp;x", true, L' ', 5, ""},
      {L"amp rest", true, L'&', 3, "no semicolon"},
      {L"sup2;", true, 0xB2, kAnywhere, "digits belong to the name"},
      {L"ampx;", false, kAny, kAnywhere, "the name runs on past \"amp\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.why) + " &" + misc::toUtf8(row.text));
    const Decoded got = decode(row.text);
    EXPECT_EQ(got.ok, row.ok);
    if (row.code != kAny) {
      EXPECT_EQ(static_cast<long>(got.code), row.code);
    }
    if (row.cursor != kAnywhere) {
      EXPECT_EQ(got.cursor, row.cursor);
    }
  }
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
