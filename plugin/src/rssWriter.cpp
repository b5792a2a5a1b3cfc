#include "plugin/src/rssWriter.h"

#include <string_view>

#include "platform/src/utf8.h"
#include "plugin/src/literalPiece.h"

namespace plugin {
namespace {

bool allowedInXml(wchar_t c) {
  if (c < 0x20) return c == L'\t' || c == L'\n' || c == L'\r';
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

std::string escaped(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    switch (c) {
      case L'&':
        out += "&amp;";
        break;
      case L'<':
        out += "&lt;";
        break;
      case L'>':
        out += "&gt;";
        break;
      case L'"':
        out += "&quot;";
        break;
      default:
        if (c < 0x80 && c >= 0x20) {
          out += static_cast<char>(c);
        } else if (allowedInXml(c)) {
          platform::appendUtf8(static_cast<char32_t>(c), out);
        }
    }
  }
  return out;
}

void element(std::string& out, const char* name, std::wstring_view text, const char* indent) {
  out += indent;
  out += '<';
  out += name;
  out += '>';
  out += escaped(text);
  out += "</";
  out += name;
  out += ">\n";
}

void optionalElement(std::string& out, const char* name, std::wstring_view text) {
  if (!text.empty()) element(out, name, text, "      ");
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

void item(std::string& out, const FeedItem& item) {
  out += "    <item>\n";
  element(out, "title", item.title, "      ");
  optionalElement(out, "link", item.link);
  optionalElement(out, "description", item.description);
  optionalElement(out, "author", item.author);
  if (!item.image.empty()) {
    out += "      <enclosure url=\"" + escaped(item.image) + "\" length=\"0\" type=\"" +
           imageType(item.image) + "\"/>\n";
  }
  optionalElement(out, "guid", item.link);
  optionalElement(out, "pubDate", item.pubDate);
  out += "    </item>\n";
}

}  // namespace

std::string writeRss(const Feed& feed) {
  std::size_t estimate = 512;
  for (const FeedItem& i : feed.items) {
    estimate += 256 + i.title.size() + 2 * i.link.size() + i.description.size() * 5 / 4 +
                i.author.size() + i.image.size();
  }
  std::string out;
  out.reserve(estimate);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n  <channel>\n";
  element(out, "title", feed.title, "    ");
  element(out, "link", feed.link, "    ");
  element(out, "description", feed.description, "    ");
  element(out, "generator", L"PageGlean " PG_PLUGIN_VERSION, "    ");
  element(out, "lastBuildDate", feed.lastBuildDate, "    ");
  for (const FeedItem& i : feed.items) item(out, i);
  out += "  </channel>\n</rss>\n";
  return out;
}

}  // namespace plugin
