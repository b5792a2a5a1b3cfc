#include "plugin/src/pageExcerpt.h"

#include <algorithm>

namespace plugin {
namespace {

constexpr std::size_t kContext = 40;
constexpr std::size_t kTail = 60;
constexpr std::size_t kHead = 100;

bool isLineBreak(wchar_t c) {
  return c == L'\n' || c == L'\r';
}

}  // namespace

std::wstring pageExcerpt(std::wstring_view text, std::size_t position) {
  position = std::min(position, text.size());
  std::size_t begin = position;
  while (begin > 0 && position - begin < kContext && !isLineBreak(text[begin - 1])) --begin;
  std::size_t end = position;
  while (end < text.size() && end - position < kContext && !isLineBreak(text[end])) ++end;

  std::wstring line;
  for (std::size_t i = begin; i < end; ++i) line += text[i] < L' ' ? L' ' : text[i];
  return L"\n  " + line + L"\n  " + std::wstring(position - begin, L' ') + L'^';
}

std::wstring shownCharacter(wchar_t c) {
  switch (c) {
    case L'\n':
      return L"\\n";
    case L'\r':
      return L"\\r";
    case L'\t':
      return L"\\t";
    default:
      return std::wstring(1, c < L' ' ? L' ' : c);
  }
}

std::wstring shownTail(std::wstring_view text) {
  if (text.size() <= kTail) return std::wstring(text);
  return L"..." + std::wstring(text.substr(text.size() - kTail));
}

std::wstring shownHead(std::wstring_view text) {
  if (text.size() <= kHead) return std::wstring(text);
  return std::wstring(text.substr(0, kHead)) + L"...";
}

}  // namespace plugin
