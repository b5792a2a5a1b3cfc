#include "plugin/src/htmlReference.h"

#include <algorithm>

#include "plugin/src/htmlEntityTable.h"
#include "plugin/src/windows1252.h"

namespace plugin {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kBeyondUnicode = 0x110000;
// The longest name of the table, "CounterClockwiseContourIntegral".
constexpr std::size_t kLongestName = 31;

bool isAsciiAlphanumeric(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

int digitValue(wchar_t c, bool hex) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (!hex) return -1;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

char32_t repairedNumber(char32_t code) {
  if (code == 0 || code >= kBeyondUnicode || (code >= 0xD800 && code <= 0xDFFF)) {
    return kReplacement;
  }
  return windows1252High(code).value_or(static_cast<wchar_t>(code));
}

// `cursor` just after "&#".
bool decodeNumber(std::wstring_view html, std::size_t& cursor, std::wstring& out) {
  std::size_t i = cursor;
  const bool hex = i < html.size() && (html[i] == L'x' || html[i] == L'X');
  if (hex) ++i;
  const std::size_t digits = i;
  char32_t code = 0;
  for (int digit = 0; i < html.size() && (digit = digitValue(html[i], hex)) >= 0; ++i) {
    code =
        std::min<char32_t>(code * (hex ? 16 : 10) + static_cast<char32_t>(digit), kBeyondUnicode);
  }
  if (i == digits) return false;
  if (i < html.size() && html[i] == L';') ++i;
  out += static_cast<wchar_t>(repairedNumber(code));
  cursor = i;
  return true;
}

const HtmlEntity* entityNamed(std::string_view name) {
  const std::span<const HtmlEntity> table = htmlEntities();
  const auto found = std::lower_bound(
      table.begin(), table.end(), name,
      [](const HtmlEntity& entity, std::string_view key) { return entity.name < key; });
  return found != table.end() && found->name == name ? &*found : nullptr;
}

// `cursor` just after the '&'. With its ';' a name is the whole run of letters and digits;
// without, the longest start of the run that is a legacy name.
bool decodeName(std::wstring_view html, std::size_t& cursor, std::wstring& out,
                ReferencePlace place) {
  std::string run;
  std::size_t end = cursor;
  while (end < html.size() && isAsciiAlphanumeric(html[end]) && run.size() <= kLongestName) {
    run += static_cast<char>(html[end++]);
  }
  const HtmlEntity* entity = nullptr;
  std::size_t after = end;
  if (end < html.size() && html[end] == L';' && (entity = entityNamed(run))) {
    ++after;
  } else {
    std::size_t length = std::min(run.size(), kLongestName);
    for (; length > 0; --length) {
      entity = entityNamed(std::string_view(run).substr(0, length));
      if (entity && entity->legacy) break;
    }
    if (length == 0) return false;
    after = cursor + length;
    if (place == ReferencePlace::Attribute && after < html.size() &&
        (html[after] == L'=' || isAsciiAlphanumeric(html[after]))) {
      return false;
    }
  }
  out += static_cast<wchar_t>(entity->first);
  if (entity->second != 0) out += static_cast<wchar_t>(entity->second);
  cursor = after;
  return true;
}

}  // namespace

bool decodeHtmlReference(std::wstring_view html, std::size_t& cursor, std::wstring& out,
                         ReferencePlace place) {
  std::size_t at = cursor + 1;
  const bool decoded = at < html.size() && html[at] == L'#' ? decodeNumber(html, ++at, out)
                                                            : decodeName(html, at, out, place);
  if (decoded) cursor = at;
  return decoded;
}

}  // namespace plugin
