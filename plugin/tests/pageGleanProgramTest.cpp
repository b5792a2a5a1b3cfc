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
#include <optional>
#include <sstream>
#include <vector>

#include "config/src/iniFileStore.h"
#include "net/src/networkSettings.h"
#include "platform/src/utf8.h"
#include "plugin/src/urlPageSource.h"
#include "testSupport/src/httpTestServer.h"
#include "testSupport/src/scopedVariable.h"
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
  // `options` go before the settings file's name.
  Outcome run(std::map<std::wstring, std::wstring> settings, const std::string& page,
              std::vector<std::string> options = {}) {
    scratch_.write("page.html", page);
    const std::wstring pagePath = scratch_.wfile("page.html");
    config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
    settings.try_emplace(L"URL", L"$PAGE");
    for (auto& [key, value] : settings) {
      if (value == L"$PAGE") value = pagePath;
      store.setString(L"ChannelParameters", key, value);
    }
    store.saveFile(scratch_.wfile("settings.ini"), true);
    options.push_back(scratch_.file("settings.ini"));
    return runWith(options);
  }

  Outcome runWith(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::wostringstream err;
    plugin::UrlPageSource pages;
    const int code = plugin::PageGleanProgram(pages).run(arguments, out, err, 1796688000);
    return {code, out.str(), err.str()};
  }

  // Exit 0 still gives a feed, which carries `warnings`; exit 1 gives none.
  void expectRun(const char* name, const std::map<std::wstring, std::wstring>& settings,
                 const std::string& page, int code, const std::wstring& err,
                 const std::vector<std::string>& warnings = {}) {
    const Outcome result = run(settings, page);
    EXPECT_EQ(result.code, code) << name;
    EXPECT_EQ(result.err, err) << name;
    if (code == 0) {
      EXPECT_EQ(warningsOf(result.out), warnings) << name << "\n" << result.out;
    } else {
      EXPECT_EQ(result.out, "") << name;
    }
  }

  // The texts of the warning comments, which stand each on its line right after <channel>;
  // a comment anywhere else fails the test.
  static std::vector<std::string> warningsOf(const std::string& feed) {
    static const std::string kChannel = "  <channel>\n",
                             kOpen = "    <!-- warning: ", kClose = " -->\n";
    std::size_t at = feed.find(kChannel);
    if (at == std::string::npos) return {"(no channel)"};
    std::vector<std::string> texts;
    at += kChannel.size();
    while (feed.compare(at, kOpen.size(), kOpen) == 0) {
      const std::size_t end = feed.find('\n', at);
      const std::string line = feed.substr(at, end + 1 - at);
      if (!line.ends_with(kClose)) return {"(unclosed) " + line};
      texts.push_back(line.substr(kOpen.size(), line.size() - kOpen.size() - kClose.size()));
      at = end + 1;
    }
    if (feed.find("<!--", at) != std::string::npos) texts.push_back("(a comment further on)");
    return texts;
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
      {"sectionEndsInItsHole",
       {{L"SectionPattern", L"<ul class=\"news\">{%}"}, {L"ItemPattern-1", L"<li>{%title}</li>"}},
       L"The section pattern captured nothing: no text follows its {%}, and a capture at the "
       L"end of a pattern takes none. End it with the text that closes the section, as in "
       L"<ul>{%}</ul>.\n"},
      {"sectionIsAHole",
       {{L"SectionPattern", L"{%}"}, {L"ItemPattern-1", L"<li>{%title}</li>"}},
       L"The section pattern captured nothing: no text follows its {%}, and a capture at the "
       L"end of a pattern takes none. End it with the text that closes the section, as in "
       L"<ul>{%}</ul>.\n"},
      {"sectionTextsTouch",
       {{L"SectionPattern", L"<a href='/news/1'>{%}Snow"}, {L"ItemPattern-1", L"<li>{%title}</li>"}},
       L"The section pattern captured nothing: in the page, the text after its {%} comes right "
       L"after the text before it:\n"
       L"    <li><a href='/news/1'>Snow</a></li>\n"
       L"                          ^\n"},
      {"shorthandInside", {{L"Shorthand", L"ul.news li b"}},
       L"The shorthand matched nothing. It matched up to `ul.news li`, but no element inside "
       L"it matches `b`:\n"
       L"    <li><a href='/news/1'>Snow</a></li>\n"
       L"    ^\n"},
      {"shorthandNothing", {{L"Shorthand", L"table#links a"}},
       L"The shorthand matched nothing: no element of the page matches `table#links`.\n"},
  };
  // clang-format on
  // With no item found, the diagnostics end with a shorthand that would find some.
  const std::wstring suggestion =
      L"The Shorthand `ul.news li a` finds 2 items here, the first: Snow\n";
  for (const auto& c : cases) expectRun(c.name, c.settings, kList, 0, c.err + suggestion);
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
    std::vector<std::string> warnings;
  } cases[] = {
      {"selector", {{L"Shorthand", x3000 + L" >"}}, 1,
       L"The shorthand `" + cut + L"` is not a selector: `>` at character 3002 can't be read.\n",
       {}},
      {"selectorStep", {{L"Shorthand", x3000}}, 0,
       L"The shorthand matched nothing: no element of the page matches `" + cut + L"`.\n",
       {}},
      {"capture", {{L"ItemPattern-1", L"<li>{%" + x3000.substr(0, 1000) + L"}"}}, 1,
       L"Item pattern 1 holds the unknown capture {%" + cut.substr(2) + L"; the captures are "
       L"{%title}, {%link}, {%description}, {%date}, {%author}, {%image} and {%}.\n",
       {}},
      {"date", {{L"ItemPattern-1", L"<li><b>{%title}</b><i>{%date}</i></li>"}}, 0, L"",
       {"The {%date} capture of item 1 holds 3000 characters, more than the 200 expected of "
        "it: the text after it in the pattern may occur much later in the page than meant. A "
        "SectionPattern around the items, or a literal closer to the capture, keeps it short.",
        "The date `" + platform::toUtf8(cut) + "` of item 1 is in no known format; the item "
        "has no pubDate."}},
  };
  // clang-format on
  for (const auto& c : cases) expectRun(c.name, c.settings, page, c.code, c.err, c.warnings);
}

