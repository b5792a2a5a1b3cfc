#pragma once
// The plain forms of the text fast paths: case folding, white space and the UTF-8
// conversions, one character at a time through the C library or the general decoder. Only
// the differential fuzz targets use them, to show that a fast path never changes a byte.

#include <string>
#include <string_view>

namespace platform::plain {

wchar_t toUpperC(wchar_t c);
bool isSpaceC(wchar_t c);
int compareNoCase(std::wstring_view a, std::wstring_view b);

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view bytes);
std::string toUtf8Escaped(std::wstring_view text);
std::wstring fromUtf8Escaped(std::string_view bytes);

}  // namespace platform::plain
