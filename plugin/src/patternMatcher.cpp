#include "plugin/src/patternMatcher.h"

#include <string>

#include "platform/src/utf8.h"

#include "plugin/src/istring.h"
#include "plugin/src/pageExcerpt.h"
#include "plugin/src/pluginError.h"

namespace plugin {

using internal::istring;

std::string_view Match::capture(std::string_view text, Field field) const {
  const auto& range = captures[static_cast<std::size_t>(field)];
  if (!range) return {};
  return text.substr(range->first, range->second - range->first);
}

std::wstring Match::wideCapture(std::string_view text, Field field) const {
  return platform::fromUtf8(capture(text, field));
}

PatternMatcher::PatternMatcher(const Pattern& pattern, std::string_view text, std::uint64_t& work,
                               std::uint64_t workLimit)
    : pattern_(pattern), text_(text), work_(work), workLimit_(workLimit) {}

void PatternMatcher::charge() const {
  if (work_ <= workLimit_) return;
  throw PluginError(istring(14223).format(pattern_.name(), std::to_wstring(workLimit_),
                                          std::to_wstring(characterCount(text_))));
}

const Match* PatternMatcher::next(std::size_t from) {
  if (exhausted_) return nullptr;
  if (cached_ && cached_->start >= from) return &*cached_;

  Match match;
  std::size_t cursor = from;
  const auto& segments = pattern_.segments();
  for (std::size_t k = 0; k < segments.size(); ++k) {
    const Pattern::Segment& segment = segments[k];
    const auto found = segment.piece.find(text_, cursor, work_);
    charge();
    if (!found) {
      exhausted_ = true;
      cached_.reset();
      if (!everMatched_ && !failure_) failure_ = MatchFailure{k, cursor};
      return nullptr;
    }
    if (segment.capture) {
      auto& range = match.captures[static_cast<std::size_t>(*segment.capture)];
      if (!range) range.emplace(cursor, found->start);
    }
    if (k == 0) match.start = segment.afterHole ? cursor : found->start;
    cursor = found->end;
  }
  match.end = cursor;
  everMatched_ = true;
  cached_ = match;
  return &*cached_;
}

}  // namespace plugin
