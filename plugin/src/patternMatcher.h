#pragma once
// Finds the matches of one pattern in a UTF-8 text, left to right, in time linear in the
// text. Places in the text are byte offsets, each at the start of a character.
//
// A match starting at a place finds each literal piece at its earliest occurrence after the
// previous one, with no going back into earlier pieces; the skips and captures take the
// text between. When a piece is missing after some place, it is missing after every later
// start too, so the pattern has no further match: the matcher says so once and for all.
//
// Every byte looked at counts as one step; past `workLimit` steps (summed over all the
// matchers sharing the counter) next() throws PluginError "<pattern> needs more work than
// this page allows ...". No page is left with a partial answer: the run has no feed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "plugin/src/pattern.h"

namespace plugin {

struct Match {
  std::size_t start = 0;
  std::size_t end = 0;
  // Start and end of each captured stretch, for the fields the pattern captures.
  std::array<std::optional<std::pair<std::size_t, std::size_t>>, kFieldCount> captures;

  std::string_view capture(std::string_view text, Field field) const;
  // The capture as text of its own; long captures are measured by it in characters.
  std::wstring wideCapture(std::string_view text, Field field) const;
};

// Why a pattern matched nothing: the segment whose piece was missing and the place its
// search began; the longest start of that piece after it tells the rest (see
// matchDiagnostic.h).
struct MatchFailure {
  std::size_t segment = 0;
  std::size_t searchFrom = 0;
};

class PatternMatcher {
 public:
  // `pattern`, `text` and `work` must outlive the matcher.
  PatternMatcher(const Pattern& pattern, std::string_view text, std::uint64_t& work,
                 std::uint64_t workLimit);

  // The match that starts earliest at or after `from`; none when there is none. Calls
  // must not go back: `from` never decreases.
  const Match* next(std::size_t from);

  bool everMatched() const { return everMatched_; }
  // Set once next() found nothing, for the first search that found nothing.
  const std::optional<MatchFailure>& failure() const { return failure_; }

  const Pattern& pattern() const { return pattern_; }

 private:
  void charge() const;

  const Pattern& pattern_;
  std::string_view text_;
  std::uint64_t& work_;
  std::uint64_t workLimit_;
  std::optional<Match> cached_;
  bool exhausted_ = false;
  bool everMatched_ = false;
  std::optional<MatchFailure> failure_;
};

}  // namespace plugin
