#include "config/src/iniSyntax.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "config/src/iniFileStore.h"
#include "config/src/sectionPath.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/cLocale.h"
#include "platform/src/utf8.h"

namespace config::internal {
namespace {

// Where the first CR or LF of `text` is, or its size; 16 bytes are tested at a time where
// SSE2 is there.
inline std::size_t lineEndIn(std::string_view text) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const auto endsIn = [&](std::size_t at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')))));
  };
  if (text.size() >= 16) {
    for (; i + 16 <= text.size(); i += 16) {
      if (const unsigned found = endsIn(i))
        return i + static_cast<std::size_t>(__builtin_ctz(found));
    }
    // The last 16 bytes, overlapping those without a line end: no byte-at-a-time tail.
    const std::size_t last = text.size() - 16;
    const unsigned found = endsIn(last);
    return found ? last + static_cast<std::size_t>(__builtin_ctz(found)) : text.size();
  }
#endif
  while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
  return i;
}

// The line ending at `end` (a CR, an LF or the end of `text`) cut off `text` with its line
// end, as takeCompleteLine does.
inline std::optional<std::string_view> cutLine(std::string_view& text, std::size_t end,
                                               bool final) {
  if (end == text.size()) {
    if (!final) return std::nullopt;
    const std::string_view line = text;
    text = {};
    return line;
  }
  const bool cr = text[end] == '\r';
  // A CR that ends the bytes so far may be the first half of a CR LF.
  if (cr && end + 1 == text.size() && !final) return std::nullopt;
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(cr && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1);
  return line;
}

}  // namespace

std::optional<std::string_view> takeCompleteLine(std::string_view& text, bool final) {
  if (text.empty()) return std::nullopt;
  return cutLine(text, lineEndIn(text), final);
}

namespace plain {

std::optional<std::string_view> takeCompleteLine(std::string_view& text, bool final) {
  if (text.empty()) return std::nullopt;
  std::size_t end = 0;
  while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
  return cutLine(text, end, final);
}

}  // namespace plain

std::optional<std::string_view> takeLine(std::string_view& text) {
  return takeCompleteLine(text, true);
}

bool isComment(std::string_view rest, std::uint32_t flags) {
  // Decided by the first byte, which for nearly every line starts none of them.
  if (rest.empty()) return false;
  switch (rest.front()) {
    case '/':
      return (flags & IniFileStore::commentSlashes) && rest.starts_with("//");
    case '#':
      return (flags & IniFileStore::commentHash) != 0;
    case '\'':
      return (flags & IniFileStore::commentQuote) != 0;
    case ';':
      return (flags & IniFileStore::commentSemicolon) != 0;
    default:
      return false;
  }
}

std::optional<std::string_view> headerText(std::string_view rest) {
  if (!rest.starts_with('[')) return std::nullopt;
  std::size_t end = rest.size();
  while (end > 0 && isBlank(rest[end - 1])) --end;
  if (end < 3 || rest[end - 1] != ']') return std::nullopt;
  return rest.substr(1, end - 2);
}

std::optional<KeyLine> parseKeyLine(std::string_view line, std::uint32_t flags) {
  const std::string_view rest = skipBlanks(line);
  if (rest.empty() || isComment(rest, flags) || rest.starts_with('[')) return std::nullopt;
  // A blank is no '=', so the key starts where the blanks end.
  const auto equals = rest.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  // ASCII blanks go before decoding, which they never take part in; the wide trim is left
  // for keys that end in other characters, which may be blanks of their own.
  std::string_view keyBytes = rest.substr(0, equals);
  while (!keyBytes.empty() && isBlank(keyBytes.back())) keyBytes.remove_suffix(1);
  if (keyBytes.empty()) return std::nullopt;
  std::wstring key = platform::fromUtf8Escaped(keyBytes);
  if (key.front() >= 0x80 || key.back() >= 0x80) {
    const std::wstring_view trimmed = platform::trimSpaceC(key);
    if (trimmed.empty()) return std::nullopt;
    key = std::wstring(trimmed);
  }
  return KeyLine{std::move(key), rest.substr(equals + 1)};
}

std::wstring decodeValue(std::string_view rawValue) {
  if (rawValue.find('%') == std::string_view::npos) return platform::fromUtf8Escaped(rawValue);
  return platform::fromUtf8Escaped(misc::urlDecode(rawValue));
}

bool keyReadsBack(const std::wstring& key, std::uint32_t flags) {
  const std::string line = platform::toUtf8Escaped(key) + "=";
  if (line.find_first_of("\r\n") != std::string::npos) return false;  // it would split
  const auto parsed = parseKeyLine(line, flags);
  return parsed && parsed->key == key && parsed->rawValue.empty();
}

bool keyBytesReadBack(const std::wstring& key, std::string_view keyBytes, std::uint32_t flags) {
  // Outside ASCII, decoding and trimming may change a name: the whole reader decides.
  if (keyBytes.size() != key.size() || platform::asciiPrefixLength(keyBytes) != keyBytes.size()) {
    return keyReadsBack(key, flags);
  }
  return !keyBytes.empty() && !isBlank(keyBytes.front()) && !isBlank(keyBytes.back()) &&
         keyBytes.find_first_of("\r\n=") == std::string_view::npos && !isComment(keyBytes, flags) &&
         !keyBytes.starts_with('[');
}

bool writesMarkFirst(const std::wstring& key) {
  return key.starts_with(L'\uFEFF');
}

bool sectionNameReadsBack(const std::wstring& name) {
  if (name.find_first_of(L"\r\n") != std::wstring::npos) return false;
  // Escaped bytes that together form UTF-8 would read back as the character they form.
  if (platform::fromUtf8Escaped(platform::toUtf8Escaped(name)) != name) return false;
  const auto piece = firstPathPiece(name);
  return piece && !piece->rest && piece->piece == name;
}

bool blockLineReadsBack(std::string_view line) {
  return !skipBlanks(line).starts_with('[') && line.find('\r') == std::string_view::npos;
}

}  // namespace config::internal
