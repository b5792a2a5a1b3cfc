// The inline case folding and the UTF-8 fast paths against their plain forms on the same
// input: a fast path must never change a byte. The first byte picks how the rest becomes
// wide text: a byte per character (ASCII-heavy, as names are) or four bytes per character
// (any value, also those no UTF-8 forms).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/src/cLocale.h"
#include "platform/src/plainText.h"
#include "platform/src/utf8.h"

namespace {

std::wstring wideFrom(std::string_view bytes, bool fourBytes) {
  std::wstring text;
  if (!fourBytes) {
    for (char b : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(b));
    return text;
  }
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    wchar_t c = 0;
    std::memcpy(&c, bytes.data() + i, 4);
    text += c;
  }
  return text;
}

int sign(int v) {
  return (v > 0) - (v < 0);
}

void check(bool same) {
  if (!same) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  check(platform::fromUtf8(bytes) == platform::plain::fromUtf8(bytes));
  check(platform::fromUtf8Escaped(bytes) == platform::plain::fromUtf8Escaped(bytes));

  const std::wstring text = wideFrom(bytes, data[0] & 1);
  check(platform::toUtf8(text) == platform::plain::toUtf8(text));
  check(platform::toUtf8Escaped(text) == platform::plain::toUtf8Escaped(text));

  // Two names: the halves of the text, and the text against its first half.
  const std::wstring_view all = text;
  const std::wstring_view a = all.substr(0, all.size() / 2);
  const std::wstring_view b = all.substr(all.size() / 2);
  for (const auto& [x, y] : {std::pair{a, b}, std::pair{all, a}, std::pair{b, b}}) {
    check(sign(platform::compareNoCase(x, y)) == sign(platform::plain::compareNoCase(x, y)));
  }
  for (wchar_t c : text) {
    check(platform::toUpperC(c) == platform::plain::toUpperC(c));
    check(platform::isSpaceC(c) == platform::plain::isSpaceC(c));
  }
  return 0;
}
