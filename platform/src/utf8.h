#pragma once
// The one UTF-8 codec of the program. Wide strings hold code points (wchar_t is 32 bits).

#include <string>
#include <string_view>

namespace platform {

// Invalid code points (surrogates, values above U+10FFFF) become U+FFFD.
std::string toUtf8(std::wstring_view text);

// Malformed sequences (bad lead or continuation bytes, overlong forms, surrogates,
// truncated input) become one U+FFFD each; decoding never fails.
std::wstring fromUtf8(std::string_view bytes);

// Appends the UTF-8 form of one code point to `out`.
void appendUtf8(char32_t codePoint, std::string& out);

}  // namespace platform
