#include "plugin/src/pageExcerpt.h"

#include <algorithm>

#include "platform/src/utf8.h"

namespace plugin {
namespace {

constexpr std::size_t kContext = 40;
constexpr std::size_t kTail = 60;
constexpr std::size_t kHead = 100;

bool isLineBreak(char c) {
  return c == '\n' || c == '\r';
}

bool startsCharacter(char byte) {
  return !platform::continuesUtf8Sequence(byte);
}

// Where the `count`th character before `position` starts, not going back past a line break.
std::size_t lineBack(std::string_view text, std::size_t position, std::size_t count) {
  std::size_t begin = position;
  for (std::size_t n = 0; begin > 0 && n < count && !isLineBreak(text[begin - 1]); ++n) {
    do --begin;
    while (begin > 0 && !startsCharacter(text[begin]));
  }
  return begin;
}

// Where the `count`th character after `position` ends, not going past a line break.
std::size_t lineForward(std::string_view text, std::size_t position, std::size_t count) {
  std::size_t end = position;
  for (std::size_t n = 0; end < text.size() && n < count && !isLineBreak(text[end]); ++n) {
    do ++end;
    while (end < text.size() && !startsCharacter(text[end]));
  }
  return end;
}

}  // namespace

std::wstring pageExcerpt(std::string_view text, std::size_t position) {
  position = std::min(position, text.size());
  const std::size_t begin = lineBack(text, position, kContext);
  const std::size_t end = lineForward(text, position, kContext);
  std::wstring line = platform::fromUtf8(text.substr(begin, end - begin));
  for (wchar_t& c : line) c = c < L' ' ? L' ' : c;
  const std::size_t column = characterCount(text.substr(begin, position - begin));
  return L"\n  " + line + L"\n  " + std::wstring(column, L' ') + L'^';
}

std::size_t characterCount(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), startsCharacter));
}

wchar_t characterAt(std::string_view text, std::size_t position) {
  if (position >= text.size()) return L'\0';
  std::size_t end = position + 1;
  while (end < text.size() && !startsCharacter(text[end])) ++end;
  return platform::fromUtf8(text.substr(position, end - position)).front();
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
