// Decodes arbitrary bytes and checks the codec against the well-formed byte sequences of
// UTF-8 as the Unicode standard tables them: escaped decoding gives every byte back, valid
// text decodes to code points that encode to the same bytes, and only malformed bytes
// become escapes. The bytes read as 32-bit units also check the encoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/src/utf8.h"

namespace {

// The length of the well-formed sequence at `at`, or 0.
std::size_t wellFormedAt(std::string_view bytes, std::size_t at) {
  struct Row {
    unsigned char lo, hi, second_lo, second_hi;
    std::size_t length;
  };
  static constexpr Row kRows[] = {
      {0x00, 0x7F, 0, 0, 1},       {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
      {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
      {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
  };
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  for (const Row& row : kRows) {
    if (byte(0) < row.lo || byte(0) > row.hi) continue;
    if (at + row.length > bytes.size()) return 0;
    if (row.length > 1 && (byte(1) < row.second_lo || byte(1) > row.second_hi)) return 0;
    for (std::size_t i = 2; i < row.length; ++i) {
      if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return row.length;
  }
  return 0;
}

bool isWellFormed(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = wellFormedAt(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

bool isEscape(wchar_t c) {
  return c >= 0xDC80 && c <= 0xDCFF;
}
bool isValid(wchar_t c) {
  const auto u = static_cast<std::uint32_t>(c);
  return u <= 0x10FFFF && (u < 0xD800 || u > 0xDFFF);
}

void checkBytes(std::string_view bytes) {
  const std::wstring escaped = platform::fromUtf8Escaped(bytes);
  if (platform::toUtf8Escaped(escaped) != bytes) std::abort();
  bool anyEscape = false;
  for (wchar_t c : escaped) {
    anyEscape = anyEscape || isEscape(c);
    if (!isEscape(c) && !isValid(c)) std::abort();
  }
  if (anyEscape == isWellFormed(bytes)) std::abort();
  const std::wstring plain = platform::fromUtf8(bytes);
  if (!anyEscape && plain != escaped) std::abort();
  if (!isWellFormed(platform::toUtf8(plain))) std::abort();
  if (platform::fromUtf8(platform::toUtf8(plain)) != plain) std::abort();
}

// Any 32-bit units: invalid ones become U+FFFD, every other one comes back.
void checkUnits(std::string_view bytes) {
  std::wstring units(bytes.size() / 4, L'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 4);
  const std::string encoded = platform::toUtf8(units);
  if (!isWellFormed(encoded)) std::abort();
  for (wchar_t& c : units) {
    if (!isValid(c)) c = 0xFFFD;
  }
  if (platform::fromUtf8(encoded) != units) std::abort();
}

}  // namespace

static_assert(sizeof(wchar_t) == 4);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkBytes(bytes);
  checkUnits(bytes);
  return 0;
}
