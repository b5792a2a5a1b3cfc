#include "platform/src/utf8.h"

#include <cstdint>
#include <cstring>

#include "platform/src/plainText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// The first byte of 0x80 or above among the `n` (4, 8 or 16) in `bytes`, or `n`; with `out`
// given, the `n` are also widened into it (those after such a byte too: the caller writes
// over them).
template <int n>
int widenBlock(__m128i bytes, wchar_t* out) {
  if (out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
    auto* to = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(to, _mm_unpacklo_epi16(low, zero));
    if constexpr (n >= 8) _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(low, zero));
    if constexpr (n == 16) {
      const __m128i high = _mm_unpackhi_epi8(bytes, zero);
      _mm_storeu_si128(to + 2, _mm_unpacklo_epi16(high, zero));
      _mm_storeu_si128(to + 3, _mm_unpackhi_epi16(high, zero));
    }
  }
  const auto mask = static_cast<unsigned>(_mm_movemask_epi8(bytes)) | (1u << n);
  return __builtin_ctz(mask);
}

// The `n` bytes at `at` in the low lanes.
template <int n>
__m128i loadBlock(const char* at) {
  if constexpr (n == 16) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  if constexpr (n == 8) return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
  std::int32_t word;
  std::memcpy(&word, at, sizeof word);
  return _mm_cvtsi32_si128(word);
}

// Blocks of `n` from the front, then one that ends with the bytes (it may overlap the last
// block, whose bytes are ASCII, so it is widened again to the same): no byte-at-a-time tail.
template <int n>
std::size_t scanBlocks(std::string_view bytes, wchar_t* out) {
  std::size_t i = 0;
  for (; i + n <= bytes.size(); i += n) {
    const int ascii = widenBlock<n>(loadBlock<n>(bytes.data() + i), out ? out + i : nullptr);
    if (ascii < n) return i + static_cast<std::size_t>(ascii);
  }
  if (i == bytes.size()) return i;
  const std::size_t last = bytes.size() - n;
  return last + static_cast<std::size_t>(
                    widenBlock<n>(loadBlock<n>(bytes.data() + last), out ? out + last : nullptr));
}
#endif

// The number of ASCII bytes at the front of `bytes`, each widened into `out` when it is
// given. `out` has room for all of `bytes`; past the count it may be written to.
inline std::size_t scanAscii(std::string_view bytes, wchar_t* out) {
#if defined(__SSE2__)
  if (bytes.size() >= 16) return scanBlocks<16>(bytes, out);
  if (bytes.size() >= 8) return scanBlocks<8>(bytes, out);
  if (bytes.size() >= 4) return scanBlocks<4>(bytes, out);
  std::size_t i = 0;
#else
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if (word & 0x8080808080808080u) break;
    if (!out) continue;
    // From a copy the stores below cannot change, so the eight go together.
    unsigned char block[8];
    std::memcpy(block, &word, sizeof block);
    for (std::size_t k = 0; k < 8; ++k) out[i + k] = block[k];
  }
#endif
  for (; i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80; ++i) {
    if (out) out[i] = static_cast<unsigned char>(bytes[i]);
  }
  return i;
}

// Decodes what follows the first `done` bytes (widened into `out` already) and cuts `out`
// to the characters it holds; out of line, so that the ASCII path stays small.
template <bool kEscaped>
[[gnu::noinline]] void decodeRest(std::string_view bytes, std::size_t done, std::wstring& out) {
  WriteAt to{out.data() + done};
  for (std::size_t i = done; i < bytes.size();) {
    i += decodeSequence<kEscaped>(bytes.substr(i), to);
    const std::size_t ascii = scanAscii(bytes.substr(i), to.at);
    to.at += ascii;
    i += ascii;
  }
  out.resize(static_cast<std::size_t>(to.at - out.data()));
}

template <bool kEscaped>
std::wstring decodeFast(std::string_view bytes) {
  // No sequence yields more characters than it has bytes. Most text is ASCII: then the one
  // pass that tests the bytes also widens them, and nothing is cut off at the end.
  std::wstring out(bytes.size(), L'\0');
  const std::size_t ascii = scanAscii(bytes, out.data());
  if (ascii < bytes.size()) decodeRest<kEscaped>(bytes, ascii, out);
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
  return scanAscii(bytes, nullptr);
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

std::size_t validUtf8Length(std::string_view bytes) {
  std::size_t i = scanAscii(bytes, nullptr);
  while (i < bytes.size()) {
    const Sequence s = readSequence(bytes.substr(i));
    if (!s.valid) break;
    i += s.length;
    i += scanAscii(bytes.substr(i), nullptr);
  }
  return i;
}

namespace {

// Hands `repair` each well-formed run of `bytes` and each malformed sequence in turn.
template <typename Repair>
void eachRun(std::string_view bytes, Repair repair) {
  while (!bytes.empty()) {
    const std::size_t valid = validUtf8Length(bytes);
    const std::size_t bad = valid < bytes.size() ? readSequence(bytes.substr(valid)).length : 0;
    repair(bytes.substr(0, valid), bytes.substr(valid, bad));
    bytes.remove_prefix(valid + bad);
  }
}

}  // namespace

std::string repairedUtf8(std::string_view bytes, char32_t (*forByte)(unsigned char)) {
  // Sized exactly first: a text the size of a page must not grow by copying itself.
  std::size_t size = 0;
  std::string character;
  eachRun(bytes, [&](std::string_view valid, std::string_view malformed) {
    size += valid.size();
    for (char b : malformed) {
      character.clear();
      appendUtf8(forByte(static_cast<unsigned char>(b)), character);
      size += character.size();
    }
  });
  std::string out;
  out.reserve(size);
  eachRun(bytes, [&](std::string_view valid, std::string_view malformed) {
    out.append(valid);
    for (char b : malformed) appendUtf8(forByte(static_cast<unsigned char>(b)), out);
  });
  return out;
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
