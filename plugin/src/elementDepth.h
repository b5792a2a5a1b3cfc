#pragma once
// How deep a page nests its elements, found without building its tree: a pass over the
// tags that follows HTML's rules where sloppy pages rely on them (void elements, a <p>,
// <li>, <dd>, <dt>, <option>, <tr>, <td> or <a> left open and closed by the next, an end
// tag closing what it encloses, scripts and comments as text, a self-closed tag inside SVG
// or MathML). Where the rules are not followed it errs on the deep side, never far on the
// shallow one, so that a bound on it bounds the parser's tree.
//
// A pure function: any thread may call it; it never throws but std::bad_alloc.

#include <cstddef>
#include <string_view>

namespace plugin {

// The deepest nesting of `html`, counted up to `limit` + 1 (the pass stops there).
std::size_t elementDepth(std::string_view html, std::size_t limit);

}  // namespace plugin
