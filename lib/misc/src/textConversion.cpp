#include "lib/misc/src/textConversion.h"

#include <cstring>
#include <cwchar>

#include "platform/src/utf8.h"

namespace misc {

std::string toUtf8(std::wstring_view text) {
  return platform::toUtf8(text);
}
std::wstring fromUtf8(std::string_view bytes) {
  return platform::fromUtf8(bytes);
}
std::string toAnsi(std::wstring_view text) {
  return platform::toUtf8(text);
}
std::wstring fromAnsi(std::string_view bytes) {
  return platform::fromUtf8(bytes);
}

std::string toUtf8(const wchar_t* text, std::ptrdiff_t length) {
  if (text == nullptr) return {};
  const std::size_t n = length < 0 ? std::wcslen(text) : static_cast<std::size_t>(length);
  return toUtf8(std::wstring_view(text, n));
}

std::wstring fromUtf8(const char* bytes, std::ptrdiff_t length) {
  if (bytes == nullptr) return {};
  const std::size_t n = length < 0 ? std::strlen(bytes) : static_cast<std::size_t>(length);
  return fromUtf8(std::string_view(bytes, n));
}

}  // namespace misc
