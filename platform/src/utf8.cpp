#include "platform/src/utf8.h"

#include <cstdint>
#include <cstring>

#include "platform/src/plainText.h"

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

// One sequence at the front of `bytes` (not empty): the code point it encodes, or none when
// it is malformed; `length` bytes are used either way. A malformed sequence ends at the
// first byte that did not continue it, so decoding resynchronises there.
struct Sequence {
  char32_t codePoint;
  std::size_t length;
  bool valid;
};

Sequence readSequence(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const auto len = static_cast<std::size_t>(sequenceLength(lead));
  if (len == 1) return {lead, 1, true};
  char32_t c = lead & (0x7F >> len);
  std::size_t got = 1;
  for (; got < len && got < bytes.size(); ++got) {
    const auto b = static_cast<unsigned char>(bytes[got]);
    if ((b & 0xC0) != 0x80) break;
    c = (c << 6) | (b & 0x3F);
  }
  const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
  if (len == 0 || got != len || c < minimum || !isValidCodePoint(c)) return {0, got, false};
  return {c, len, true};
}

// Where decoded characters go: appended one by one, or written into a buffer sized for
// the worst case (one character per byte).
struct AppendTo {
  std::wstring& text;
  void put(wchar_t c) { text += c; }
};
struct WriteAt {
  wchar_t* at;
  void put(wchar_t c) { *at++ = c; }
};

template <bool kEscaped, typename Out>
void putMalformed(std::string_view sequence, Out& out) {
  if constexpr (kEscaped) {
    for (char b : sequence)
      out.put(static_cast<wchar_t>(kEscapeBase + static_cast<unsigned char>(b)));
  } else {
    out.put(static_cast<wchar_t>(kReplacement));
  }
}

template <bool kEscaped, typename Out>
std::size_t decodeSequence(std::string_view rest, Out& out) {
  const Sequence s = readSequence(rest);
  if (s.valid) {
    out.put(static_cast<wchar_t>(s.codePoint));
  } else {
    putMalformed<kEscaped>(rest.substr(0, s.length), out);
  }
  return s.length;
}

// The number of ASCII bytes at the front of `bytes`, each copied to `out` as it is; whole
// words are tested while they last.
std::size_t copyAscii(std::string_view bytes, wchar_t* out) {
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if (word & 0x8080808080808080u) break;
    // From a copy the stores below cannot change, so the eight go together.
    unsigned char block[8];
    std::memcpy(block, &word, sizeof block);
    for (std::size_t k = 0; k < 8; ++k) out[i + k] = block[k];
  }
  for (; i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80; ++i) {
    out[i] = static_cast<unsigned char>(bytes[i]);
  }
  return i;
}

template <bool kEscaped>
std::wstring decodeFast(std::string_view bytes) {
  // Most text is ASCII: widened in one pass, without filling the buffer first.
  if (asciiPrefixLength(bytes) == bytes.size()) return std::wstring(bytes.begin(), bytes.end());
  // No sequence yields more characters than it has bytes.
  std::wstring out(bytes.size(), L'\0');
  WriteAt to{out.data()};
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t ascii = copyAscii(bytes.substr(i), to.at);
    to.at += ascii;
    i += ascii;
    if (i < bytes.size()) i += decodeSequence<kEscaped>(bytes.substr(i), to);
  }
  out.resize(static_cast<std::size_t>(to.at - out.data()));
  return out;
}

template <bool kEscaped>
std::wstring decodePlain(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  AppendTo to{out};
  for (std::size_t i = 0; i < bytes.size();) i += decodeSequence<kEscaped>(bytes.substr(i), to);
  return out;
}

template <bool kEscaped>
void appendEncoded(wchar_t w, std::string& out) {
  const auto c = static_cast<char32_t>(w);
  if (kEscaped && isEscape(c)) {
    out += static_cast<char>(c - kEscapeBase);
  } else {
    appendUtf8(c, out);
  }
}

template <bool kEscaped>
std::string encodeFast(std::wstring_view text) {
  std::string out(text.size(), '\0');
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    // A copy the stores below cannot change, so the eight go together.
    wchar_t block[8];
    std::memcpy(block, text.data() + i, sizeof block);
    char32_t any = 0;
    for (wchar_t c : block) any |= static_cast<char32_t>(c);
    if (any >= 0x80) break;
    for (std::size_t k = 0; k < 8; ++k) out[i + k] = static_cast<char>(block[k]);
  }
  for (; i < text.size() && static_cast<char32_t>(text[i]) < 0x80; ++i) {
    out[i] = static_cast<char>(text[i]);
  }
  if (i == text.size()) return out;
  out.resize(i);
  for (; i < text.size(); ++i) appendEncoded<kEscaped>(text[i], out);
  return out;
}

template <bool kEscaped>
std::string encodePlain(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) appendEncoded<kEscaped>(w, out);
  return out;
}

}  // namespace

std::size_t asciiPrefixLength(std::string_view bytes) {
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if ((word & 0x8080808080808080u) != 0) break;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

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
  return encodeFast<false>(text);
}

std::wstring fromUtf8(std::string_view bytes) {
  return decodeFast<false>(bytes);
}

std::string toUtf8Escaped(std::wstring_view text) {
  return encodeFast<true>(text);
}

std::wstring fromUtf8Escaped(std::string_view bytes) {
  return decodeFast<true>(bytes);
}

namespace plain {

std::string toUtf8(std::wstring_view text) {
  return encodePlain<false>(text);
}

std::wstring fromUtf8(std::string_view bytes) {
  return decodePlain<false>(bytes);
}

std::string toUtf8Escaped(std::wstring_view text) {
  return encodePlain<true>(text);
}

std::wstring fromUtf8Escaped(std::string_view bytes) {
  return decodePlain<true>(bytes);
}

}  // namespace plain
}  // namespace platform
