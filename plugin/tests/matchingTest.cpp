// The pattern search: what a literal piece matches, which item comes next, and that the
// work stays linear in the page whatever the pattern.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

#include "platform/src/utf8.h"
#include "plugin/src/htmlDocument.h"
#include "plugin/src/htmlText.h"
#include "plugin/src/itemFinder.h"
#include "plugin/src/literalPiece.h"
#include "plugin/src/pluginError.h"
#include "plugin/src/scraper.h"

namespace {

using plugin::LiteralPiece;

TEST(LiteralPieceTest, WhiteSpaceRunsAndLetterCase) {
  struct Case {
    const wchar_t* piece;
    const wchar_t* text;
    std::optional<std::pair<std::size_t, std::size_t>> found;
  };
  const std::wstring longPiece(70, L'a');
  const std::wstring longText = L"b" + std::wstring(69, L'a') + L"b" + longPiece + L"a";
  const std::wstring veryLongPiece = std::wstring(300, L'a') + L"b";
  const std::wstring veryLongText = std::wstring(299, L'a') + L"b" + veryLongPiece;
  const Case cases[] = {
      {L"a b", L"xab", {{1, 3}}},         // a run in the pattern may match none
      {L"a b", L"x a \n\t b", {{2, 8}}},  // or any run
      {L"ab", L"a b ab", {{4, 6}}},       // but text needs no run where there is none
      {L" <a>", L"  <A>", {{2, 5}}},      // white space at the ends matches nothing
      {L"HREF=", L"href =", std::nullopt},
      {L"Caf\u00c9", L"caf\u00e9", std::nullopt},  // only ASCII letters fold
      {L"aab", L"aaaab", {{2, 5}}},
      {longPiece.c_str(), longText.c_str(), {{71, 141}}},  // beyond one machine word
      {veryLongPiece.c_str(), veryLongText.c_str(), {{300, 601}}},
      {L"zQ", L"0123456789:Z;zq", {{13, 15}}},  // a first letter far on, in either case
      {L"\u00e9t\u00e9", L"0123456789 \u00e9t\u00e9", {{11, 14}}},
      // The page is searched as UTF-8: a character that shares its lead byte is no match.
      {L"x\u00e9", L"x\u00e8 x\u00e9\U0001F600", {{3, 5}}},
      {L"\U0001F600 b", L"\U0001F601\U0001F600\nb", {{1, 4}}},
  };
  for (const Case& c : cases) {
    std::uint64_t work = 0;
    const std::wstring text = c.text;
    const auto found = LiteralPiece(c.piece, 0).find(platform::toUtf8(text), 0, work);
    // Byte offsets, compared as the characters before them.
    const auto characters = [&](std::size_t bytes) {
      return platform::fromUtf8(platform::toUtf8(text).substr(0, bytes)).size();
    };
    EXPECT_EQ(found ? std::optional(std::pair(characters(found->start), characters(found->end)))
                    : std::nullopt,
              c.found)
        << "row " << &c - cases;
  }
}

plugin::ChannelParameters withPatterns(std::wstring p1, std::wstring p2 = {},
                                       std::wstring p3 = {}) {
  plugin::ChannelParameters parameters;
  parameters.m_itemPattern = {std::move(p1), std::move(p2), std::move(p3)};
  parameters.m_maxItems = L"1000000";
  return parameters;
}

// Earliest start wins; on equal starts the lower number; the search goes on after the
// item, so an item of one pattern can hide a match of another that overlaps it.
TEST(ItemFinderTest, EarliestMatchThenLowerNumber) {
  const std::wstring page = L"<i>1</i> <b>2</b> <i><b>3</b></i> <b>4</b>";
  plugin::Scraper scraper(withPatterns(L"<b>{%title}</b>", L"<i>{%title}</i>", L"<i><b>{%}</b>"));
  const auto result = scraper.scrape(platform::toUtf8(page), 0);
  std::wstring titles;
  for (const auto& item : result.feed.items) titles += item.title + L"|" + item.description + L";";
  EXPECT_EQ(titles, L"1|;2|;3|;4|;");
}

// The page is searched in UTF-8, but a diagnostic speaks of characters: the one the page
// has where two share their first byte, and the caret's column.
TEST(ItemFinderTest, DiagnosticsQuoteWholeCharactersOfAUtf8Page) {
  const std::string page = platform::toUtf8(L"<p>\u0141\u00f3d\u017a</p><li><b>\u00e9</b></li>");
  plugin::ChannelParameters pattern = withPatterns(L"<li><b>\u00e8");
  plugin::ChannelParameters shorthand = withPatterns(L"");
  shorthand.m_shorthand = L"li i";
  const std::wstring line = L"\n  <p>\u0141\u00f3d\u017a</p><li><b>\u00e9</b></li>\n  ";
  const std::pair<plugin::ChannelParameters, std::wstring> cases[] = {
      {pattern,
       L"Item pattern 1 matched nothing. At the best place in the page it matched up to "
       L"`<li><b>` and then expected `\u00e8` where the page has `\u00e9`:" +
           line + std::wstring(18, L' ') + L"^"},
      {shorthand,
       L"The shorthand matched nothing. It matched up to `li`, but no element inside it matches "
       L"`i`:" +
           line + std::wstring(11, L' ') + L"^"},
  };
  for (const auto& [parameters, expected] : cases) {
    const auto failures = plugin::Scraper(parameters).scrape(page, 0).failures;
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], expected);
  }
}

