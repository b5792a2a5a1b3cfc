#include "plugin/src/htmlText.h"

#include <optional>

#include "plugin/src/literalPiece.h"

namespace plugin {
namespace {

bool isAsciiLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// Finds where markup ends in one text, front to back. Each search remembers its answer, so
// that many tags that never close cost one pass over the text, not one each.
class MarkupEnds {
 public:
  explicit MarkupEnds(std::wstring_view html) : html_(html) {}

  // Where the tag or comment starting at `i` ends, or `i` when no tag starts there. Calls
  // must come with `i` growing.
  std::size_t skip(std::size_t i) {
    if (i + 1 >= html_.size()) return i;
    const wchar_t next = html_[i + 1];
    if (html_.substr(i, 4) == L"<!--") {
      const std::size_t end = commentEnd_.at(html_, i + 4);
      return end == std::wstring_view::npos ? html_.size() : end + 3;
    }
    if (!isAsciiLetter(next) && next != L'/' && next != L'!' && next != L'?') return i;
    const std::size_t end = tagEnd_.at(html_, i + 1);
    return end == std::wstring_view::npos ? i : end + 1;
  }

 private:
  struct Search {
    std::wstring_view needle;
    std::optional<std::size_t> found;
    // The first occurrence at or after `from`, which an earlier answer may still be.
    std::size_t at(std::wstring_view html, std::size_t from) {
      if (!found || (*found != std::wstring_view::npos && *found < from)) {
        found = html.find(needle, from);
      }
      return *found;
    }
  };

  std::wstring_view html_;
  Search commentEnd_{L"-->", {}};
  Search tagEnd_{L">", {}};
};

// Whether the tag at `i` breaks a line, so that the words on either side stay apart.
bool breaksLine(std::wstring_view html, std::size_t i) {
  static constexpr std::wstring_view kTags[] = {L"br", L"p",  L"div", L"li", L"td", L"th",
                                                L"tr", L"h1", L"h2",  L"h3", L"h4", L"h5",
                                                L"h6", L"dd", L"dt",  L"hr"};
  std::size_t begin = i + 1;
  if (begin < html.size() && html[begin] == L'/') ++begin;
  std::size_t end = begin;
  while (end < html.size() &&
         (isAsciiLetter(html[end]) || (html[end] >= L'1' && html[end] <= L'6'))) {
    ++end;
  }
  std::wstring name;
  for (std::size_t k = begin; k < end; ++k) name += LiteralPiece::fold(html[k]);
  for (const std::wstring_view tag : kTags) {
    if (name == tag) return true;
  }
  return false;
}

}  // namespace

std::wstring decodeEntities(std::wstring_view html, ReferencePlace place) {
  std::wstring out;
  out.reserve(html.size());
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] != L'&' || !decodeHtmlReference(html, i, out, place)) out += html[i++];
  }
  return out;
}

std::wstring collapseSpace(std::wstring_view text) {
  std::wstring out;
  for (const wchar_t c : text) {
    if (!LiteralPiece::isSpace(c)) {
      out += c;
    } else if (!out.empty() && out.back() != L' ') {
      out += L' ';
    }
  }
  if (!out.empty() && out.back() == L' ') out.pop_back();
  return out;
}

std::wstring plainText(std::wstring_view html) {
  std::wstring text;
  MarkupEnds markup(html);
  for (std::size_t i = 0; i < html.size();) {
    const std::size_t end = html[i] == L'<' ? markup.skip(i) : i;
    if (end != i) {
      if (breaksLine(html, i)) text += L' ';
      i = end;
    } else {
      text += html[i++];
    }
  }
  return collapseSpace(decodeEntities(text, ReferencePlace::Text));
}

}  // namespace plugin
