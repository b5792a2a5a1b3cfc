#include "platform/inet/src/urlText.h"

namespace platform::inet::internal {
namespace {

void appendEscaped(unsigned char byte, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string urlOrigin(std::string_view scheme, std::string_view host, std::uint16_t port) {
  std::string url(scheme);
  url += "://";
  const bool ipv6 = host.find(':') != std::string_view::npos && !host.starts_with('[');
  if (ipv6) url += '[';
  url += host;
  if (ipv6) url += ']';
  url += ':';
  url += std::to_string(port);
  return url;
}

std::string escapeObjectName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      appendEscaped(byte, out);
    } else {
      out += c;
    }
  }
  return out;
}

std::string escapeFtpPath(std::string_view path) {
  std::string out;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (isUnreserved(byte) || c == '/') {
      out += c;
    } else {
      appendEscaped(byte, out);
    }
  }
  return out;
}

}  // namespace platform::inet::internal
