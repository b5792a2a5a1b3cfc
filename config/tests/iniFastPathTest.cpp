// The reader's block-at-a-time input and the writer's byte-level key check.

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <string>

#include "config/src/iniFileStore.h"
#include "config/src/iniSyntax.h"
#include "platform/src/utf8.h"

namespace config {
namespace {

std::wstring loadedDump(const std::string& text) {
  const wchar_t* blocks[] = {L"blk", nullptr};
  IniFileStore store(blocks, IniFileStore::useDefaultFlags);
  std::istringstream in(text);
  store.loadFrom(in);
  std::wostringstream out;
  store.dump(out, kDumpBrackets, L"");
  return out.str();
}

TEST(IniReadingInBlocks, AnyByteMayFallOnTheEdgeOfABlock) {
  // Every kind of line end, a block section, repeated keys in and out of order, values
  // with and without '%', and a last line longer than a block and without a line end.
  const std::string text =
      "[blk]\rx\r\r\ny\n\r[s]\rk=v\n\rj=w\r\n[Sec]\r\nb=1\r\nA=2\r\nB=3\r\na=4\r\n"
      " c = %41%zz% \r\n[blk]\r[t]\r\n";
  const std::string longLine = "long=" + std::string(70'000, 'v');
  const std::wstring expected = loadedDump(text + longLine);
  ASSERT_NE(expected.find(L"{A} = [4]"), std::wstring::npos) << "first spelling, last value";
  constexpr std::size_t kBlock = 64 * 1024;  // the reader's, and any edge will do
  for (std::size_t at = 0; at <= text.size(); ++at) {
    const std::string comment = "#" + std::string(kBlock - at - 2, '-') + "\n";
    ASSERT_EQ(loadedDump(comment + text + longLine), expected) << "edge at byte " << at;
  }
}

// A line of many blocks, as a value and in a block section, costs what its bytes cost: the
// reader must not search it again as each block arrives. Processor time, so that a busy
// machine does not fail it; a search from its start at each block takes ten times as long.
TEST(IniReadingInBlocks, AVeryLongLineIsReadInLinearTime) {
  constexpr std::size_t kLong = 32 * 1024 * 1024;
  for (const std::string header : {"[s]", "[blk]"}) {
    SCOPED_TRACE(header);
    const wchar_t* blocks[] = {L"blk", nullptr};
    IniFileStore store(blocks, IniFileStore::useDefaultFlags);
    std::string text = "\xEF\xBB\xBF" + header + "\r\nk=" + std::string(kLong, 'v') + "\r\n";
    text += "[t]\r\nafter=1\r";
    std::istringstream in(std::move(text));
    const std::clock_t start = std::clock();
    store.loadFrom(in);
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_LT(seconds, 3.0);
    const std::wstring value = header == "[s]" ? store.getString(L"s", L"k", false, L"")
                                               : store.findSection(L"blk", false)->blockDataRef();
    EXPECT_EQ(value.size(), kLong + (header == "[s]" ? 0 : 3));
    EXPECT_EQ(value.find_first_not_of(L'v', header == "[s]" ? 0 : 2),
              header == "[s]" ? std::wstring::npos : kLong + 2);
    EXPECT_EQ(store.getString(L"t", L"after", false, L""), L"1");
  }
}

TEST(IniKeyCheck, TheByteLevelCheckAgreesWithReadingTheLineBack) {
  const std::wstring keys[] = {
      L"",     L"key", L" key",    L"key ",    L"\tkey",   L"k=v",          L"=",      L"k\r",
      L"k\nj", L";c",  L"#c",      L"'c",      L"//c",     L"/c",           L"/",      L"[s",
      L"s]",   L" [s", L"k\u00e9", L"\u3000k", L"k\u3000", L"\xDCC3\xDCA9", L"\xDCFF", L"\uFEFFk",
      L"a b"};
  const std::uint32_t flagSets[] = {0, IniFileStore::commentSemicolon,
                                    IniFileStore::commentSlashes | IniFileStore::commentHash |
                                        IniFileStore::commentQuote |
                                        IniFileStore::commentSemicolon};
  for (std::uint32_t flags : flagSets) {
    for (const std::wstring& key : keys) {
      EXPECT_EQ(internal::keyBytesReadBack(key, platform::toUtf8Escaped(key), flags),
                internal::keyReadsBack(key, flags))
          << platform::toUtf8Escaped(key) << " flags " << flags;
    }
  }
}

TEST(IniLineSplitting, ALineEndIsFoundAtAnyPlaceOfABlock) {
  // Every length around the scan's block size, with each kind of line end at every place,
  // once as if more bytes could follow and once at the end of the file.
  for (const std::string end : {"\n", "\r", "\r\n", "\n\r"}) {
    for (std::size_t size = 0; size <= 40; ++size) {
      for (std::size_t at = 0; at <= size; ++at) {
        std::string bytes(size, 'k');
        bytes.insert(at, end);
        for (const bool final : {false, true}) {
          std::string_view fast = bytes;
          std::string_view plain = bytes;
          const auto line = internal::takeCompleteLine(fast, final);
          ASSERT_EQ(line, internal::plain::takeCompleteLine(plain, final)) << size << " " << at;
          ASSERT_EQ(fast.data(), plain.data()) << size << " " << at;
          ASSERT_EQ(fast.size(), plain.size()) << size << " " << at;
        }
      }
    }
  }
}

}  // namespace
}  // namespace config
