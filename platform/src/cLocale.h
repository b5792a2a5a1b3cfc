#pragma once
// Character classes and case folding of the "C" locale, whatever locale the process runs in
// (the user interface sets the user's locale at start). Names that compare ignoring case
// fold here, so a user's locale never changes which names match or how they sort.

#include <locale.h>

#include <string_view>

namespace platform {

// The process-wide "C" locale object, for the *_l functions; never freed.
locale_t cLocale();

wchar_t toUpperC(wchar_t c);
bool isSpaceC(wchar_t c);
// Letters and digits.
bool isAlnumC(wchar_t c);

// Compares unit by unit after toUpperC; the first difference decides and a proper prefix
// sorts first. Negative, zero or positive.
int compareNoCase(std::wstring_view a, std::wstring_view b);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);

// `text` without the isSpaceC characters at both ends.
std::wstring_view trimSpaceC(std::wstring_view text);

// Orders names ignoring case, for maps and sets of names.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const {
    return compareNoCase(a, b) < 0;
  }
};

}  // namespace platform