// Warnings about a feed that has items travel in it, so that whoever shows standard error
// first still shows the feed; with no item, every diagnostic is on standard error.
TEST_F(PageGleanProgramTest, WarningsTravelInTheFeedThatHasItems) {
  const std::string notes =
      "<meta charset=\"x-unheard-of\">\n"
      "<li><a href='/n/1'>Snow</a> <i>--soon-</i></li>\n"
      "<li><a href='/n/2'>Rain</a> <i>8 Dec 2026</i> <b>" +
      std::string(1200, 'x') +
      "</b></li>\n"
      "<li><a href='/n/3'>Hail</a> <i>tomorrow</i><p>" +
      std::string(99990, 'y') + "</p></li>\n";
  const std::wstring items = L"<li><a href='{%link}'>{%title}</a>{*}<i>{%date}</i>";
  const std::string charset =
      "The page names the character set x-unheard-of, which is not known here; it is read as "
      "UTF-8.";
  const auto tooLong = [](const char* capture, const char* characters, const char* most) {
    return std::string("The ") + capture + " capture of item 1 holds " + characters +
           " characters, more than the " + most +
           " expected of it: the text after it in the pattern may occur much later in the page "
           "than meant. A SectionPattern around the items, or a literal closer to the capture, "
           "keeps it short.";
  };
  // clang-format off
  const struct {
    const char* name;
    std::map<std::wstring, std::wstring> settings;
    std::wstring err;
    std::vector<std::string> warnings;
  } cases[] = {
      {"dates", {{L"ItemPattern-1", items}}, L"",
       {charset,
        "The date `- -soon-` of item 1 is in no known format; the item has no pubDate.",
        "The date `tomorrow` of item 3 is in no known format; the item has no pubDate."}},
      // The title runs on to the second item's <b>.
      {"longTitle", {{L"ItemPattern-1", L"<li><a href='{%link}'>{%title}</b>"}}, L"",
       {charset, tooLong("{%title}", "1278", "1000")}},
      // A description may be long: 99,990 characters are not worth a warning.
      {"longDescription", {{L"ItemPattern-1", L"<p>{%}</p>"}}, L"", {charset}},
      {"tooLongDescription", {{L"ItemPattern-1", L"</b>{%}</p>"}}, L"",
       {charset, tooLong("{%description}", "100042", "100000")}},
      {"otherPatternMissed",
       {{L"ItemPattern-1", L"<li><a href='{%link}'>"}, {L"ItemPattern-2", L"<li>{*}[{%title}]"}},
       L"",
       {charset,
        "Item pattern 2 matched nothing. It matched up to `<li>{*}`, but `[` does not occur "
        "after that place:   <li><a href='/n/1'>Snow</a> <i>- -soon-</i></       ^"}},
      {"noItem", {{L"ItemPattern-1", L"<li>{*}[{%title}]"}},
       platform::fromUtf8(charset) + L"\n"
       L"Item pattern 1 matched nothing. It matched up to `<li>{*}`, but `[` does not occur "
       L"after that place:\n"
       L"  <li><a href='/n/1'>Snow</a> <i>--soon-</i></\n"
       L"      ^\n"
       L"The Shorthand `body li a` finds 3 items here, the first: Snow\n",
       {}},
  };
  // clang-format on
  for (const auto& c : cases) expectRun(c.name, c.settings, notes, 0, c.err, c.warnings);
}

