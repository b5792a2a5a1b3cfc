// Runs of the plug-in through its program object, settings written as the dialog writes
// them: each diagnostic and each one-line error word for word, with the exit code.

#include "plugin/src/pageGleanProgram.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <map>
#include <sstream>

#include "config/src/iniFileStore.h"
#include "platform/src/utf8.h"
#include "plugin/src/urlPageSource.h"
#include "testSupport/src/httpTestServer.h"
#include "testSupport/src/scratchDir.h"

namespace {

struct Outcome {
  int code;
  std::string out;
  std::wstring err;
};

class PageGleanProgramTest : public ::testing::Test {
 protected:
  // `settings` are keys of ChannelParameters; "$PAGE" in a value is the page's path.
  Outcome run(std::map<std::wstring, std::wstring> settings, const std::string& page) {
    scratch_.write("page.html", page);
    const std::wstring pagePath = scratch_.wfile("page.html");
    config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
    settings.try_emplace(L"URL", L"$PAGE");
    for (auto& [key, value] : settings) {
      if (value == L"$PAGE") value = pagePath;
      store.setString(L"ChannelParameters", key, value);
    }
    store.saveFile(scratch_.wfile("settings.ini"), true);
    return runWith({scratch_.file("settings.ini")});
  }

  Outcome runWith(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::wostringstream err;
    plugin::UrlPageSource pages;
    const int code = plugin::PageGleanProgram(pages).run(arguments, out, err, 1796688000);
    return {code, out.str(), err.str()};
  }

  // Exit 0 still gives a feed; exit 1 gives none.
  void expectRun(const char* name, const std::map<std::wstring, std::wstring>& settings,
                 const std::string& page, int code, const std::wstring& err) {
    const Outcome result = run(settings, page);
    EXPECT_EQ(result.code, code) << name;
    EXPECT_EQ(result.err, err) << name;
    if (code == 0) {
      EXPECT_NE(result.out.find("<channel>"), std::string::npos) << name;
    } else {
      EXPECT_EQ(result.out, "") << name;
    }
  }

