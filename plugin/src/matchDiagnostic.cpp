#include "plugin/src/matchDiagnostic.h"

#include "plugin/src/istring.h"
#include "plugin/src/pageExcerpt.h"

namespace plugin {
namespace {

using internal::istring;

std::wstring_view trimEnd(std::wstring_view text) {
  while (!text.empty() && LiteralPiece::isSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::wstring describeMismatch(const PatternMatcher& matcher, std::string_view text,
                              std::uint64_t& work) {
  const Pattern& pattern = matcher.pattern();
  const MatchFailure& failure = *matcher.failure();
  const LiteralPiece& piece = pattern.segments()[failure.segment].piece;
  const std::wstring_view source = pattern.text();
  const LiteralPiece::Partial partial = piece.longestPrefix(text, failure.searchFrom, work);

  if (partial.length == 0) {
    const std::wstring first = shownCharacter(source[piece.sourceOffset(0)]);
    if (failure.segment == 0) return istring(14219).format(pattern.name(), first);
    const std::wstring matched = shownTail(trimEnd(source.substr(0, piece.sourceOffset(0))));
    return istring(14218).format(pattern.name(), matched, first) +
           pageExcerpt(text, failure.searchFrom);
  }

  const std::wstring matched =
      shownTail(source.substr(0, piece.sourceOffset(partial.length - 1) + 1));
  const std::wstring expected = shownCharacter(source[piece.sourceOffset(partial.length)]);
  if (partial.stop >= text.size()) {
    return istring(14217).format(pattern.name(), matched, expected);
  }
  const std::wstring has = shownCharacter(characterAt(text, partial.stop));
  const wchar_t* arguments[] = {pattern.name().c_str(), matched.c_str(), expected.c_str(),
                                has.c_str()};
  return istring(14216).format(arguments) + pageExcerpt(text, partial.stop);
}

}  // namespace plugin