struct Pathology {
  const char* name;
  const wchar_t* pattern;
  std::wstring (*page)(std::size_t size);
};

std::wstring repeated(const std::wstring& unit, std::size_t size) {
  std::wstring page;
  while (page.size() < size) page += unit;
  return page;
}

const Pathology kPathologies[] = {
    // Every start matches all but the last character: the naive search is quadratic.
    {"nearMisses", L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
     [](std::size_t n) { return std::wstring(n, L'a'); }},
    // Skips that each could take any amount: exponential with backtracking.
    {"skips", L"a{*}a{*}a{*}a{*}a{*}a{*}a{*}a{*}b",
     [](std::size_t n) { return std::wstring(n, L'a'); }},
    // Blank runs that may match white space or none, on a page of white space.
    {"blankRuns", L"a b c d e f g h",
     [](std::size_t n) { return repeated(L"a b c d e f g     \n", n); }},
    // Many items, and three patterns that overlap each other's matches.
    {"overlaps", L"<li>{%title}</li>",
     [](std::size_t n) { return repeated(L"<li><a>x</a></li><a>y</li>", n); }},
};

std::uint64_t workFor(const Pathology& p, std::size_t size) {
  plugin::Scraper scraper(withPatterns(p.pattern, L"<a>{%title}</a>", L"</a>{%}</li>"));
  scraper.scrape(platform::toUtf8(p.page(size)), 0);
  return scraper.work();
}

TEST(WorkBoundTest, PathologicalPatternsStayLinear) {
  constexpr std::size_t kSize = 400000;
  for (const Pathology& p : kPathologies) {
    const std::uint64_t once = workFor(p, kSize);
    const std::uint64_t twice = workFor(p, 2 * kSize);
    // A few passes over the page, and twice the page costs twice the work.
    EXPECT_LE(once, 8 * kSize) << p.name;
    EXPECT_LE(twice, 2 * once + 2 * kSize / 100) << p.name;
    EXPECT_GE(twice, 2 * once - 2 * kSize / 100) << p.name;
  }
}

TEST(WorkBoundTest, ASearchPastItsBoundStopsWithAReason) {
  plugin::Scraper scraper(withPatterns(L"<li>{%title}</li>", L"<li>{%title}</ul>"));
  scraper.setWorkBound(1, 100);
  const std::string page = platform::toUtf8(repeated(L"<li>x</li>", 1000));
  try {
    scraper.scrape(page, 0);
    FAIL() << "no error";
  } catch (const plugin::PluginError& e) {
    EXPECT_EQ(e.wideMessage(),
              L"Item pattern 1 needs more work than this page allows (over 1101 steps for "
              L"1000 characters); the search was stopped.");
  }
}

// The fastest of three runs of `f`, in seconds.
template <typename F>
double fastest(F f) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    f();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// Markup that never closes is text, found in one pass: it costs about what text of that
// length without any markup costs, not a search to the end after each '<'.
TEST(QuadraticCornerTest, UnclosedMarkupIsStrippedInLinearTime) {
  constexpr std::size_t kSize = 200000;
  const std::wstring plain = repeated(L"ab", kSize);
  for (const wchar_t* unit : {L"<a", L"</b x", L"<?x"}) {
    const double baseline = fastest([&] { plugin::plainText(plain); });
    const std::wstring unclosed = repeated(unit, kSize);
    ASSERT_TRUE(plugin::plainText(unclosed) == plugin::collapseSpace(unclosed))
        << platform::toUtf8(unit);
    const double took = fastest([&] { plugin::plainText(unclosed); });
    EXPECT_LT(took, 4 * baseline + 0.01) << platform::toUtf8(unit);
  }
}

