// From a page's bytes to the texts of its feed: character sets, captured HTML, dates.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/src/utf8.h"
#include "plugin/src/feedDate.h"
#include "plugin/src/htmlEntityTable.h"
#include "plugin/src/htmlText.h"
#include "plugin/src/pageText.h"
#include "plugin/src/rssWriter.h"
#include "plugin/src/scraper.h"

namespace {

TEST(PageTextTest, CharacterSetFromMarkThenDeclarationElseUtf8OrWindows1252) {
  struct Case {
    const char* name;
    std::string bytes;
    std::wstring text;
  };
  const std::string meta = "<meta charset=\"iso-8859-1\">";
  const std::string httpEquiv =
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">";
  // clang-format off
  const Case cases[] = {
      {"utf8Mark", "\xEF\xBB\xBF" "caf\xC3\xA9", L"caf\u00e9"},
      {"utf16Mark", std::string("\xFF\xFE" "c\0\xE9\0", 6), L"c\u00e9"},
      // A surrogate without its other half is one code unit, the rest still in step.
      {"utf16LoneHigh", std::string("\xFF\xFE" "a\0\x00\xD8" "b\0c\0", 10), L"a\ufffdbc"},
      {"utf16LoneLow", std::string("\xFE\xFF" "\0a\xDC\x00\0b", 8), L"a\ufffdb"},
      {"utf16PairThenOddByte", std::string("\xFF\xFE" "\x3D\xD8\x00\xDE" "x", 7),
       L"\U0001F600\ufffd"},
      {"markBeatsMeta", "\xEF\xBB\xBF" + meta + "\xC3\xA9", L"\u00e9"},
      {"metaLatin1IsWindows1252", meta + "\xE9\x80", L"\u00e9\u20ac"},
      {"httpEquiv", httpEquiv + "\x93\xFA", L"\u65e5"},
      {"utf8WithStrayBytes", "\xC3\xA9 \xE9 \x9C \x81", L"\u00e9 \u00e9 \u0153 \ufffd"},
      {"strayByteAfterAscii", "0123456789\x9C", L"0123456789\u0153"},
  };
  // clang-format on
  for (const Case& c : cases) {
    const plugin::PageText page = plugin::decodePage(c.bytes);
    const std::wstring text = platform::fromUtf8(page.text);
    EXPECT_EQ(text.substr(text.size() - c.text.size()), c.text) << c.name;
    EXPECT_EQ(platform::toUtf8(text), page.text) << c.name << ": valid UTF-8";
    EXPECT_FALSE(page.unknownCharset) << c.name;
  }
  const plugin::PageText unknown = plugin::decodePage("<meta charset=klingon>\xC3\xA9");
  EXPECT_EQ(unknown.unknownCharset, L"klingon");
  EXPECT_TRUE(unknown.text.ends_with("\xC3\xA9"));
}

TEST(PageTextTest, TitlesAreTextWithoutTags) {
  EXPECT_EQ(plugin::plainText(L" <b>Snow</b>&amp;ice<br>at 5 &lt; 6 <!-- <i>x</i> -->now&hellip; "),
            L"Snow&ice at 5 < 6 now\u2026");
  EXPECT_EQ(plugin::plainText(L"a < b and c<d"), L"a < b and c<d");
}

// The items of `page` by a shorthand, or else by an item pattern.
std::vector<plugin::FeedItem> itemsOf(const std::wstring& page, const wchar_t* shorthand,
                                      const wchar_t* pattern = L"") {
  plugin::ChannelParameters parameters;
  parameters.m_shorthand = shorthand;
  parameters.m_itemPattern[0] = pattern;
  parameters.m_maxItems = L"1000000";
  return plugin::Scraper(parameters).scrape(platform::toUtf8(page), 0).feed.items;
}

// The HTML parser of the shorthand and the pattern captures read every reference alike, in
// a text and in a link, where a name without ';' before '=' or a letter stays as it is.
TEST(PageTextTest, CapturesReadCharacterReferencesAsTheHtmlParserDoes) {
  std::vector<std::wstring> references;
  for (const plugin::HtmlEntity& entity : plugin::htmlEntities()) {
    const std::wstring name = platform::fromUtf8(entity.name);
    references.push_back(L"&" + name + L";");
    if (entity.legacy) references.push_back(L"&" + name);
  }
  ASSERT_EQ(references.size(), 2231u);
  // Numbers with the repairs HTML makes, and what is no reference.
  const std::pair<const wchar_t*, const wchar_t*> numbers[] = {
      {L"&#150;", L"\u2013"},
      {L"&#x80;", L"\u20ac"},
      {L"&#X9f", L"\u0178"},
      {L"&#x81;", L"\u0081"},
      {L"&#0;", L"\ufffd"},
      {L"&#xD800;", L"\ufffd"},
      {L"&#x110000;", L"\ufffd"},
      {L"&#99999999999;", L"\ufffd"},
      {L"&#x1F600;", L"\U0001F600"},
      {L"&#65", L"A"},
      {L"&#;", L"&#;"},
      {L"&#x;", L"&#x;"},
      {L"&notit;", L"\u00acit;"},
      {L"&nosuch;", L"&nosuch;"},
      {L"&", L"&"},
  };
  for (const auto& [reference, text] : numbers) references.push_back(reference);

  std::wstring page;
  for (const std::wstring& reference : references) {
    page += L"<li><a href=\"?a" + reference + L"=1&b" + reference + L"\">x" + reference +
            L" y</a></li>\n";
  }
  const auto captured = itemsOf(page, L"", L"<li><a href=\"{%link}\">{%title}</a>");
  const auto parsed = itemsOf(page, L"li");
  ASSERT_EQ(captured.size(), references.size());
  ASSERT_EQ(parsed.size(), references.size());
  for (std::size_t i = 0; i < references.size(); ++i) {
    const std::string reference = platform::toUtf8(references[i]);
    EXPECT_EQ(captured[i].title, parsed[i].title) << reference;
    EXPECT_EQ(captured[i].link, parsed[i].link) << reference;
  }
  for (std::size_t i = 0; i < std::size(numbers); ++i) {
    const plugin::FeedItem& item = captured[references.size() - std::size(numbers) + i];
    EXPECT_EQ(item.title, L"x" + std::wstring(numbers[i].second) + L" y") << i;
  }
  EXPECT_EQ(captured[0].title, L"x\u00c6 y");  // &AElig;
}

TEST(FeedDateTest, CommonFormsBecomeRfc822) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"Tue, 08 Dec 2026 14:30:00 +0100", L"Tue, 08 Dec 2026 14:30:00 +0100"},
      {L"Mon, 8 Dec 2026 14:30 GMT", L"Tue, 08 Dec 2026 14:30:00 +0000"},
      {L"08 Dec 99 14:30:00 EST", L"Wed, 08 Dec 1999 14:30:00 -0500"},
      {L"2026-12-08T14:30:05.123-05:30", L"Tue, 08 Dec 2026 14:30:05 -0530"},
      {L"2026-12-08", L"Tue, 08 Dec 2026 00:00:00 +0000"},
      {L"2026-12-08 14:30", L"Tue, 08 Dec 2026 14:30:00 +0000"},
      {L"December 8, 2026", L"Tue, 08 Dec 2026 00:00:00 +0000"},
      {L"Sept. 1, 2026 at 2:05 PM", L"Tue, 01 Sep 2026 14:05:00 +0000"},
      {L"8 December 2026", L"Tue, 08 Dec 2026 00:00:00 +0000"},
      {L"29 Feb 2024", L"Thu, 29 Feb 2024 00:00:00 +0000"},
  };
  for (const auto& [text, rfc822] : cases) EXPECT_EQ(plugin::rfc822FromText(text), rfc822) << text;
  for (const wchar_t* text : {L"29 Feb 2026", L"2026-13-01", L"8 Dec", L"yesterday",
                              L"2026-12-08 25:00", L"December 8, 2026 nonsense"}) {
    EXPECT_EQ(plugin::rfc822FromText(text), std::nullopt) << text;
  }
  EXPECT_EQ(plugin::rfc822FromUnixTime(1796688000), L"Tue, 08 Dec 2026 00:00:00 +0000");
  EXPECT_EQ(plugin::rfc822FromUnixTime(-1), L"Wed, 31 Dec 1969 23:59:59 +0000");
  // Years of other than four digits, as printf's %04d writes them.
  EXPECT_EQ(plugin::rfc822FromUnixTime(253402300800), L"Sat, 01 Jan 10000 00:00:00 +0000");
  EXPECT_EQ(plugin::rfc822FromUnixTime(-62167219201), L"Fri, 31 Dec -001 23:59:59 +0000");
}

