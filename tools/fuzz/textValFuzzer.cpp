// Renders an arbitrary value with an arbitrary encoding and set of characters. SGML output
// holds none of the chosen characters outside references and decodes to the value when '&'
// is among them; percent output is the value with exactly the control characters, '%' and
// the chosen characters replaced, each by its UTF-8 bytes as %XX; other encodings change
// nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/src/utf8.h"
#include "tools/src/sgml.h"
#include "tools/src/textVal.h"

namespace {

using tools::TextVal;

bool mayAppearInReference(wchar_t c) {
  return c == L'&' || c == L'#' || c == L';' || (c >= L'0' && c <= L'9') ||
         (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

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

void checkSgml(const std::wstring& value, std::wstring_view chars, const std::wstring& out) {
  for (wchar_t c : chars) {
    if (!mayAppearInReference(c) && out.find(c) != std::wstring::npos) std::abort();
  }
  if (chars.find(L'&') != std::wstring_view::npos && decodeAll(out) != value) std::abort();
}

std::wstring percentExpected(const std::wstring& value, std::wstring_view chars) {
  static const wchar_t hex[] = L"0123456789ABCDEF";
  std::wstring out;
  for (wchar_t c : value) {
    if (c >= 0x20 && c != L'%' && chars.find(c) == std::wstring_view::npos) {
      out += c;
      continue;
    }
    for (char b : platform::toUtf8(std::wstring_view(&c, 1))) {
      const auto u = static_cast<unsigned char>(b);
      out += {L'%', hex[u >> 4], hex[u & 0xF]};
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One byte picks the kind, one the encoding and whether characters are given; the rest is
  // the value, then after a NUL the characters.
  if (size < 2) return 0;
  const auto kind = static_cast<std::int8_t>(data[0]);
  const int encoding = (data[1] & 0x03) == 3 ? 7 : data[1] & 0x03;
  const bool charsGiven = (data[1] & 0x04) != 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t nul = rest.find('\0');
  const std::wstring value = platform::fromUtf8(rest.substr(0, nul));
  const std::wstring chars =
      nul == std::string_view::npos ? std::wstring() : platform::fromUtf8(rest.substr(nul + 1));

  const TextVal text(value, kind);
  const std::wstring out = charsGiven ? text.render(encoding, chars) : text.render(encoding);
  switch (encoding) {
    case TextVal::kEncodeSgml:
      checkSgml(value, charsGiven ? std::wstring_view(chars) : L"&<", out);
      break;
    case TextVal::kEncodePercent:
      if (out != percentExpected(value, charsGiven ? chars : L"")) std::abort();
      break;
    default:
      if (out != value) std::abort();
  }
  return 0;
}
