#pragma once
// How diagnostics show page text: the line around a place with a marker under it, a single
// character, a long piece of pattern cut to its end, a long quoted text cut to its start.
// The page is UTF-8, and a place in it a byte offset at the start of a character.

#include <cstddef>
#include <string>
#include <string_view>

namespace plugin {

// Two lines, each after a line break and indented by two blanks: up to 40 characters of the
// page's line on either side of `position`, and a caret under `position`. Tabs and other
// control characters show as blanks, so the caret stays in its column.
std::wstring pageExcerpt(std::string_view text, std::size_t position);

// The number of characters in the UTF-8 `text`.
std::size_t characterCount(std::string_view text);
// The character that starts at byte `position` of the UTF-8 `text`.
wchar_t characterAt(std::string_view text, std::size_t position);

// A character as a diagnostic quotes it: line breaks and tabs as \n, \r and \t.
std::wstring shownCharacter(wchar_t c);

// `text` cut to its last 60 characters, with "..." before them when cut.
std::wstring shownTail(std::wstring_view text);

// `text` cut to its first 100 characters, with "..." after them when cut: for texts of the
// settings or the page that a message quotes whole, which must stay well short of the
// longest message the string table formats.
std::wstring shownHead(std::wstring_view text);

}  // namespace plugin
