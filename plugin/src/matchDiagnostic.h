#pragma once
// What standard error says when a pattern matches nothing: which pattern, how much of it
// matched at the best place in the text (the start from which the most pieces, then the
// most characters of the next piece, matched), and the text where matching stopped:
//
//     Item pattern 1 matched nothing. At the best place in the page it matched up to
//     `<a href=` and then expected `"` where the page has `'`:
//       <li><a href='/news/1'>Snow</a></li>
//                  ^

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/src/patternMatcher.h"

namespace plugin {

// For a matcher whose failure() is set; `text` is the one it searched. The extra search
// for the best place adds its steps to `work`.
std::wstring describeMismatch(const PatternMatcher& matcher, std::string_view text,
                              std::uint64_t& work);

}  // namespace plugin
