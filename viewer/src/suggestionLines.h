#pragma once
// The suggestions that end a diagnostic of the plug-in when nothing matched. A suggestion is
// a whole line of the form of string 14319, the plug-in's own sentence; its selector is the
// text between the line's first pair of backticks. Pure; any thread may call; never throws
// for bad input.

#include <QList>
#include <QString>

namespace viewer {

struct SuggestionLine {
  QString text;      // the line, without its line break
  QString selector;  // the shorthand it suggests, never empty
};

// More rows than a diagnostic ever ends with; a text file of such lines shows only these.
constexpr qsizetype kMaxSuggestionLines = 10;

// The suggestion lines of `diagnostic` in their order, the first kMaxSuggestionLines of them.
QList<SuggestionLine> findSuggestionLines(const QString& diagnostic);

}  // namespace viewer
