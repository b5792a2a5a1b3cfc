#include "lib/misc/src/urlEncode.h"

namespace misc {

std::string urlEncode(std::string_view bytes, std::string_view extra) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || ch == '%' || extra.find(ch) != std::string_view::npos) {
      out += '%';
      out += hex[b >> 4];
      out += hex[b & 0xF];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace misc
