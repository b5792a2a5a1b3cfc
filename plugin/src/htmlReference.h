#pragma once
// Character references as an HTML5 parser reads them: every named reference of HTML5 (the
// longest name that matches, the ';' optional only where HTML allows it), and numeric ones
// with HTML5's repairs: 0x80-0x9F as Windows-1252 has them, and 0, surrogates and values
// past U+10FFFF as U+FFFD. No state; any thread.
//
//     std::size_t at = 0;
//     decodeHtmlReference(L"&notin; x", at, out, ReferencePlace::Text);  // out += L"∉", at 7

#include <cstddef>
#include <string>
#include <string_view>

namespace plugin {

// In an attribute value a name without its ';' followed by '=' or a letter or digit is no
// reference ("?a=1&copy=2" stays as it is), as HTML reads query strings in links.
enum class ReferencePlace { Text, Attribute };

// With `html[cursor]` an '&': appends what the reference stands for to `out`, moves
// `cursor` past it and returns true; returns false, changing nothing, when no reference
// starts there (the '&' then stands for itself).
bool decodeHtmlReference(std::wstring_view html, std::size_t& cursor, std::wstring& out,
                         ReferencePlace place);

}  // namespace plugin
