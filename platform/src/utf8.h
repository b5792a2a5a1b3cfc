#pragma once
// The one UTF-8 codec of the program. Wide strings hold code points (wchar_t is 32 bits).
//
// Two ways with bytes that are not UTF-8: fromUtf8 shows them as U+FFFD, for text that is
// only looked at; fromUtf8Escaped keeps them, for text that is written back (the INI files):
// each byte b of a malformed sequence becomes U+DC00 + b, a code point in U+DC80..U+DCFF that
// valid UTF-8 never yields, and toUtf8Escaped writes it back as b. So
// toUtf8Escaped(fromUtf8Escaped(bytes)) == bytes for any bytes, and different bytes never
// decode to the same text.

#include <string>
#include <string_view>

namespace platform {

// Invalid code points (surrogates, values above U+10FFFF) become U+FFFD.
std::string toUtf8(std::wstring_view text);

// Malformed sequences (bad lead or continuation bytes, overlong forms, surrogates,
// truncated input) become one U+FFFD each; decoding never fails.
std::wstring fromUtf8(std::string_view bytes);

// As toUtf8, but U+DC80..U+DCFF become the byte they stand for.
std::string toUtf8Escaped(std::wstring_view text);
// As fromUtf8, but every byte of a malformed sequence becomes U+DC00 + its value.
std::wstring fromUtf8Escaped(std::string_view bytes);

// The number of bytes before the first one of 0x80 or above: the ASCII text at the front,
// which every conversion here leaves as it is. Sixteen bytes are tested at a time where
// SSE2 is there (every x86-64), eight elsewhere.
std::size_t asciiPrefixLength(std::string_view bytes);

// Appends the UTF-8 form of one code point to `out`.
void appendUtf8(char32_t codePoint, std::string& out);

// Whether `byte` continues a sequence (10xxxxxx), so that no character starts at it.
inline bool continuesUtf8Sequence(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The number of bytes at the front of `bytes` that are well-formed UTF-8, whole sequences
// only: all of them for valid text.
std::size_t validUtf8Length(std::string_view bytes);

// `bytes` as valid UTF-8: well-formed sequences as they are, and each byte of a malformed
// one as the character `forByte` gives it (U+FFFD, or its meaning in a legacy set).
std::string repairedUtf8(std::string_view bytes, char32_t (*forByte)(unsigned char));

}  // namespace platform
