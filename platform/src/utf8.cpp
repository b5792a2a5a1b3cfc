#include "platform/src/utf8.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A byte b that is no part of valid UTF-8 stands for itself as kEscapeBase + b (b >= 0x80).
constexpr char32_t kEscapeBase = 0xDC00;

bool isEscape(char32_t c) {
  return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

bool isValidCodePoint(char32_t c) {
  return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

// Length of the sequence a lead byte starts, 0 for a byte that cannot lead.
int sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Decodes `bytes`; each malformed sequence goes to `malformed`(its bytes, out).
template <typename Malformed>
std::wstring decode(std::string_view bytes, Malformed malformed) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const auto len = static_cast<std::size_t>(sequenceLength(lead));
    if (len == 1) {
      out += static_cast<wchar_t>(lead);
      ++i;
      continue;
    }
    char32_t c = lead & (0x7F >> len);
    std::size_t got = 1;
    for (; got < len && i + got < bytes.size(); ++got) {
      const auto b = static_cast<unsigned char>(bytes[i + got]);
      if ((b & 0xC0) != 0x80) break;
      c = (c << 6) | (b & 0x3F);
    }
    const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (len == 0 || got != len || c < minimum || !isValidCodePoint(c)) {
      // Resynchronise at the first byte that did not continue the sequence.
      malformed(bytes.substr(i, got), out);
      i += got;
      continue;
    }
    out += static_cast<wchar_t>(c);
    i += len;
  }
  return out;
}

}  // namespace

void appendUtf8(char32_t c, std::string& out) {
  if (!isValidCodePoint(c)) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string toUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) appendUtf8(static_cast<char32_t>(c), out);
  return out;
}

std::wstring fromUtf8(std::string_view bytes) {
  return decode(bytes, [](std::string_view, std::wstring& out) {
    out += static_cast<wchar_t>(kReplacement);
  });
}

std::string toUtf8Escaped(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) {
    const auto c = static_cast<char32_t>(w);
    if (isEscape(c)) {
      out += static_cast<char>(c - kEscapeBase);
    } else {
      appendUtf8(c, out);
    }
  }
  return out;
}

std::wstring fromUtf8Escaped(std::string_view bytes) {
  return decode(bytes, [](std::string_view sequence, std::wstring& out) {
    for (char b : sequence) {
      out += static_cast<wchar_t>(kEscapeBase + static_cast<unsigned char>(b));
    }
  });
}

}  // namespace platform