// A feed reader finds every element RSS 2.0 requires filled, and an author where the
// format wants one: <author> for an e-mail address, <dc:creator> for a name.
TEST_F(PageGleanProgramTest, RequiredElementsAreNeverEmpty) {
  const std::string page =
      "<html><head><TITLE lang=en>Harbour &amp; <b>quay</b>\n news</TITLE></head>\n"
      "<li><i>Mara Quist</i><p>Lanterns</p></li>\n"
      "<li><i>mara@quay.example.test (Mara)</i><p>Lights</p></li>\n";
  const std::wstring items = L"<li><i>{%author}</i><p>{%}</p></li>";
  // clang-format off
  const struct {
    const char* name;
    std::map<std::wstring, std::wstring> settings;
    std::string page;
    const char* title;
    const char* description;
  } cases[] = {
      {"pageTitle", {{L"ItemPattern-1", items}}, page, "Harbour &amp; quay news",
       "Harbour &amp; quay news"},
      {"ownTitle", {{L"Title", L"Quay"}, {L"ItemPattern-1", items}}, page, "Quay", "Quay"},
      {"ownBoth", {{L"Title", L"Quay"}, {L"Description", L"Lights"}, {L"ItemPattern-1", items}},
       page, "Quay", "Lights"},
      // Without a <title> either, the channel is named by its link.
      {"noTitle", {{L"ItemPattern-1", items}}, page.substr(page.find("<li>")), "$LINK", "$LINK"},
  };
  // clang-format on
  for (const auto& c : cases) {
    const Outcome result = run(c.settings, c.page);
    ASSERT_EQ(result.code, 0) << c.name << platform::toUtf8(result.err);
    const auto text = [&result](const std::string& name) {
      const std::size_t begin = result.out.find("<" + name + ">");
      if (begin == std::string::npos) return std::string("(none)");
      const std::size_t end = result.out.find("</" + name + ">", begin);
      return result.out.substr(begin + name.size() + 2, end - begin - name.size() - 2);
    };
    const std::string link = text("link");
    EXPECT_EQ(text("title"), c.title == std::string("$LINK") ? link : c.title) << c.name;
    EXPECT_EQ(text("description"), c.description == std::string("$LINK") ? link : c.description)
        << c.name;
    EXPECT_TRUE(result.out.find("<rss version=\"2.0\" "
                                "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n") <
                result.out.find("<channel>"))
        << c.name << result.out;
    // Items with a description but no title leave <title> out; the first has a name for
    // an author, the second an address.
    const std::size_t first = result.out.find("<item>");
    const std::size_t second = result.out.find("<item>", first + 1);
    ASSERT_NE(second, std::string::npos) << result.out;
    const std::string one = result.out.substr(first, second - first);
    const std::string two = result.out.substr(second);
    EXPECT_NE(one.find("<dc:creator>Mara Quist</dc:creator>"), std::string::npos) << one;
    EXPECT_EQ(one.find("<author>"), std::string::npos) << one;
    EXPECT_NE(two.find("<author>mara@quay.example.test (Mara)</author>"), std::string::npos) << two;
    EXPECT_EQ(two.find("<dc:creator>"), std::string::npos) << two;
    EXPECT_EQ(result.out.find("<title>", first), std::string::npos) << result.out;
  }
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
            L"Usage: PageGlean \"<settings file>\", or PageGlean --suggest \"<settings file>\" "
            L"for shorthands that fit the page (PageGlean --help explains the patterns).\n");
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