// A pattern holds at most what the dialog lets one hold, so a literal piece costs a few
// machine words per page character at most.
TEST(QuadraticCornerTest, APatternLongerThanTheDialogAllowsIsRefused) {
  const std::wstring longest = L"<b>{%title}" + std::wstring(1024 - 15, L'x') + L"</b>";
  ASSERT_EQ(longest.size(), 1024u);
  EXPECT_NO_THROW(plugin::Scraper(withPatterns(L"", longest)));
  plugin::ChannelParameters sectioned = withPatterns(L"<b>{%title}</b>");
  sectioned.m_sectionPattern = L"<ul>{%}" + std::wstring(2000, L'x');
  const struct {
    plugin::ChannelParameters parameters;
    std::wstring message;
  } cases[] = {
      {withPatterns(L"", longest + L"x"),
       L"Item pattern 2 holds 1025 characters; a pattern holds at most 1024."},
      {sectioned, L"The section pattern holds 2007 characters; a pattern holds at most 1024."},
  };
  for (const auto& c : cases) {
    try {
      plugin::Scraper scraper(c.parameters);
      ADD_FAILURE() << "no error: " << platform::toUtf8(c.message);
    } catch (const plugin::PluginError& e) {
      EXPECT_EQ(e.wideMessage(), c.message);
    }
  }
}

// Links a feed reader could run are dropped with a warning, however the page spells their
// scheme; web, FTP and mail links are kept and relative ones resolved.
TEST(LinkSchemeTest, OnlyWebFtpMailAndRelativeLinksAreKept) {
  const struct {
    const wchar_t* href;
    const wchar_t* link;  // null: dropped
  } cases[] = {
      {L"http://a.test/x", L"http://a.test/x"},
      {L"HTTPS://a.test/", L"HTTPS://a.test/"},
      {L"ftp://a.test/f.txt", L"ftp://a.test/f.txt"},
      {L"mailto:news@a.test", L"mailto:news@a.test"},
      {L"/news/1", L"http://base.test/news/1"},
      {L"news?id=2", L"http://base.test/dir/news?id=2"},
      {L"javascript:alert(1)", nullptr},
      {L"JaVaScRiPt:alert(1)", nullptr},
      {L"&#106;avascript:alert(1)", nullptr},
      {L"java&#x09;script:alert(1)", nullptr},
      {L"java\nscript:alert(1)", nullptr},
      {L"&#1;javascript:alert(1)", nullptr},
      {L"data:text/html,<b>x</b>", nullptr},
      {L"vbscript:msgbox(1)", nullptr},
      {L"file:///etc/passwd", nullptr},
  };
  for (const auto& c : cases) {
    plugin::ChannelParameters parameters =
        withPatterns(L"<li><a href=\"{%link}\">{%title}</a><img src=\"{%image}\"></li>");
    parameters.m_baseUrl = L"http://base.test/dir/";
    plugin::ChannelParameters shorthand = parameters;
    shorthand.m_itemPattern = {};
    shorthand.m_shorthand = L"li a";
    const std::wstring href = c.href;
    const std::wstring page =
        L"<li><a href=\"" + href + L"\">T</a><img src=\"" + href + L"\"></li>";
    for (const plugin::ChannelParameters& each : {parameters, shorthand}) {
      const plugin::ScrapeResult result = plugin::Scraper(each).scrape(platform::toUtf8(page), 0);
      const std::string row =
          platform::toUtf8(href) + (each.m_shorthand.empty() ? "" : " (shorthand)");
      ASSERT_EQ(result.feed.items.size(), 1u) << row;
      const plugin::FeedItem& item = result.feed.items[0];
      EXPECT_EQ(item.link, c.link ? c.link : L"") << row;
      const bool pattern = each.m_shorthand.empty();
      if (pattern) {
        EXPECT_EQ(item.image, item.link) << row;
      }
      const std::size_t warnings = c.link ? 0 : pattern ? 2 : 1;
      ASSERT_EQ(result.warnings.size(), warnings) << row;
      for (const std::wstring& warning : result.warnings) {
        EXPECT_TRUE(warning.starts_with(L"Item 1: `")) << row;
        EXPECT_TRUE(warning.ends_with(
            L"` is dropped; a link may use only http, https, ftp or mailto, or be relative."))
            << row;
      }
    }
  }
}

