#include "platform/src/cLocale.h"

#include <locale.h>
#include <wctype.h>

#include "platform/src/plainText.h"

namespace platform {

locale_t cLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

wchar_t toUpperCBeyondAscii(wchar_t c) {
  return static_cast<wchar_t>(towupper_l(c, cLocale()));
}

bool isSpaceCBeyondAscii(wchar_t c) {
  return iswspace_l(c, cLocale()) != 0;
}

bool isAlnumC(wchar_t c) {
  return iswalnum_l(c, cLocale()) != 0;
}

std::wstring_view trimSpaceC(std::wstring_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isSpaceC(text[begin])) ++begin;
  while (end > begin && isSpaceC(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

namespace plain {

wchar_t toUpperC(wchar_t c) {
  return static_cast<wchar_t>(towupper_l(c, cLocale()));
}

bool isSpaceC(wchar_t c) {
  return iswspace_l(c, cLocale()) != 0;
}

int compareNoCase(std::wstring_view a, std::wstring_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const wchar_t ua = toUpperC(a[i]);
    const wchar_t ub = toUpperC(b[i]);
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace plain
}  // namespace platform
