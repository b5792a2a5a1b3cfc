#pragma once
// Character classes and case folding of the "C" locale, whatever locale the process runs in
// (the user interface sets the user's locale at start). Names that compare ignoring case
// fold here, so a user's locale never changes which names match or how they sort.
//
// ASCII, which nearly every name is, folds and classifies inline; the C library's tables
// decide for everything else.

#include <locale.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace platform {

// The process-wide "C" locale object, for the *_l functions; never freed.
locale_t cLocale();

// The C library's answers for characters outside ASCII.
wchar_t toUpperCBeyondAscii(wchar_t c);
bool isSpaceCBeyondAscii(wchar_t c);

inline wchar_t toUpperC(wchar_t c) {
  if (c < 0x80) return c >= L'a' && c <= L'z' ? c - (L'a' - L'A') : c;
  return toUpperCBeyondAscii(c);
}

// Space, tab, LF, VT, FF and CR: the white space of ASCII, the same in every locale.
inline bool isAsciiSpace(char32_t c) {
  return c == U' ' || (c >= U'\t' && c <= U'\r');
}

inline bool isSpaceC(wchar_t c) {
  if (c >= 0 && c < 0x80) return isAsciiSpace(static_cast<char32_t>(c));
  return isSpaceCBeyondAscii(c);
}

// Letters and digits.
bool isAlnumC(wchar_t c);

// Compares unit by unit after toUpperC; the first difference decides and a proper prefix
// sorts first. Negative, zero or positive.
inline int compareNoCase(std::wstring_view a, std::wstring_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  static_assert(sizeof(std::uint64_t) == 2 * sizeof(wchar_t));
  std::size_t i = 0;
  // Equal units fold alike: most of a name is skipped here, two units at a time.
  for (; i + 2 <= n; i += 2) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a.data() + i, sizeof x);
    std::memcpy(&y, b.data() + i, sizeof y);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    if (a[i] == b[i]) continue;
    const wchar_t ua = toUpperC(a[i]);
    const wchar_t ub = toUpperC(b[i]);
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

inline bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && compareNoCase(a, b) == 0;
}

inline bool startsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

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
