#include "plugin/src/rssWriter.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/src/utf8.h"
#include "plugin/src/literalPiece.h"

namespace plugin {
namespace {

constexpr bool allowedInXml(wchar_t c) {
  if (c < 0x20) return c == L'\t' || c == L'\n' || c == L'\r';
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

// How each ASCII character is written: itself, an entity, or nothing (control characters
// XML cannot carry). Eight bytes each, so that one store writes any of them.
struct AsciiForm {
  char bytes[8];
  std::size_t length;
};

constexpr std::array<AsciiForm, 128> asciiForms() {
  std::array<AsciiForm, 128> forms{};
  for (std::size_t c = 0; c < forms.size(); ++c) {
    if (c >= 0x20 || allowedInXml(static_cast<wchar_t>(c))) {
      forms[c] = {{static_cast<char>(c)}, 1};
    }
  }
  forms['&'] = {{'&', 'a', 'm', 'p', ';'}, 5};
  forms['<'] = {{'&', 'l', 't', ';'}, 4};
  forms['>'] = {{'&', 'g', 't', ';'}, 4};
  forms['"'] = {{'&', 'q', 'u', 'o', 't', ';'}, 6};
  return forms;
}

constexpr std::array<AsciiForm, 128> kAsciiForms = asciiForms();

// Escapes a block at a time into a buffer on the stack: a character costs a table look-up
// and a store, not a growth check of `out`.
void appendEscaped(std::string& out, std::wstring_view text) {
  constexpr std::size_t kBlock = 512;
  // Room for a block of the longest form, "&quot;", plus a whole form's overhang.
  char buffer[kBlock * 6 + sizeof(AsciiForm::bytes)];
  for (std::size_t begin = 0; begin < text.size(); begin += kBlock) {
    char* at = buffer;
    for (const wchar_t c : text.substr(begin, kBlock)) {
      const auto code = static_cast<std::uint32_t>(c);
      if (code < kAsciiForms.size()) {
        const AsciiForm& form = kAsciiForms[code];
        std::memcpy(at, form.bytes, sizeof form.bytes);
        at += form.length;
      } else if (allowedInXml(c)) {
        out.append(buffer, at);
        at = buffer;
        platform::appendUtf8(static_cast<char32_t>(c), out);
      }
    }
    out.append(buffer, at);
  }
}

void element(std::string& out, const char* name, std::wstring_view text, const char* indent) {
  out += indent;
  out += '<';
  out += name;
  out += '>';
  appendEscaped(out, text);
  out += "</";
  out += name;
  out += ">\n";
}

void optionalElement(std::string& out, const char* name, std::wstring_view text) {
  if (!text.empty()) element(out, name, text, "      ");
}

// A comment may hold any character but a "--" pair, nor end with "-": each "-" after
// another gets a blank before it, and a last one a blank after it. Line breaks become
// blanks, so that the comment is one line.
void warningComment(std::string& out, std::wstring_view text) {
  out += "    <!-- warning: ";
  bool afterDash = false;
  for (wchar_t c : text) {
    if (c == L'\n' || c == L'\r') c = L' ';
    if (!allowedInXml(c)) continue;
    if (c == L'-' && afterDash) out += ' ';
    afterDash = c == L'-';
    platform::appendUtf8(static_cast<char32_t>(c), out);
  }
  if (afterDash) out += ' ';
  out += " -->\n";
}

// RSS 2.0 wants an e-mail address in <author>: a word with "@" inside and a dot after it.
bool holdsEmailAddress(std::wstring_view text) {
  for (std::size_t at = text.find(L'@'); at != std::wstring_view::npos;
       at = text.find(L'@', at + 1)) {
    if (at == 0 || LiteralPiece::isSpace(text[at - 1])) continue;
    const std::wstring_view domain = text.substr(at + 1);
    const std::size_t dot = domain.find(L'.');
    const std::size_t blank = domain.find_first_of(L" \t\r\n");
    if (dot != std::wstring_view::npos && dot > 0 && dot + 1 < domain.size() &&
        (blank == std::wstring_view::npos || dot + 1 < blank)) {
      return true;
    }
  }
  return false;
}

const char* imageType(std::wstring_view url) {
  static constexpr std::pair<std::wstring_view, const char*> kTypes[] = {
      {L".png", "image/png"},     {L".gif", "image/gif"},   {L".webp", "image/webp"},
      {L".svg", "image/svg+xml"}, {L".avif", "image/avif"}, {L".jpg", "image/jpeg"},
      {L".jpeg", "image/jpeg"}};
  std::wstring path(url.substr(0, url.find_first_of(L"?#")));
  for (wchar_t& c : path) c = LiteralPiece::fold(c);
  for (const auto& [extension, type] : kTypes) {
    if (path.ends_with(extension)) return type;
  }
  return "image/jpeg";
}

void writeItem(std::string& out, const FeedItem& item) {
  out += "    <item>\n";
  // An item needs a title or a description; an empty one of them is left out.
  if (!item.title.empty() || item.description.empty()) {
    element(out, "title", item.title, "      ");
  }
  optionalElement(out, "link", item.link);
  optionalElement(out, "description", item.description);
  optionalElement(out, holdsEmailAddress(item.author) ? "author" : "dc:creator", item.author);
  if (!item.image.empty()) {
    out += "      <enclosure url=\"";
    appendEscaped(out, item.image);
    out += "\" length=\"0\" type=\"";
    out += imageType(item.image);
    out += "\"/>\n";
  }
  optionalElement(out, "guid", item.link);
  optionalElement(out, "pubDate", item.pubDate);
  out += "    </item>\n";
}

}  // namespace

RssWriter::RssWriter(std::ostream& out, const Feed& channel,
                     const std::vector<std::wstring>& warnings)
    : out_(out) {
  buffer_.reserve(2 * kPartBytes);
  buffer_ +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n  <channel>\n";
  for (const std::wstring& warning : warnings) warningComment(buffer_, warning);
  element(buffer_, "title", channel.title, "    ");
  element(buffer_, "link", channel.link, "    ");
  element(buffer_, "description", channel.description, "    ");
  element(buffer_, "generator", L"PageGlean " PG_PLUGIN_VERSION, "    ");
  element(buffer_, "lastBuildDate", channel.lastBuildDate, "    ");
}

void RssWriter::item(const FeedItem& feedItem) {
  writeItem(buffer_, feedItem);
  if (buffer_.size() < kPartBytes) return;
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

void RssWriter::finish() {
  buffer_ += "  </channel>\n</rss>\n";
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  out_.flush();
}

}  // namespace plugin
