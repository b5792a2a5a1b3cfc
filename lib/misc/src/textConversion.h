#pragma once
// Conversions between wide text and 8-bit text. The "ANSI" code page is UTF-8 here, so
// both pairs convert to and from UTF-8. Invalid input never fails: it becomes U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace misc {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view bytes);
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view bytes);

// Pointer forms; a length of -1 means NUL-terminated, a null pointer gives "".
std::string toUtf8(const wchar_t* text, std::ptrdiff_t length);
std::wstring fromUtf8(const char* bytes, std::ptrdiff_t length);

}  // namespace misc
