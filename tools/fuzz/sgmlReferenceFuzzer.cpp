// Decodes a reference at an arbitrary place of arbitrary text and checks the decoder's
// promises: a success consumes the reference and yields a code point that encodes to a
// reference of the same value; a failure stops after what it read. Encoding any text and
// decoding every reference gives the text back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/src/utf8.h"
#include "tools/src/sgml.h"

namespace {

bool isAsciiAlnum(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
// The digits of either base: 0-9 and A-F in any case.
bool isReferenceDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}
bool isCodePoint(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  return u <= 0x10FFFF && (u < 0xD800 || u > 0xDFFF);
}

// Decodes the references of `text`; an '&' that starts none stays as it is.
std::wstring decodeAll(std::wstring_view text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t cursor = i + 1;
    wchar_t code = 0;
    if (text[i] == L'&' && tools::sgmlDecodeReference(text, cursor, code)) {
      out += code;
      i = cursor;
    } else {
      out += text[i++];
    }
  }
  return out;
}

void checkOne(std::wstring_view text, std::size_t start) {
  std::size_t cursor = start;
  wchar_t code = L'?';
  const bool ok = tools::sgmlDecodeReference(text, cursor, code);
  if (start > text.size()) {
    if (ok || cursor != start) std::abort();
    return;
  }
  if (cursor < start || cursor > text.size()) std::abort();
  if (ok) {
    if (cursor == start || !isCodePoint(code)) std::abort();
    const std::wstring again = tools::sgmlEncode(std::wstring(1, code));
    if (decodeAll(again) != std::wstring(1, code)) std::abort();
    return;
  }
  // A failure has read every digit or letter of the reference.
  const bool numeric = start < text.size() && text[start] == L'#';
  if (cursor < text.size() &&
      (numeric ? isReferenceDigit(text[cursor]) : isAsciiAlnum(text[cursor]))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::wstring text =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  checkOne(text, data[0] % (text.size() + 2));
  for (std::size_t at = text.find(L'&'); at != std::wstring::npos; at = text.find(L'&', at + 1)) {
    checkOne(text, at + 1);
  }
  if (decodeAll(tools::sgmlEncode(text)) != text) std::abort();
  if (decodeAll(tools::sgmlEncode(text, L"&<>\"'")) != text) std::abort();
  return 0;
}
