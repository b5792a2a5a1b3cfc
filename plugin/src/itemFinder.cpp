#include "plugin/src/itemFinder.h"

#include "plugin/src/matchDiagnostic.h"

namespace plugin {

ItemFinder::ItemFinder(const std::vector<const Pattern*>& patterns, std::string_view text,
                       std::uint64_t workLimit)
    : text_(text) {
  matchers_.reserve(patterns.size());
  for (const Pattern* pattern : patterns) matchers_.emplace_back(*pattern, text, work_, workLimit);
}

std::deque<Match> ItemFinder::find(std::size_t maxItems) {
  std::deque<Match> items;
  std::size_t position = 0;
  while (items.size() < maxItems) {
    const Match* earliest = nullptr;
    for (PatternMatcher& matcher : matchers_) {
      const Match* match = matcher.next(position);
      if (match && (!earliest || match->start < earliest->start)) earliest = match;
    }
    if (!earliest) break;
    items.push_back(*earliest);
    // Every pattern holds a character to match, so each item moves the search on.
    position = earliest->end;
  }
  return items;
}

std::vector<std::wstring> ItemFinder::mismatches() {
  std::vector<std::wstring> texts;
  for (const PatternMatcher& matcher : matchers_) {
    if (!matcher.everMatched() && matcher.failure()) {
      texts.push_back(describeMismatch(matcher, text_, work_));
    }
  }
  return texts;
}

}  // namespace plugin
