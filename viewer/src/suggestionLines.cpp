#include "viewer/src/suggestionLines.h"

#include <QRegularExpression>

#include "viewer/src/istring.h"

namespace viewer {

namespace {

// The sentence as a pattern of whole lines: its text literally, %1 the selector (no
// backtick, so it ends at the first one), %2 a count, %3 the rest of the line.
QRegularExpression linePattern() {
  static const QRegularExpression placeholder(QStringLiteral("%([123])"));
  static const QString pieces[] = {QStringLiteral("(?<selector>[^`\\r\\n]+)"),
                                   QStringLiteral("\\d+"), QStringLiteral(".*?")};
  const QString form = internal::message(14319);
  QString pattern = QStringLiteral("^(?<line>");
  qsizetype at = 0;
  for (const QRegularExpressionMatch& match : placeholder.globalMatch(form)) {
    pattern += QRegularExpression::escape(form.mid(at, match.capturedStart() - at));
    pattern += pieces[match.captured(1).toInt() - 1];
    at = match.capturedEnd();
  }
  pattern += QRegularExpression::escape(form.mid(at)) + QStringLiteral(")\\r?$");
  return QRegularExpression(pattern, QRegularExpression::MultilineOption);
}

}  // namespace

QList<SuggestionLine> findSuggestionLines(const QString& diagnostic) {
  static const QRegularExpression pattern = linePattern();
  QList<SuggestionLine> lines;
  for (const QRegularExpressionMatch& match : pattern.globalMatch(diagnostic)) {
    lines.append({match.captured(u"line"), match.captured(u"selector")});
    if (lines.size() == kMaxSuggestionLines) break;
  }
  return lines;
}

}  // namespace viewer