// --suggest prints shorthands for the page the settings name, and says so when there is none.
TEST_F(PageGleanProgramTest, SuggestionsForThePage) {
  const Outcome found = run({}, kList, {"--suggest"});
  EXPECT_EQ(found.code, 0);
  EXPECT_EQ(found.err, L"");
  EXPECT_EQ(found.out, "1. ul.news li a   (2 items)\n     Snow\n     Rain\n");
  const Outcome none = run({}, "<p>Nothing to link to.</p>", {"--suggest"});
  EXPECT_EQ(none.code, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err,
            L"No run of similar elements with links was found in the page; there is no "
            L"shorthand to suggest.\n");
  const Outcome unread = run({{L"URL", scratch_.wfile("gone.html")}}, "", {"--suggest"});
  EXPECT_EQ(unread.code, 1);
  EXPECT_EQ(unread.out, "");
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

TEST_F(PageGleanProgramTest, ADownloadHasATimeLimitThatTheEnvironmentMayChange) {
  testSupport::HttpTestServer server;
  server.route("/news.html", testSupport::HttpReply::status(200, "OK", {}, kList));
  server.route("/silent.html", testSupport::HttpReply().stall());
  const std::wstring site = platform::fromUtf8(server.url("/"));
  const std::pair<std::optional<std::string>, std::uint32_t> limits[] = {
      {std::nullopt, 300}, {"7", 7}, {"0", 0}, {"5 minutes", 300}, {"", 300}};
  for (const auto& [value, seconds] : limits) {
    const testSupport::ScopedVariable limit("PAGEGLEAN_DOWNLOAD_TIME_LIMIT", value);
    net::networkSettings().timeLimit = 12345;
    const Outcome page = run({{L"URL", site + L"news.html"}, {L"Shorthand", L"li a"}}, "");
    EXPECT_EQ(page.code, 0) << platform::toUtf8(page.err);
    EXPECT_EQ(net::networkSettings().timeLimit, seconds) << value.value_or("unset");
  }

  const testSupport::ScopedVariable limit("PAGEGLEAN_DOWNLOAD_TIME_LIMIT", "1");
  const auto start = std::chrono::steady_clock::now();
  expectRun("silent", {{L"URL", site + L"silent.html"}, {L"Shorthand", L"li a"}}, "", 1,
            L"Can't read the page " + site +
                L"silent.html: The download did not end within its time limit of 1 s.\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  net::networkSettings() = {};
}

std::string utf16le(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The character set is the byte-order mark's, else that of the Content-Type the page came
// with (from the server, or as Preview hands it on with its copy of the page), else the
// page's <meta>, else UTF-8. Preview's copy also names the URL it came from, which links
// resolve against and the channel links to.
TEST_F(PageGleanProgramTest, TheContentTypesCharsetComesAfterTheMarkAndBeforeTheMeta) {
  const std::string item = "<li><a href=\"news/1\">";
  const std::string latin2 = item +
                             "\xA3\xF3"
                             "d\xBC</a></li>";
  const std::string koi8 = item + "\xF0\xD2\xC9\xD7\xC5\xD4</a></li>";
  const char lodz[] =
      "\xC5\x81\xC3\xB3"
      "d\xC5\xBA";
  const char privet[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  // clang-format off
  const struct {
    const char* name;
    const char* contentType;
    std::string page;
    const char* title;
  } cases[] = {
      {"latin2", "text/html; charset=iso-8859-2", latin2, lodz},
      {"quotedAnyCase", "Text/HTML; Charset=\"KOI8-R\"", koi8, privet},
      {"beatsMeta", "text/html;charset=koi8-r", "<meta charset=iso-8859-2>" + koi8, privet},
      {"markBeatsIt", "text/html; charset=koi8-r", "\xEF\xBB\xBF" + item + lodz + "</a></li>", lodz},
      {"noCharset", "text/html", "<meta charset=iso-8859-2>" + latin2, lodz},
      {"utf16", "text/html; charset=utf-16le",
       utf16le(u"<li><a href=\"news/1\">\u0141\u00f3d\u017a</a></li>"), lodz},
  };
  // clang-format on
  testSupport::HttpTestServer server;
  for (const auto& c : cases) {
    const std::string path = std::string("/site/") + c.name + ".html";
    server.route(path, testSupport::HttpReply::status(
                           200, "OK", {std::string("Content-Type: ") + c.contentType}, c.page));
    const std::wstring url = platform::fromUtf8(server.url(path));
    const Outcome served = run({{L"URL", url}, {L"Shorthand", L"li"}}, "");
    const Outcome copied = run({{L"Shorthand", L"li"},
                                {L"PageUrl", url},
                                {L"PageContentType", platform::fromUtf8(c.contentType)}},
                               c.page);
    for (const Outcome* outcome : {&served, &copied}) {
      EXPECT_EQ(outcome->code, 0) << c.name << platform::toUtf8(outcome->err);
      EXPECT_NE(outcome->out.find(std::string("<title>") + c.title + "</title>"), std::string::npos)
          << c.name << outcome->out;
      const std::string channelLink = "<link>" + server.url(path) + "</link>";
      EXPECT_EQ(outcome->out.find("<link>"), outcome->out.find(channelLink)) << c.name;
      EXPECT_NE(outcome->out.find("<link>" + server.url("/site/news/1") + "</link>"),
                std::string::npos)
          << c.name << outcome->out;
    }
  }
}

}  // namespace
