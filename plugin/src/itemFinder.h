#pragma once
// Cuts items out of a text with item patterns 1-3: left to right, the next item is the
// match that starts earliest among all the patterns (on equal starts, the lower-numbered
// pattern's), and the search goes on after it, until the end of the text or `maxItems`.
//
// Each pattern's next match is kept while it still lies ahead, so a pattern is not searched
// again for every item another pattern yields.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/src/patternMatcher.h"

namespace plugin {

class ItemFinder {
 public:
  // `patterns`, in their order, and `text` must outlive the finder. See PatternMatcher for
  // `workLimit`.
  ItemFinder(const std::vector<const Pattern*>& patterns, std::string_view text,
             std::uint64_t workLimit);
  // The matchers count their work in this object.
  ItemFinder(const ItemFinder&) = delete;
  ItemFinder& operator=(const ItemFinder&) = delete;

  // Throws PluginError when the search needs more than the work limit. A deque grows
  // without moving what it holds, so the matches of a big page are never held twice.
  std::deque<Match> find(std::size_t maxItems);

  // One diagnostic for each pattern that matched nothing during find().
  std::vector<std::wstring> mismatches();

  std::uint64_t work() const { return work_; }

 private:
  std::string_view text_;
  std::uint64_t work_ = 0;
  std::vector<PatternMatcher> matchers_;
};

}  // namespace plugin