// Text long enough to be escaped in several blocks, with every kind of character falling
// on each side of a block's end.
TEST(RssWriterTest, EveryTextIsEscapedAndCharactersXmlCannotCarryAreLeftOut) {
  const std::wstring unit = L"a&<>\"\x01\t\u00e9\U0001F600\xFFFE\x7F";
  const std::string written = "a&amp;&lt;&gt;&quot;\t\xC3\xA9\xF0\x9F\x98\x80\x7F";
  plugin::Feed feed;
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    feed.title += unit;
    expected += written;
  }
  feed.title += static_cast<wchar_t>(-1);
  feed.title += static_cast<wchar_t>(0xD800);
  std::ostringstream out;
  plugin::RssWriter writer(out, feed);
  writer.finish();
  const std::string rss = out.str();
  EXPECT_NE(rss.find("\n    <title>" + expected + "</title>\n"), std::string::npos);
}

// Items go out in parts as they come; the parts make the one document, in order.
TEST(RssWriterTest, ItemsGoOutInPartsThatMakeTheDocument) {
  plugin::Feed channel;
  channel.title = L"Parts";
  std::ostringstream out;
  plugin::RssWriter writer(out, channel);
  const std::size_t itemBytes = plugin::RssWriter::kPartBytes / 3;
  std::string items;
  for (wchar_t name = L'a'; name <= L'h'; ++name) {
    plugin::FeedItem item;
    item.title = std::wstring(1, name);
    item.description = std::wstring(itemBytes, name);
    writer.item(item);
    items += "    <item>\n      <title>" + std::string(1, static_cast<char>(name)) +
             "</title>\n      <description>" + std::string(itemBytes, static_cast<char>(name)) +
             "</description>\n    </item>\n";
  }
  const std::string beforeFinish = out.str();
  writer.finish();
  const std::string rss = out.str();
  EXPECT_GE(beforeFinish.size(), 2 * plugin::RssWriter::kPartBytes);
  EXPECT_TRUE(rss.starts_with(beforeFinish));
  const std::size_t first = rss.find("    <item>");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(rss.substr(first), items + "  </channel>\n</rss>\n");
}

// A warning's text, whatever it holds, makes one comment line that ends where it should.
TEST(RssWriterTest, WarningsStayCommentsWhateverTheyHold) {
  const struct {
    const wchar_t* warning;
    const char* line;
  } cases[] = {
      {L"a--b", "a- -b"},
      {L"-----", "- - - - - "},
      {L"ends-", "ends- "},
      {L"two\nlines\r\n", "two lines  "},
      {L"<&>\x01\uFFFE\u00e9-->", "<&>\xc3\xa9- ->"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    plugin::RssWriter writer(out, plugin::Feed{}, {c.warning, L"next"});
    writer.finish();
    EXPECT_NE(out.str().find(std::string("  <channel>\n    <!-- warning: ") + c.line +
                             " -->\n    <!-- warning: next -->\n    <title>"),
              std::string::npos)
        << out.str();
  }
}

}  // namespace
