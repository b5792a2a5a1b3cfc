#include "plugin/src/linkScheme.h"

#include <cstdint>
#include <string>

#include "plugin/src/literalPiece.h"

namespace plugin {
namespace {

bool isAsciiLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool isSchemeCharacter(wchar_t c) {
  return isAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
}

bool isTabOrLineBreak(wchar_t c) {
  return c == L'\t' || c == L'\n' || c == L'\r';
}

// `scheme` in lower case; an empty one is no scheme.
bool isKept(const std::wstring& scheme) {
  static constexpr std::wstring_view kKept[] = {L"", L"http", L"https", L"ftp", L"mailto"};
  for (const std::wstring_view kept : kKept) {
    if (scheme == kept) return true;
  }
  return false;
}

}  // namespace

bool isFeedLink(std::wstring_view link) {
  while (!link.empty() && static_cast<std::uint32_t>(link.front()) <= 0x20) link.remove_prefix(1);
  std::wstring scheme;
  for (const wchar_t c : link) {
    if (isTabOrLineBreak(c)) continue;
    if (c == L':') return isKept(scheme);
    // A character no scheme holds, before any ':', makes the link relative.
    if (!isSchemeCharacter(c) || (scheme.empty() && !isAsciiLetter(c))) return true;
    scheme += LiteralPiece::fold(c);
  }
  return true;
}

}  // namespace plugin
