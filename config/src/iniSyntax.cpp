#include "config/src/iniSyntax.h"

#include <cstring>

#include "config/src/iniFileStore.h"
#include "config/src/sectionPath.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/cLocale.h"
#include "platform/src/utf8.h"

namespace config::internal {
namespace {

// Space, tab, CR, LF, VT and FF.
bool isBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::optional<std::string_view> takeCompleteLine(std::string_view& text, bool final) {
  if (text.empty()) return std::nullopt;
  // Two scans that the C library runs a word at a time beat one byte loop testing for both.
  const char* begin = text.data();
  const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', text.size()));
  std::size_t end = lf ? static_cast<std::size_t>(lf - begin) : text.size();
  if (const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', end))) {
    end = static_cast<std::size_t>(cr - begin);
    // A CR that ends the bytes so far may be the first half of a CR LF.
    if (end + 1 == text.size() && !final) return std::nullopt;
  }
  if (end == text.size() && !final) return std::nullopt;
  const std::string_view line = text.substr(0, end);
  if (end == text.size()) {
    text = {};
  } else {
    text.remove_prefix(text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
  }
  return line;
}

std::optional<std::string_view> takeLine(std::string_view& text) {
  return takeCompleteLine(text, true);
}

std::string_view skipBlanks(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && isBlank(line[first])) ++first;
  return line.substr(first);
}

bool isComment(std::string_view rest, std::uint32_t flags) {
  return ((flags & IniFileStore::commentSlashes) && rest.starts_with("//")) ||
         ((flags & IniFileStore::commentHash) && rest.starts_with('#')) ||
         ((flags & IniFileStore::commentQuote) && rest.starts_with('\'')) ||
         ((flags & IniFileStore::commentSemicolon) && rest.starts_with(';'));
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
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::wstring key = platform::fromUtf8Escaped(line.substr(0, equals));
  // Trimmed in place: nearly every key has no blanks, and then nothing moves.
  const std::wstring_view trimmed = platform::trimSpaceC(key);
  if (trimmed.empty()) return std::nullopt;
  const auto begin = static_cast<std::size_t>(trimmed.data() - key.data());
  key.erase(begin + trimmed.size());
  key.erase(0, begin);
  return KeyLine{std::move(key), line.substr(equals + 1)};
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
