// What the viewer makes of the files it is given: a feed, the plug-in's diagnostics, and
// files of every broken kind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testSupport/src/scratchDir.h"
#include "viewer/src/viewerInput.h"

namespace {

using viewer::ViewerInput;
using Kind = ViewerInput::Kind;

const char kFeed[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/">
  <channel>
    <!-- warning: The date `soon` of item 2 is in no known format; the item has no pubDate. -->
    <!-- warning: A link was dropped. -->
    <!-- written by hand -->
    <title>Harbour &amp; Town</title>
    <link>https://news.example.test/</link>
    <description>What happens</description>
    <generator>PageGlean</generator>
    <item>
      <title>Snow closes the road</title>
      <link>https://news.example.test/snow</link>
      <description>The road is shut until &lt;b&gt;Friday&lt;/b&gt;.</description>
      <author>Ann</author>
      <enclosure url="https://news.example.test/snow.png" length="0" type="image/png"/>
      <category><sub>nested</sub></category>
      <pubDate>Tue, 08 Dec 2026 20:28:17 +0000</pubDate>
    </item>
    <item>
      <title>Ferry</title>
      <dc:creator>Bo</dc:creator>
    </item>
  </channel>
</rss>
)";

TEST(ViewerInputTest, ReadsTheChannelItsItemsAndItsWarnings) {
  testSupport::ScratchDir dir;
  dir.write("feed.xml", kFeed);
  const ViewerInput input = viewer::readViewerInput(QString::fromStdString(dir.file("feed.xml")));

  ASSERT_EQ(input.kind, Kind::Feed) << input.problem.toStdString();
  EXPECT_EQ(input.text, QString::fromUtf8(kFeed));
  EXPECT_EQ(input.feed.title, "Harbour & Town");
  EXPECT_EQ(input.feed.link, "https://news.example.test/");
  EXPECT_EQ(input.feed.description, "What happens");
  EXPECT_EQ(input.feed.warnings,
            QStringList({"The date `soon` of item 2 is in no known format; the item has no "
                         "pubDate.",
                         "A link was dropped."}));
  ASSERT_EQ(input.feed.items.size(), 2u);
  const viewer::FeedItem& snow = input.feed.items[0];
  EXPECT_EQ(snow.title, "Snow closes the road");
  EXPECT_EQ(snow.link, "https://news.example.test/snow");
  EXPECT_EQ(snow.description, "The road is shut until <b>Friday</b>.");
  EXPECT_EQ(snow.author, "Ann");
  EXPECT_EQ(snow.image, "https://news.example.test/snow.png");
  EXPECT_EQ(snow.date, "Tue, 08 Dec 2026 20:28:17 +0000");
  const viewer::FeedItem& ferry = input.feed.items[1];
  EXPECT_EQ(ferry.title, "Ferry");
  EXPECT_EQ(ferry.author, "Bo");
  EXPECT_TRUE(ferry.link.isEmpty() && ferry.date.isEmpty() && ferry.image.isEmpty());
}

struct InputCase {
  const char* name;
  std::string bytes;
  Kind kind;
  const char* problem;  // %1 stands for the file's path; empty: no problem
};

void PrintTo(const InputCase& c, std::ostream* out) {
  *out << c.name;
}

class InputKindTest : public testing::TestWithParam<InputCase> {};

TEST_P(InputKindTest, SaysWhatTheFileHolds) {
  const InputCase& c = GetParam();
  testSupport::ScratchDir dir;
  dir.write("file", c.bytes);
  const QString path = QString::fromStdString(dir.file("file"));
  const ViewerInput input = viewer::readViewerInput(path);

  EXPECT_EQ(input.kind, c.kind);
  EXPECT_TRUE(QString::fromUtf8(c.problem).arg(path) == input.problem ||
              (*c.problem && input.problem.startsWith(QString::fromUtf8(c.problem).arg(path))))
      << input.problem.toStdString();
  if (c.kind == Kind::Text) {
    // The text without its byte-order mark.
    QString text = QString::fromUtf8(c.bytes);
    if (text.startsWith(QChar::ByteOrderMark)) text.remove(0, 1);
    EXPECT_EQ(input.text, text);
  }
}

const std::string kDiagnostic =
    "Item pattern 1 matched nothing. At the best place in the page it matched up to `<li>`:\n"
    "  <li><span>\n"
    "      ^\n";

// clang-format off
const InputCase kInputs[] = {
    {"Diagnostic", kDiagnostic, Kind::Text, ""},
    {"TextWithByteOrderMark", "\xEF\xBB\xBFplain", Kind::Text, ""},
    {"FeedWithByteOrderMark", "\xEF\xBB\xBF<rss><channel/></rss>", Kind::Feed, ""},
    {"Empty", "", Kind::Broken, "The file %1 is empty."},
    {"OnlyBlanks", " \n", Kind::Text, ""},
    {"Latin1", "line one\ncaf\xE9\n", Kind::Broken,
     "The file %1 is not UTF-8 text: line 2 holds bytes that are no UTF-8 character."},
    {"Binary", std::string("GIF89a\n\n\0\1", 10), Kind::Broken,
     "The file %1 holds a NUL byte on line 3: it is neither a feed nor text."},
    {"CutShort", "<rss>\n<channel>\n<item><title>a</title>\n", Kind::Broken,
     "The file %1 is not a well-formed feed: line 4, column 1: "},
    {"NotXml", "<rss><channel><title>a & b</title></channel></rss>", Kind::Broken,
     "The file %1 is not a well-formed feed: line 1, column "},
    {"Html", "<!DOCTYPE html>\n<html><body>hi</body></html>", Kind::Broken,
     "The file %1 is not a feed: its outermost element is <html>, not <rss>."},
    {"NoChannel", "<rss version=\"2.0\"><item/></rss>", Kind::Broken,
     "The file %1 is not a feed: its <rss> element holds no <channel>."},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Files, InputKindTest, testing::ValuesIn(kInputs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ViewerInputTest, RefusesFilesItCannotOrWillNotRead) {
  testSupport::ScratchDir dir;
  const std::string huge = dir.file("huge.xml");
  dir.write("huge.xml", "<rss>");
  std::filesystem::resize_file(huge, 100LL << 20);
  const QString hugePath = QString::fromStdString(huge);
  EXPECT_EQ(viewer::readViewerInput(hugePath).problem,
            QString("The file %1 holds 100.0 MB; the viewer shows files of up to 64.0 MB.")
                .arg(hugePath));

  const QString missing = QString::fromStdString(dir.file("missing.xml"));
  const ViewerInput none = viewer::readViewerInput(missing);
  EXPECT_EQ(none.kind, Kind::Broken);
  EXPECT_TRUE(none.problem.startsWith(QString("Can't read the file %1: ").arg(missing)))
      << none.problem.toStdString();

  // A pipe has no size to check first: its read stops at the limit.
  const ViewerInput fromPipe = viewer::readViewerInput("/dev/zero", 1024);
  EXPECT_EQ(fromPipe.kind, Kind::Broken);
  EXPECT_TRUE(fromPipe.problem.startsWith("The file /dev/zero holds "))
      << fromPipe.problem.toStdString();
}

}  // namespace
