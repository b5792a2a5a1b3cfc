#include "platform/src/formatMessage.h"

namespace platform {
namespace {

bool isDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// Handles the escape at format[i] == '%'; returns the index after it, or npos for "%0".
std::size_t expandEscape(std::wstring_view format, std::size_t i,
                         std::span<const std::wstring> args, std::wstring& out) {
  if (i + 1 >= format.size()) {
    out += L'%';
    return i + 1;
  }
  const wchar_t c = format[i + 1];
  if (c == L'0') return std::wstring_view::npos;
  if (isDigit(c)) {
    std::size_t end = i + 2;
    int number = c - L'0';
    if (end < format.size() && isDigit(format[end])) number = number * 10 + (format[end++] - L'0');
    if (static_cast<std::size_t>(number) <= args.size()) {
      out += args[number - 1];
    } else {
      out.append(format.substr(i, end - i));
    }
    return end;
  }
  switch (c) {
    case L'%':
      out += L'%';
      break;
    case L'n':
      out += L'\n';
      break;
    case L't':
      out += L'\t';
      break;
    case L'r':
      out += L'\r';
      break;
    case L'.':
      out += L'.';
      break;
    case L'!':
      out += L'!';
      break;
    case L' ':
      out += L' ';
      break;
    default:
      out += L'%';
      out += c;
      break;
  }
  return i + 2;
}

}  // namespace

bool formatMessage(std::wstring_view format, std::span<const std::wstring> args,
                   std::size_t bufferChars, std::wstring& out) {
  out.clear();
  std::size_t i = 0;
  while (i < format.size()) {
    const std::size_t percent = format.find(L'%', i);
    out.append(format.substr(i, percent - i));
    if (percent == std::wstring_view::npos) break;
    i = expandEscape(format, percent, args, out);
    if (i == std::wstring_view::npos) break;
  }
  if (bufferChars != 0 && out.size() >= bufferChars) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace platform
