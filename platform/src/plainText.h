#pragma once
// The plain forms of the text fast paths: case folding and white space, one character at
// a time through the C library. Only the differential tests and fuzz targets use them, to
// show that a fast path never changes a byte.

#include <string_view>

namespace platform::plain {

wchar_t toUpperC(wchar_t c);
bool isSpaceC(wchar_t c);
int compareNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace platform::plain
