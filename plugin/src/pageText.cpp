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

// A byte of a page that is not part of valid UTF-8, read as Windows-1252.
char32_t windows1252Byte(unsigned char byte) {
  return byte < 0xA0 ? windows1252High(byte).value_or(L'\uFFFD') : byte;
}

std::string utf8OrWindows1252(std::string bytes) {
  if (platform::validUtf8Length(bytes) == bytes.size()) return bytes;
  return platform::repairedUtf8(bytes, windows1252Byte);
}

std::string decodeWith(const char* charset, std::string_view bytes, std::size_t unitBytes = 1) {
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
// `bytes` is moved from only when the page is returned.
std::optional<std::string> decodedAs(const std::string& label, std::string& bytes) {
  if (label == "utf-8" || label == "utf8") return utf8OrWindows1252(std::move(bytes));
  if (label == "utf-16" || label == "utf-16le") return decodeWith("UTF-16LE", bytes, 2);
  if (label == "utf-16be") return decodeWith("UTF-16BE", bytes, 2);
  if (isWindows1252Label(label)) return decodeWith("CP1252", bytes);
  platform::IconvDecoder decoder(label);
  if (!decoder.valid()) return std::nullopt;
  return decoder.decode(bytes);
}

}  // namespace

PageText decodePage(std::string bytes, std::wstring_view contentType) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    return {utf8OrWindows1252(std::move(bytes.erase(0, 3))), {}};
  const std::string_view view(bytes);
  if (view.starts_with("\xFF\xFE")) return {decodeWith("UTF-16LE", view.substr(2), 2), {}};
  if (view.starts_with("\xFE\xFF")) return {decodeWith("UTF-16BE", view.substr(2), 2), {}};

  // A set unknown here counts as none, and the page's own word is asked next.
  std::optional<std::wstring> unknown;
  const std::string transport = charsetIn(lowered(platform::toUtf8(contentType)));
  if (!transport.empty()) {
    if (std::optional<std::string> text = decodedAs(transport, bytes)) {
      return {std::move(*text), {}};
    }
    unknown = platform::fromUtf8(transport);
  }
  const std::string label = declaredCharset(bytes);
  if (!label.empty() && !label.starts_with("utf-16")) {
    if (std::optional<std::string> text = decodedAs(label, bytes)) {
      return {std::move(*text), {}};
    }
    if (!unknown) unknown = platform::fromUtf8(label);
  }
  return {utf8OrWindows1252(std::move(bytes)), std::move(unknown)};
}

}  // namespace plugin
