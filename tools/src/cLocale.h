#pragma once
// Character classes and case folding of the "C" locale, whatever locale the process runs
// in. Names that compare ignoring case (template parameters, include paths, file
// extensions) fold with these so that a user's locale never changes what matches.

#include <locale.h>

#include <string_view>

namespace tools {

// The process-wide "C" locale object; created on first use and never freed.
locale_t cLocale();

wchar_t toUpperC(wchar_t c);
bool isSpaceC(wchar_t c);
bool isAlnumC(wchar_t c);

// Compares unit by unit after toUpperC: negative, zero or positive.
int compareNoCase(std::wstring_view a, std::wstring_view b);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);
// True when `text` ends with `suffix`, ignoring case.
bool endsWithNoCase(std::wstring_view text, std::wstring_view suffix);

// Orders names ignoring case, for maps and sets of names.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const {
    return compareNoCase(a, b) < 0;
  }
};

}  // namespace tools
