// Suggested shorthands: on pages of different shapes, each with menus that hold more
// links than the content, the first suggestion finds the items a reader would pick.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/src/utf8.h"
#include "plugin/src/selectorSuggester.h"

namespace {

using plugin::SelectorSuggester;

std::wstring examplePage(const std::string& name) {
  std::ifstream in(std::string(PG_EXAMPLES_SOURCE) + "/" + name + "/page.html");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return platform::fromUtf8(bytes.str());
}

std::wstring repeated(const std::wstring& pattern, int times) {
  std::wstring out;
  for (int i = 1; i <= times; ++i) {
    std::wstring one = pattern;
    for (std::size_t at; (at = one.find(L'@')) != std::wstring::npos;) {
      one.replace(at, 1, std::to_wstring(i));
    }
    out += one;
  }
  return out;
}

const std::wstring kMenus = L"<header><nav class=\"top\"><ul>" +
                            repeated(L"<li><a href=\"/section/@\">Section @</a></li>", 9) +
                            L"</ul></nav></header>";
const std::wstring kFooter =
    L"<footer><p>" + repeated(L"<a href=\"/legal/@\">Legal page @</a> ", 6) + L"</p></footer>";

std::wstring page(const std::wstring& content) {
  return L"<!DOCTYPE html><html><head><title>t</title></head><body>" + kMenus + content +
         L"<div id=\"side-menu\"><ul>" +
         repeated(L"<li><a href=\"/popular/@\">A popular story of last week, number @</a></li>",
                  8) +
         L"</ul></div>" + kFooter + L"</body></html>";
}

TEST(SelectorSuggesterTest, TheBestSuggestionFindsTheItemsAReaderWouldPick) {
  struct Case {
    const char* shape;
    std::wstring page;
    std::size_t count;
    std::vector<std::wstring> titles;
  };
  const Case cases[] = {
      {"example: a list in a section",
       examplePage("harbourNews"),
       4,
       {L"Storm damages the old breakwater", L"Lifeboat crew wins the regional trophy",
        L"Fish market moves to Saturdays"}},
      {"example: articles with asides between",
       examplePage("quaysideJournal"),
       2,
       {L"Lanterns on the quay", L"Mending nets"}},
      {"example: a table with a heading row",
       examplePage("tideLinks"),
       4,
       {L"Tide tables 2026", L"Coastal weather", L"Harbour charts"}},
      {"a table of downloads",
       page(L"<div id=\"downloads\"><table><tr><th>File</th><th>Size</th></tr>" +
            repeated(L"<tr><td><a href=\"f@.iso\">release-@.iso</a></td><td>6@ MB</td></tr>", 5) +
            L"</table></div>"),
       5,
       {L"release-1.iso", L"release-2.iso", L"release-3.iso"}},
      // With a second link in each row only the rows themselves are one item each.
      {"a table of downloads with signatures",
       page(L"<table class=\"files\">" +
            repeated(L"<tr>\n<td><a href=\"f@.iso\">release-@.iso</a></td>\n<td>6@ MB</td>\n"
                     L"<td><a href=\"f@.sig\">sig</a></td>\n</tr>",
                     5) +
            L"</table>"),
       5,
       {L"release-1.iso 61 MB sig", L"release-2.iso 62 MB sig", L"release-3.iso 63 MB sig"}},
      {"a definition list",
       page(L"<main><dl class=\"glossary\">" +
            repeated(L"<dt><a href=\"/g/@\">Term @</a></dt><dd>What term @ means at sea, "
                     L"in a sentence or two.</dd>",
                     6) +
            L"</dl></main>"),
       6,
       {L"Term 1", L"Term 2", L"Term 3"}},
      {"a grid of cards with image links and read-more links",
       page(L"<div class=\"grid\">" +
            repeated(L"<div class=\"card c@\"><a href=\"/p/@\"><img src=\"@.jpg\"></a>"
                     L"<h3><a href=\"/p/@\">Card story @</a></h3><p>A summary of story @, "
                     L"long enough to read like one.</p><a class=\"more\" href=\"/p/@\">Read "
                     L"more</a></div>",
                     4) +
            L"</div>"),
       4,
       {L"Card story 1", L"Card story 2", L"Card story 3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    const auto suggestions = SelectorSuggester::suggest(platform::toUtf8(c.page));
    ASSERT_FALSE(suggestions.empty());
    ASSERT_LE(suggestions.size(), 5u);
    SCOPED_TRACE(platform::toUtf8(suggestions.front().selector));
    EXPECT_EQ(suggestions.front().itemCount, c.count);
    const std::vector<std::wstring> first(
        c.titles.begin(), c.titles.begin() + static_cast<long>(std::min<std::size_t>(3, c.count)));
    EXPECT_EQ(suggestions.front().firstTitles, first);
  }
}

TEST(SelectorSuggesterTest, PagesWithoutRepeatedLinksGetNone) {
  const std::wstring deep(20000, L'<');
  std::wstring nested;
  for (int i = 0; i < 20000; ++i) nested += L"<div>";
  const std::wstring pages[] = {
      L"",
      L"<p>No links at all</p>",
      L"<ul><li><a href=\"#top\">Top</a></li><li><a href=\"javascript:go()\">Go</a></li></ul>",
      L"<ul><li><a href=\"/one\"></a></li><li><a href=\"/two\"><img src=x></a></li></ul>",
      nested + L"<a href=\"/x\">only one link</a>",
      deep,
  };
  for (const std::wstring& text : pages) {
    EXPECT_TRUE(SelectorSuggester::suggest(platform::toUtf8(text)).empty())
        << platform::toUtf8(text.substr(0, 80));
  }
}

}  // namespace
