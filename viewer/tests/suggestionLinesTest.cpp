// The suggestion lines the viewer finds in a diagnostic, written as the plug-in writes them.

#include <gtest/gtest.h>

#include "viewer/src/istring.h"
#include "viewer/src/suggestionLines.h"

namespace {

using viewer::internal::message;

// The plug-in's own sentence, so that a change of its wording shows here.
QString suggestion(const char* selector, int count, const char* title) {
  return message(14273,
                 {QString::fromUtf8(selector), QString::number(count), QString::fromUtf8(title)});
}

const QString kMismatch = QStringLiteral(
    "Item pattern 1 matched nothing. At the best place in the page it matched up to `<li><a` "
    "and then expected `c` where the page has `h`:\n"
    "        <li><a href=\"/stories/breakwater\">Storm damages\n"
    "               ^\n");

struct Case {
  const char* name;
  QString diagnostic;
  QStringList selectors;
  QStringList lines;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class SuggestionLinesTest : public testing::TestWithParam<Case> {};

TEST_P(SuggestionLinesTest, FindsTheSuggestedSelectors) {
  const Case& c = GetParam();
  const QList<viewer::SuggestionLine> found = viewer::findSuggestionLines(c.diagnostic);
  QStringList selectors;
  QStringList lines;
  for (const viewer::SuggestionLine& line : found) {
    selectors << line.selector;
    lines << line.text;
  }
  EXPECT_EQ(selectors, c.selectors);
  EXPECT_EQ(lines, c.lines);
}

const QString kStorm = suggestion("ul.stories li a", 4, "Storm damages the old breakwater");
const QString kBackticks = suggestion("div.news h2 a", 12, "Why `ls` lies: a `shell` story");

const Case kCases[] = {
    {"RealDiagnostic", kMismatch + kStorm + u'\n', {"ul.stories li a"}, {kStorm}},
    {"WindowsLineEnds",
     QString(kMismatch + kStorm + u'\n').replace(QStringLiteral("\n"), QStringLiteral("\r\n")),
     {"ul.stories li a"},
     {kStorm}},
    {"LastLineWithoutBreak", kMismatch + kStorm, {"ul.stories li a"}, {kStorm}},
    {"BackticksInTheTitle", kBackticks + u'\n', {"div.news h2 a"}, {kBackticks}},
    {"Several",
     kStorm + u'\n' + kMismatch + kBackticks + u'\n',
     {"ul.stories li a", "div.news h2 a"},
     {kStorm, kBackticks}},
    {"NoSuggestion", kMismatch, {}, {}},
    {"Empty", QString(), {}, {}},
    {"NoCount", QStringLiteral("The Shorthand `a` finds many items here, the first: x\n"), {}, {}},
    {"EmptySelector", suggestion("", 3, "Storm"), {}, {}},
    {"NoClosingBacktick",
     QStringLiteral("The Shorthand `li a finds 4 items here, the first: x"),
     {},
     {}},
    {"NotAtTheLineStart", QStringLiteral("  ") + kStorm, {}, {}},
    {"TheOtherSentencesQuoteToo",
     QStringLiteral("The shorthand `ul li` is not a selector: `` "
                    "at character 3 can't be read.\n"),
     {},
     {}},
};
INSTANTIATE_TEST_SUITE_P(Diagnostics, SuggestionLinesTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A text file made of nothing else still gives the window a bounded number of rows.
TEST(SuggestionLinesLimitTest, StopsAtTheLimit) {
  QString many;
  for (qsizetype i = 0; i < viewer::kMaxSuggestionLines + 2; ++i) {
    many += suggestion(qPrintable(QString("li.n%1 a").arg(i)), 2, "t") + u'\n';
  }
  const QList<viewer::SuggestionLine> found = viewer::findSuggestionLines(many);
  ASSERT_EQ(found.size(), viewer::kMaxSuggestionLines);
  EXPECT_EQ(found.last().selector, QString("li.n%1 a").arg(viewer::kMaxSuggestionLines - 1));
}

}  // namespace
