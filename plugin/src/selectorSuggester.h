#pragma once
// Shorthand selectors proposed from a page, for a user who has no pattern yet. A
// candidate is a run of sibling elements of one tag and class set, each holding a link
// with text; it ranks by
//
//   - how many such siblings there are,
//   - how long their link texts are (menus say "Home", stories say what happened),
//   - how much text each sibling holds besides its link (a summary, a date),
//   - where it is: inside nav, header, footer, aside or an element whose class or id
//     speaks of a menu it counts a quarter; inside main or "content" half as much again.
//
// Each candidate's selector is then run as the plug-in runs a Shorthand, and the count
// and titles shown are that run's: a suggestion never promises what a run would not give.
// Titles that repeat ("Read more") lower a candidate, and so does a selector that matches
// far more than the siblings it was made for.
//
// A page too deep for the shorthand gets none. Work is linear in the page: one parse and
// one pass, then one Shorthand run for each of at most ten candidates. Any thread may
// call; nothing is shared.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plugin {

struct SuggestedSelector {
  std::wstring selector;
  std::size_t itemCount = 0;
  std::vector<std::wstring> firstTitles;  // up to three, as the Shorthand gives them
};

class SelectorSuggester {
 public:
  // Up to `most` suggestions for the UTF-8 `page`, best first; none when no run of siblings holds
  // links with text. Never throws for any page.
  static std::vector<SuggestedSelector> suggest(std::string_view page, std::size_t most = 5);
};

}  // namespace plugin
