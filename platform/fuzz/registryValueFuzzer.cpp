// Decodes arbitrary text as a registry value and compares it with the file's format: a
// dword is decimal digits or 0x and hexadecimal digits that fit 32 bits; text types carry
// their data; anything else is kRegNone with the whole text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/src/registry.h"
#include "platform/src/utf8.h"

namespace {

int digitIn(char c, unsigned base) {
  const int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
  return d < static_cast<int>(base) ? d : -1;
}

std::optional<std::uint32_t> dwordOf(std::string_view data) {
  unsigned base = 10;
  if (data.size() > 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X')) {
    base = 16;
    data.remove_prefix(2);
  }
  if (data.empty()) return std::nullopt;
  std::uint64_t n = 0;
  for (char c : data) {
    const int d = digitIn(c, base);
    if (d < 0) return std::nullopt;
    n = n * base + static_cast<unsigned>(d);
    if (n > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(n);
}

platform::RegistryValue expected(std::string_view raw) {
  platform::RegistryValue v;
  v.text = platform::fromUtf8(raw);
  const auto colon = raw.find(':');
  if (colon == std::string_view::npos) return v;
  const std::string_view type = raw.substr(0, colon);
  const std::string_view data = raw.substr(colon + 1);
  if (platform::equalsIgnoringAsciiCase(type, "sz")) {
    v.type = platform::kRegSz;
  } else if (platform::equalsIgnoringAsciiCase(type, "expand_sz")) {
    v.type = platform::kRegExpandSz;
  } else if (platform::equalsIgnoringAsciiCase(type, "dword")) {
    if (const auto n = dwordOf(data)) {
      v.type = platform::kRegDword;
      v.dword = *n;
    }
    return v;
  } else {
    return v;
  }
  v.text = platform::fromUtf8(data);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  const platform::RegistryValue got = platform::decodeRegistryValue(raw);
  const platform::RegistryValue want = expected(raw);
  if (got.type != want.type) std::abort();
  if (got.type == platform::kRegDword ? got.dword != want.dword : got.text != want.text) {
    std::abort();
  }
  return 0;
}
