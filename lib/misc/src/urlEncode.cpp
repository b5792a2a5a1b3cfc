#include "lib/misc/src/urlEncode.h"

namespace misc {
namespace {

bool needsEncoding(char ch, std::string_view extra) {
  return static_cast<unsigned char>(ch) < 0x20 || ch == '%' ||
         (!extra.empty() && extra.find(ch) != std::string_view::npos);
}

void appendEncodedByte(char ch, std::string& out) {
  static const char hex[] = "0123456789ABCDEF";
  const auto b = static_cast<unsigned char>(ch);
  out += '%';
  out += hex[b >> 4];
  out += hex[b & 0xF];
}

}  // namespace

std::string urlEncode(std::string_view bytes, std::string_view extra) {
  std::string out;
  out.reserve(bytes.size());
  appendUrlEncoded(bytes, extra, out);
  return out;
}

void appendUrlEncoded(std::string_view bytes, std::string_view extra, std::string& out) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!needsEncoding(bytes[i], extra)) continue;
    out.append(bytes, run, i - run);
    appendEncodedByte(bytes[i], out);
    run = i + 1;
  }
  out.append(bytes, run, bytes.size() - run);
}

namespace plain {

std::string urlEncode(std::string_view bytes, std::string_view extra) {
  std::string out;
  for (char ch : bytes) {
    if (needsEncoding(ch, extra)) {
      appendEncodedByte(ch, out);
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace plain

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string urlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
        hexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace misc
