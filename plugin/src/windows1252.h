#pragma once
// What Windows-1252 makes of 0x80-0x9F, where it differs from ISO-8859-1: as a byte of a
// page, and as the number of a character reference, which HTML reads the same way.

#include <array>
#include <optional>

namespace plugin {

// None for 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which Windows-1252 leaves undefined.
inline std::optional<wchar_t> windows1252High(char32_t code) {
  static constexpr std::array<wchar_t, 32> kHigh = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (code < 0x80 || code > 0x9F || kHigh[code - 0x80] == 0) return std::nullopt;
  return kHigh[code - 0x80];
}

}  // namespace plugin
