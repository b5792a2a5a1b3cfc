#include "plugin/src/pageText.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/src/iconvDecoder.h"
#include "platform/src/utf8.h"
#include "plugin/src/windows1252.h"

namespace plugin {
namespace {

constexpr std::size_t kPrescanBytes = 1024;

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

bool isLabelCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

// The label after "charset" in one meta tag, lower case; empty when there is none.
std::string charsetIn(std::string_view tag) {
  for (std::size_t at = tag.find("charset"); at != std::string_view::npos;
       at = tag.find("charset", at + 1)) {
    std::size_t i = at + 7;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n')) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '"' || tag[i] == '\'')) ++i;
    const std::size_t begin = i;
    while (i < tag.size() && isLabelCharacter(tag[i])) ++i;
    if (i > begin) return std::string(tag.substr(begin, i - begin));
  }
  return {};
}

std::string declaredCharset(std::string_view bytes) {
  const std::string head = lowered(bytes.substr(0, kPrescanBytes));
  for (std::size_t at = head.find("<meta"); at != std::string::npos;
       at = head.find("<meta", at + 5)) {
    const std::size_t end = head.find('>', at);
    const std::string label =
        charsetIn(std::string_view(head).substr(at, end == std::string::npos ? end : end - at));
    if (!label.empty()) return label;
  }
  return {};
}

// A byte that is no part of valid UTF-8, as the decoder leaves it: U+DC80..U+DCFF.
bool isStrayByte(wchar_t c) {
  return static_cast<std::uint32_t>(c) - 0xDC80 < 0x80;
}

void readAsWindows1252(wchar_t& c) {
  if (!isStrayByte(c)) return;
  const wchar_t byte = c - 0xDC00;
  c = byte < 0xA0 ? windows1252High(static_cast<char32_t>(byte)).value_or(L'\uFFFD') : byte;
}

std::wstring utf8OrWindows1252(std::string_view bytes) {
  std::wstring text = platform::fromUtf8Escaped(bytes);
  // Before the first byte above ASCII the text is the bytes, with nothing stray.
  for (std::size_t i = platform::asciiPrefixLength(bytes); i < text.size(); ++i) {
    readAsWindows1252(text[i]);
  }
  return text;
}

std::wstring decodeWith(const char* charset, std::string_view bytes, std::size_t unitBytes = 1) {
  platform::IconvDecoder decoder(charset, unitBytes);
  return decoder.decode(bytes);
}

bool isWindows1252Label(std::string_view label) {
  static constexpr std::string_view kLabels[] = {
      "iso-8859-1", "iso8859-1", "latin1",       "l1",       "us-ascii",
      "ascii",      "cp1252",    "windows-1252", "x-cp1252", "iso_8859-1"};
  for (const std::string_view known : kLabels) {
    if (label == known) return true;
  }
  return false;
}

// The page read in the character set `label` names; none when that set is not known here.
std::optional<std::wstring> decodedAs(const std::string& label, std::string_view bytes) {
  if (label == "utf-8" || label == "utf8") return utf8OrWindows1252(bytes);
  if (label == "utf-16" || label == "utf-16le") return decodeWith("UTF-16LE", bytes, 2);
  if (label == "utf-16be") return decodeWith("UTF-16BE", bytes, 2);
  if (isWindows1252Label(label)) return decodeWith("CP1252", bytes);
  platform::IconvDecoder decoder(label);
  if (!decoder.valid()) return std::nullopt;
  return decoder.decode(bytes);
}

}  // namespace

PageText decodePage(std::string_view bytes, std::wstring_view contentType) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return {utf8OrWindows1252(bytes.substr(3)), {}};
  if (bytes.starts_with("\xFF\xFE")) return {decodeWith("UTF-16LE", bytes.substr(2), 2), {}};
  if (bytes.starts_with("\xFE\xFF")) return {decodeWith("UTF-16BE", bytes.substr(2), 2), {}};

  // A set unknown here counts as none, and the page's own word is asked next.
  std::optional<std::wstring> unknown;
  const std::string transport = charsetIn(lowered(platform::toUtf8(contentType)));
  if (!transport.empty()) {
    if (std::optional<std::wstring> text = decodedAs(transport, bytes)) {
      return {std::move(*text), {}};
    }
    unknown = platform::fromUtf8(transport);
  }
  const std::string label = declaredCharset(bytes);
  if (!label.empty() && !label.starts_with("utf-16")) {
    if (std::optional<std::wstring> text = decodedAs(label, bytes)) {
      return {std::move(*text), {}};
    }
    if (!unknown) unknown = platform::fromUtf8(label);
  }
  return {utf8OrWindows1252(bytes), std::move(unknown)};
}

}  // namespace plugin
