#include "net/src/hexDump.h"

#include <algorithm>

namespace net::internal {
namespace {

constexpr std::size_t kBytesPerLine = 16;

wchar_t hexDigit(unsigned value) {
  return L"0123456789abcdef"[value & 0xF];
}

void writeHex(std::wstring& line, unsigned long value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    line += hexDigit(static_cast<unsigned>(value >> shift));
  }
}

}  // namespace

void writeHexDump(std::wostream& out, std::span<const char> bytes, const std::wstring& prefix) {
  for (std::size_t offset = 0; offset < bytes.size(); offset += kBytesPerLine) {
    const auto row = bytes.subspan(offset, std::min(kBytesPerLine, bytes.size() - offset));
    std::wstring line = prefix;
    writeHex(line, offset, 8);
    line += L' ';
    for (std::size_t i = 0; i < kBytesPerLine; ++i) {
      line += L' ';
      if (i < row.size()) {
        writeHex(line, static_cast<unsigned char>(row[i]), 2);
      } else {
        line += L"  ";
      }
    }
    line += L"  ";
    for (const char c : row) line += (c >= 0x20 && c < 0x7F) ? static_cast<wchar_t>(c) : L'.';
    out << line << L'\n';
  }
}

}  // namespace net::internal