  testSupport::ScratchDir scratch_{"pageGlean"};
};

const char kList[] =
    "<ul class=\"news\">\n"
    "  <li><a href='/news/1'>Snow</a></li>\n"
    "  <li><a href='/news/2'>Rain</a></li>\n"
    "</ul>\n";

struct DiagnosticCase {
  const char* name;
  std::map<std::wstring, std::wstring> settings;
  const wchar_t* err;
};

// A pattern that matches nothing still gives a feed: exit 0, the reason on standard error.
TEST_F(PageGleanProgramTest, APatternThatMatchesNothingSaysWhereItStopped) {
  // clang-format off
  const DiagnosticCase cases[] = {
      {"quote", {{L"ItemPattern-1", L"<li><a href=\"{%link}\">{%title}</a>"}},
       L"Item pattern 1 matched nothing. At the best place in the page it matched up to "
       L"`<li><a href=` and then expected `\"` where the page has `'`:\n"
       L"    <li><a href='/news/1'>Snow</a></li>\n"
       L"                ^\n"},
      {"pageEnds", {{L"ItemPattern-2", L"<li>{%title}</li>  </ul> <p>"}},
       L"Item pattern 2 matched nothing. At the best place in the page it matched up to "
       L"`<li>{%title}</li>  </ul>` and then expected `<` where the page ends.\n"},
      {"laterPiece", {{L"ItemPattern-1", L"<li>{*}[{%title}]"}},
       L"Item pattern 1 matched nothing. It matched up to `<li>{*}`, but `[` does not occur "
       L"after that place:\n"
       L"    <li><a href='/news/1'>Snow</a></li>\n"
       L"        ^\n"},
      {"firstCharacter", {{L"ItemPattern-3", L"[{%title}]"}},
       L"Item pattern 3 matched nothing: `[` does not occur in the page.\n"},
      {"section",
       {{L"SectionPattern", L"<ul class=\"list\">{%}</ul>"},
        {L"ItemPattern-1", L"<li>{%title}</li>"}},
       L"The section pattern matched nothing. At the best place in the page it matched up to "
       L"`<ul class=\"` and then expected `l` where the page has `n`:\n"
       L"  <ul class=\"news\">\n"
       L"             ^\n"},
      {"shorthandInside", {{L"Shorthand", L"ul.news li b"}},
       L"The shorthand matched nothing. It matched up to `ul.news li`, but no element inside "
       L"it matches `b`:\n"
       L"    <li><a href='/news/1'>Snow</a></li>\n"
       L"    ^\n"},
      {"shorthandNothing", {{L"Shorthand", L"table#links a"}},
       L"The shorthand matched nothing: no element of the page matches `table#links`.\n"},
  };
  // clang-format on
  for (const auto& c : cases) expectRun(c.name, c.settings, kList, 0, c.err);
}

// Settings that cannot work, and pages that cannot be had: one line, no feed, exit 1.
TEST_F(PageGleanProgramTest, WhatCannotWorkIsOneLineAndNoFeed) {
  // clang-format off
  const DiagnosticCase cases[] = {
      {"nothingToFind", {{L"Title", L"News"}},
       L"There is nothing to find items with: neither an item pattern nor a shorthand is "
       L"given.\n"},
      {"maxItemsZero", {{L"MaxItems", L"0"}, {L"Shorthand", L"li"}},
       L"MaxItems must be a positive whole number, not \"0\".\n"},
      {"maxItemsText", {{L"MaxItems", L"x7"}, {L"Shorthand", L"li"}},
       L"MaxItems must be a positive whole number, not \"x7\".\n"},
      {"maxItemsBeyondAnInt", {{L"MaxItems", L"2147483648"}, {L"Shorthand", L"li"}},
       L"MaxItems must be a positive whole number, not \"2147483648\".\n"},
      {"unknownCapture", {{L"ItemPattern-2", L"<li>{%titel}</li>"}},
       L"Item pattern 2 holds the unknown capture {%titel}; the captures are {%title}, "
       L"{%link}, {%description}, {%date}, {%author}, {%image} and {%}.\n"},
      {"unclosedCapture", {{L"ItemPattern-1", L"<li>{%title"}},
       L"Item pattern 1 holds the unknown capture {%title; the captures are {%title}, "
       L"{%link}, {%description}, {%date}, {%author}, {%image} and {%}.\n"},
      {"onlyCaptures", {{L"ItemPattern-1", L"{%title} {*} {%link}"}},
       L"Item pattern 1 holds no text to look for besides its captures and skips.\n"},
      {"sectionWithoutHole", {{L"SectionPattern", L"<ul>{%title}</ul>"}, {L"Shorthand", L"li"}},
       L"The section pattern must hold {%} exactly once.\n"},
      {"notASelector", {{L"Shorthand", L"ul > li"}},
       L"The shorthand `ul > li` is not a selector: `>` at character 4 can't be read.\n"},
      {"noUrl", {{L"URL", L""}, {L"Shorthand", L"li"}},
       L"The settings name no page: the key URL of section ChannelParameters is empty.\n"},
      {"missingPage", {{L"URL", L"/nonexistent/page.html"}, {L"Shorthand", L"li"}},
       L"Can't read the page /nonexistent/page.html: No such file or directory\n"},
      {"otherHost", {{L"URL", L"file://elsewhere/page.html"}, {L"Shorthand", L"li"}},
       L"The file: URL file://elsewhere/page.html names the host elsewhere; only files of "
       L"this computer can be read.\n"},
      {"device", {{L"URL", L"/dev/null"}, {L"Shorthand", L"li"}},
       L"Can't read the page /dev/null: Not a regular file (a pipe, a device or a socket)\n"},
      {"ftp", {{L"URL", L"ftp://news.example.test/page.html"}, {L"Shorthand", L"li"}},
       L"PageGlean can't read the URL ftp://news.example.test/page.html: use a local path, a "
       L"file: URL or an http or https URL.\n"},
  };
  // clang-format on
  for (const auto& c : cases) expectRun(c.name, c.settings, kList, 1, c.err);
}

// A text of the settings or the page that a message quotes is cut to its first hundred
// characters, so that however long it is the message is still there.
TEST_F(PageGleanProgramTest, LongQuotedTextsAreCut) {
  const std::wstring x3000(3000, L'x');
  const std::wstring cut = std::wstring(100, L'x') + L"...";
  const std::string page = "<li><b>T</b><i>" + std::string(3000, 'x') + "</i></li>";
  // clang-format off
  const struct {
    const char* name;
    std::map<std::wstring, std::wstring> settings;
    int code;
    std::wstring err;
  } cases[] = {
      {"selector", {{L"Shorthand", x3000 + L" >"}}, 1,
       L"The shorthand `" + cut + L"` is not a selector: `>` at character 3002 can't be read.\n"},
      {"selectorStep", {{L"Shorthand", x3000}}, 0,
       L"The shorthand matched nothing: no element of the page matches `" + cut + L"`.\n"},
      {"capture", {{L"ItemPattern-1", L"<li>{%" + x3000.substr(0, 1000) + L"}"}}, 1,
       L"Item pattern 1 holds the unknown capture {%" + cut.substr(2) + L"; the captures are "
       L"{%title}, {%link}, {%description}, {%date}, {%author}, {%image} and {%}.\n"},
      {"date", {{L"ItemPattern-1", L"<li><b>{%title}</b><i>{%date}</i></li>"}}, 0,
       L"The date `" + cut + L"` of item 1 is in no known format; the item has no pubDate.\n"},
  };
  // clang-format on
  for (const auto& c : cases) expectRun(c.name, c.settings, page, c.code, c.err);
}

// A hand-written MaxItems is read as the dialog reads it before saving: the number it
// starts with, 15 when empty.
TEST_F(PageGleanProgramTest, MaxItemsIsReadByTheDialogsRule) {
  std::string page;
  for (int i = 0; i < 10; ++i) page += kList;  // twenty items
  const struct {
    const wchar_t* maxItems;
    std::ptrdiff_t items;
  } cases[] = {{L"3x", 3}, {L"+1 item", 1}, {L"", 15}, {L"2147483647", 20}};
  for (const auto& c : cases) {
    const Outcome result = run({{L"MaxItems", c.maxItems}, {L"Shorthand", L"li a"}}, page);
    EXPECT_EQ(result.code, 0) << platform::toUtf8(result.err);
    std::ptrdiff_t items = 0;
    for (std::size_t at = 0; (at = result.out.find("<item>", at)) != std::string::npos; ++at) {
      ++items;
    }
    EXPECT_EQ(items, c.items) << platform::toUtf8(c.maxItems);
  }
}

TEST_F(PageGleanProgramTest, CommandLineAndSettingsFile) {
  const Outcome usage = runWith({});
  EXPECT_EQ(usage.code, 1);
  EXPECT_EQ(usage.err,
            L"Usage: PageGlean \"<settings file>\" (PageGlean --help explains the "
            L"patterns).\n");
  const Outcome missing = runWith({scratch_.file("none.ini")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, L"Can't read the settings file " + scratch_.wfile("none.ini") +
                             L": No such file or directory\n");

  const Outcome help = runWith({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.err, L"");
  // A screenful that names every capture.
  EXPECT_LE(std::count(help.out.begin(), help.out.end(), '\n'), 30);
  for (const char* capture : {"{*}", "{%title}", "{%link}", "{%description}", "{%date}",
                              "{%author}", "{%image}", "{%}"}) {
    EXPECT_NE(help.out.find(capture), std::string::npos) << capture;
  }
}

// A settings file that is not a regular file is refused before it is opened, so a pipe
// without a writer cannot keep the plug-in waiting and a device is not read on and on. A
// run that does wait is released by writers after the bound, so that it fails instead of
// hanging.
TEST_F(PageGleanProgramTest, SettingsThatAreNotAFileAreRefusedUnread) {
  const std::string fifo = scratch_.file("settings.pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    std::future<Outcome> outcome =
        std::async(std::launch::async, [this, &path] { return runWith({path}); });
    bool inTime = outcome.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    while (outcome.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
      inTime = false;
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
    }
    const Outcome result = outcome.get();
    EXPECT_TRUE(inTime) << path;
    EXPECT_EQ(result.code, 1) << path;
    EXPECT_EQ(result.err, L"Can't read the settings file " + platform::fromUtf8(path) +
                              L": Not a regular file (a pipe, a device or a socket)\n");
  }
}

// A file: URL reads the same page as its path, escapes decoded, and the feed links to it.
TEST_F(PageGleanProgramTest, FileUrlsNameLocalPages) {
  scratch_.write("a page.html", kList);
  const std::wstring url = L"file://" + scratch_.wfile("a%20page.html");
  const Outcome result = run({{L"URL", url}, {L"Shorthand", L"li a"}}, "");
  EXPECT_EQ(result.code, 0) << platform::toUtf8(result.err);
  EXPECT_NE(result.out.find("<title>Snow</title>"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("<link>" + platform::toUtf8(url) + "</link>"), std::string::npos);
}

// An http URL has its date placeholders expanded and is downloaded; a page the server does
// not have is one line with the network library's reason.
TEST_F(PageGleanProgramTest, WebPagesAreDownloadedAfterTheirDatesAreExpanded) {
  testSupport::HttpTestServer server;
  server.route("/news/today.html", testSupport::HttpReply::status(200, "OK", {}, kList));
  const std::wstring site = platform::fromUtf8(server.url("/news/"));

  const Outcome page =
      run({{L"URL", site + L"{%q% default=today}.html"}, {L"Shorthand", L"li a"}}, "");
  EXPECT_EQ(page.code, 0) << platform::toUtf8(page.err);
  EXPECT_NE(page.out.find("<link>" + server.url("/news/1") + "</link>"), std::string::npos)
      << page.out;
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(server.requests()[0].starts_with("GET /news/today.html HTTP/1.0\r\n"));

  expectRun("missing", {{L"URL", site + L"gone.html"}, {L"Shorthand", L"li a"}}, "", 1,
            L"Can't read the page " + site + L"gone.html: Download failed: 404 Not Found\n");
}

}  // namespace