// The shorthand parses no page that nests elements deeper than it can afford, and every
// page whose tags only look deep: elements left open that the next one closes, void and
// self-closed ones, tags inside scripts, comments and attribute values.
TEST(ElementDepthTest, TheShorthandRefusesOnlyPagesThatNestTooDeep) {
  constexpr std::size_t kUnits = 20000;
  const struct {
    const char* head;
    const char* unit;
    std::size_t units;
    bool refused;
  } cases[] = {
      {"", "<div>", 2000, true},
      {"", "<div>", 100000, true},
      {"", "<b>", kUnits, true},
      {"", "<div/>", kUnits, true},
      {"", "<DIV class='a>b'>", kUnits, true},
      {"", "<a><b>", kUnits, true},
      {"", "<option><optgroup>", kUnits, true},
      {"<noscript>", "<div>", kUnits, true},
      {"<svg>", "<div/>", kUnits, true},
      {"", "<svg><title>", kUnits, true},
      {"", "<div>", 500, false},
      {"", "<p>x", kUnits, false},
      {"", "<p><font>x", kUnits, false},
      {"<ul>", "<li>x", kUnits, false},
      {"<ul>", "<li><a href=/n>x", kUnits, false},
      {"", "<a name=n>x<b>y</b>", kUnits, false},
      {"<dl>", "<dt>x<dd>y", kUnits, false},
      {"<table>", "<tr><td>x<th>y", kUnits, false},
      {"<select>", "<option>x", kUnits, false},
      {"", "<h2>x<h3>y", kUnits, false},
      {"", "x<br><img src=a.png><hr>", kUnits, false},
      {"<svg>", "<path d='M0'/>", kUnits, false},
      {"", "<script>if (a<b) x('<div>');</script>", kUnits, false},
      {"", "<!-- <div> --><?x <div> ?>", kUnits, false},
      {"", "<div title='<div>'></div>", kUnits, false},
  };
  for (const auto& c : cases) {
    std::string page = c.head;
    for (std::size_t i = 0; i < c.units; ++i) page += c.unit;
    plugin::ChannelParameters parameters = withPatterns(L"");
    parameters.m_shorthand = L"p";
    const std::string row = std::string(c.head) + c.unit;
    try {
      plugin::Scraper(parameters).scrape(page, 0);
      EXPECT_FALSE(c.refused) << row;
    } catch (const plugin::PluginError& e) {
      EXPECT_TRUE(c.refused) << row;
      EXPECT_EQ(e.wideMessage(),
                L"The page nests elements more than 512 deep, deeper than the shorthand reads; "
                L"item patterns can read it.");
    }
    if (HasFailure()) return;  // a page that is not refused may take the parser minutes
  }
}

// The depth of the parser's tree.
std::size_t treeDepth(const GumboNode* root) {
  std::size_t deepest = 0;
  std::vector<std::pair<const GumboNode*, std::size_t>> stack{{root, 1}};
  while (!stack.empty()) {
    const auto [node, depth] = stack.back();
    stack.pop_back();
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
    deepest = std::max(deepest, depth);
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
      stack.emplace_back(static_cast<const GumboNode*>(children.data[i]), depth + 1);
    }
  }
  return deepest;
}

// Whatever page the bound lets through, the parser's tree is not much deeper than it.
TEST(ElementDepthTest, APageLetThroughIsNoDeeperForTheParser) {
  const char* const units[] = {
      "<a><div>",
      "<a><b>",
      "<b><a>x",
      "<table><td>",
      "<li><ul>",
      "<dd><dl>",
      "<option><optgroup>",
      "<svg><title>",
      "<svg><font color=red/>",
      "<math><p>",
      "<noscript><div>",
      "<template>",
      "<frameset>",
      "<object>",
      "<ruby><rt>",
      "<em><p>",
      "<font><table>",
      "<b><table><td>",
      "<select><div>",
      "<p><button>",
      "<nobr><div>",
      "<h1><b>",
      "<span/>",
      "<a><span>x",
  };
  for (const char* unit : units) {
    std::string page;
    for (int i = 0; i < 2000; ++i) page += unit;
    try {
      const plugin::HtmlDocument document(page);
      EXPECT_LE(treeDepth(document.root()), 2 * 512 + 8) << unit;
    } catch (const plugin::PluginError&) {
    }
  }
}

}  // namespace
