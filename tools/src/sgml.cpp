#include "tools/src/sgml.h"

#include <map>
#include <unordered_map>

#include "lib/misc/src/readWriteLock.h"
#include "platform/src/cLocale.h"

namespace tools {
namespace {

struct EntityRow {
  const wchar_t* name;
  wchar_t code;
};

// In registration order.
constexpr EntityRow kRows[] = {
    {L"nbsp", 32},    {L"ensp", 8194},  {L"emsp", 8195},  {L"thinsp", 8201}, {L"lt", 60},
    {L"gt", 62},      {L"quot", 34},    {L"amp", 38},     {L"tilde", 126},   {L"circ", 94},
    {L"apos", 39},    {L"copy", 169},   {L"reg", 174},    {L"trade", 8482},  {L"cent", 162},
    {L"pound", 163},  {L"deg", 176},    {L"plusmn", 177}, {L"divide", 247},  {L"sup1", 185},
    {L"sup2", 178},   {L"sup3", 179},   {L"shy", 173},    {L"ndash", 8211},  {L"mdash", 8212},
    {L"lsquo", 8216}, {L"rsquo", 8217}, {L"sbquo", 8218}, {L"ldquo", 8220},  {L"rdquo", 8221},
    {L"bdquo", 8222}, {L"Agrave", 192}, {L"agrave", 224}, {L"Aacute", 193},  {L"aacute", 225},
    {L"Acirc", 194},  {L"acirc", 226},  {L"Atilde", 195}, {L"atilde", 227},  {L"Auml", 196},
    {L"auml", 228},   {L"Aring", 197},  {L"aring", 229},  {L"AElig", 198},   {L"aelig", 230},
    {L"Ccedil", 199}, {L"ccedil", 231}, {L"Egrave", 200}, {L"egrave", 232},  {L"Eacute", 201},
    {L"eacute", 233}, {L"Ecirc", 202},  {L"ecirc", 234},  {L"Euml", 203},    {L"euml", 235},
    {L"Igrave", 204}, {L"igrave", 236}, {L"Iacute", 205}, {L"iacute", 237},  {L"Icirc", 206},
    {L"icirc", 238},  {L"Iuml", 207},   {L"iuml", 239},   {L"Ntilde", 209},  {L"ntilde", 241},
    {L"Ograve", 210}, {L"ograve", 242}, {L"Oacute", 211}, {L"oacute", 243},  {L"Ocirc", 212},
    {L"ocirc", 244},  {L"Otilde", 213}, {L"otilde", 245}, {L"Ouml", 214},    {L"ouml", 246},
    {L"Oslash", 216}, {L"oslash", 248}, {L"Ugrave", 217}, {L"ugrave", 249},  {L"Uacute", 218},
    {L"uacute", 250}, {L"Ucirc", 219},  {L"ucirc", 251},  {L"Uuml", 220},    {L"uuml", 252},
    {L"Yacute", 221}, {L"yacute", 253},
};

constexpr char32_t kMaxCodePoint = 0x10FFFF;

class EntityTable {
 public:
  EntityTable() {
    misc::ScopedWriteLock guard(&lock_, PG_HERE);
    for (const EntityRow& row : kRows) {
      byName_.emplace(row.name, row.code);
      byCode_.emplace(row.code, row.name);
    }
  }

  misc::ReadWriteLock& lock() { return lock_; }
  // Callers hold the read lock.
  const std::map<std::wstring, wchar_t, std::less<>>& byName() const { return byName_; }
  const std::unordered_map<wchar_t, std::wstring>& byCode() const { return byCode_; }

 private:
  misc::ReadWriteLock lock_;
  std::map<std::wstring, wchar_t, std::less<>> byName_;
  std::unordered_map<wchar_t, std::wstring> byCode_;
};

EntityTable& table() {
  static EntityTable instance;
  return instance;
}

// Filled during static initialisation so that later readers never race the first use.
[[maybe_unused]] const EntityTable& kEagerTable = table();

int digitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  const wchar_t upper = platform::toUpperC(c);
  if (upper >= L'A' && upper <= L'F') return upper - L'A' + 10;
  return -1;
}

bool decodeNumeric(std::wstring_view text, std::size_t& cursor, wchar_t& code) {
  ++cursor;  // '#'
  char32_t base = 10;
  if (cursor < text.size() && platform::toUpperC(text[cursor]) == L'X') {
    base = 16;
    ++cursor;
  }
  const std::size_t first = cursor;
  char32_t value = 0;
  bool tooLarge = false;
  for (int digit; cursor < text.size() && (digit = digitValue(text[cursor])) >= 0; ++cursor) {
    value = value * base + static_cast<char32_t>(digit);
    if (value > kMaxCodePoint) {
      tooLarge = true;
      value = kMaxCodePoint + 1;  // keeps the product from overflowing
    }
  }
  if (cursor == first || tooLarge) return false;
  if (value >= 0xD800 && value <= 0xDFFF) return false;
  code = static_cast<wchar_t>(value);
  return true;
}

bool decodeNamed(std::wstring_view text, std::size_t& cursor, wchar_t& code) {
  const std::size_t first = cursor;
  while (cursor < text.size() && platform::isAlnumC(text[cursor])) ++cursor;
  if (cursor == first) return false;
  const std::optional<wchar_t> found = sgmlEntityCode(text.substr(first, cursor - first));
  if (!found) return false;
  code = *found;
  return true;
}

}  // namespace

std::wstring sgmlEncode(std::wstring_view text, std::optional<std::wstring_view> chars) {
  EntityTable& entities = table();
  misc::ScopedReadLock guard(&entities.lock(), PG_HERE);
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (chars && chars->find(c) == std::wstring_view::npos) {
      out += c;
      continue;
    }
    const auto found = entities.byCode().find(c);
    out += L'&';
    if (found != entities.byCode().end()) {
      out += found->second;
    } else {
      out += L'#';
      out += std::to_wstring(static_cast<std::uint32_t>(c));
    }
    out += L';';
  }
  return out;
}

bool sgmlDecodeReference(std::wstring_view text, std::size_t& cursor, wchar_t& code) {
  if (cursor > text.size()) return false;
  const bool numeric = cursor < text.size() && text[cursor] == L'#';
  if (!(numeric ? decodeNumeric(text, cursor, code) : decodeNamed(text, cursor, code))) {
    return false;
  }
  if (cursor < text.size() && text[cursor] == L';') ++cursor;
  return true;
}

std::optional<wchar_t> sgmlEntityCode(std::wstring_view name) {
  EntityTable& entities = table();
  misc::ScopedReadLock guard(&entities.lock(), PG_HERE);
  const auto found = entities.byName().find(name);
  if (found == entities.byName().end()) return std::nullopt;
  return found->second;
}

std::optional<std::wstring> sgmlEntityName(wchar_t code) {
  EntityTable& entities = table();
  misc::ScopedReadLock guard(&entities.lock(), PG_HERE);
  const auto found = entities.byCode().find(code);
  if (found == entities.byCode().end()) return std::nullopt;
  return found->second;
}

std::size_t sgmlEntityCount() {
  EntityTable& entities = table();
  misc::ScopedReadLock guard(&entities.lock(), PG_HERE);
  return entities.byCode().size();
}

}  // namespace tools
