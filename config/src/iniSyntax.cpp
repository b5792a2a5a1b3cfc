#include "config/src/iniSyntax.h"

#include "config/src/iniFileStore.h"
#include "config/src/sectionPath.h"
#include "platform/src/cLocale.h"
#include "platform/src/utf8.h"

namespace config::internal {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

}  // namespace

std::optional<std::string_view> takeLine(std::string_view& text) {
  if (text.empty()) return std::nullopt;
  const auto end = text.find_first_of("\r\n");
  const std::string_view line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = {};
  } else {
    text.remove_prefix(text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
  }
  return line;
}

std::string_view skipBlanks(std::string_view line) {
  const auto first = line.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view() : line.substr(first);
}

bool isComment(std::string_view rest, std::uint32_t flags) {
  return ((flags & IniFileStore::commentSlashes) && rest.starts_with("//")) ||
         ((flags & IniFileStore::commentHash) && rest.starts_with('#')) ||
         ((flags & IniFileStore::commentQuote) && rest.starts_with('\'')) ||
         ((flags & IniFileStore::commentSemicolon) && rest.starts_with(';'));
}

std::optional<std::string_view> headerText(std::string_view rest) {
  if (!rest.starts_with('[')) return std::nullopt;
  const auto last = rest.find_last_not_of(kBlanks);
  if (last == std::string_view::npos || last < 2 || rest[last] != ']') return std::nullopt;
  return rest.substr(1, last - 1);
}

std::optional<KeyLine> parseKeyLine(std::string_view line, std::uint32_t flags) {
  const std::string_view rest = skipBlanks(line);
  if (rest.empty() || isComment(rest, flags) || rest.starts_with('[')) return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::wstring key(platform::trimSpaceC(platform::fromUtf8Escaped(line.substr(0, equals))));
  if (key.empty()) return std::nullopt;
  return KeyLine{std::move(key), line.substr(equals + 1)};
}

bool keyReadsBack(const std::wstring& key, std::uint32_t flags) {
  const std::string line = platform::toUtf8Escaped(key) + "=";
  if (line.find_first_of("\r\n") != std::string::npos) return false;  // it would split
  const auto parsed = parseKeyLine(line, flags);
  return parsed && parsed->key == key && parsed->rawValue.empty();
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
