#include "plugin/src/elementDepth.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace plugin {
namespace {

using Names = std::initializer_list<std::string_view>;

const Names kVoid = {"area",  "base",  "basefont", "bgsound", "br",    "col",    "embed",
                     "frame", "hr",    "image",    "img",     "input", "keygen", "link",
                     "meta",  "param", "source",   "track",   "wbr"};
// Their content is text up to their end tag.
const Names kRawText = {"iframe", "noembed",  "noframes", "script",
                        "style",  "textarea", "title",    "xmp"};
// Start tags that close an open <p>.
const Names kClosesP = {
    "address", "article", "aside",   "blockquote", "center",   "dd",         "details", "dialog",
    "dir",     "div",     "dl",      "dt",         "fieldset", "figcaption", "figure",  "footer",
    "form",    "h1",      "h2",      "h3",         "h4",       "h5",         "h6",      "header",
    "hgroup",  "li",      "listing", "main",       "menu",     "nav",        "ol",      "p",
    "pre",     "section", "summary", "table",      "ul"};
// What an implied end does not look past.
const Names kScope = {"applet", "button", "caption", "html",     "marquee",
                      "object", "table",  "td",      "template", "th"};
const Names kHeadings = {"h1", "h2", "h3", "h4", "h5", "h6"};
// HTML start tags that end SVG or MathML content and are read as HTML again.
const Names kBreakout = {
    "b",      "big",    "blockquote", "body",  "br",    "center", "code", "dd",      "div",
    "dl",     "dt",     "em",         "embed", "font",  "h1",     "h2",   "h3",      "h4",
    "h5",     "h6",     "head",       "hr",    "i",     "img",    "li",   "listing", "menu",
    "meta",   "nobr",   "ol",         "p",     "pre",   "ruby",   "s",    "small",   "span",
    "strong", "strike", "sub",        "sup",   "table", "tt",     "u",    "ul",      "var"};

bool isIn(std::string_view name, Names names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isLetter(char c) {
  return (lower(c) >= 'a' && lower(c) <= 'z');
}

bool isTagSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/';
}

// `html` from `from` on, searched for `needle` ignoring ASCII case; the size when absent.
std::size_t findNoCase(std::string_view html, std::string_view needle, std::size_t from) {
  const auto at = std::search(html.begin() + static_cast<long>(std::min(from, html.size())),
                              html.end(), needle.begin(), needle.end(),
                              [](char a, char b) { return lower(a) == lower(b); });
  return static_cast<std::size_t>(at - html.begin());
}

class Pass {
 public:
  Pass(std::string_view html, std::size_t limit) : html_(html), limit_(limit) {}

  std::size_t run() {
    std::size_t i = 0;
    while (deepest_ <= limit_ && (i = html_.find('<', i)) != std::string_view::npos) {
      i = markup(i);
    }
    return deepest_;
  }

 private:
  // Reads the markup at `i` (a '<'); returns where the text after it starts.
  std::size_t markup(std::size_t i) {
    const std::string_view rest = html_.substr(i);
    if (rest.starts_with("<!--")) return endOf(findNoCase(html_, "-->", i + 4), 3);
    if (rest.size() < 2) return html_.size();
    if (rest[1] == '!' || rest[1] == '?') return endOf(html_.find('>', i), 1);
    const bool end = rest[1] == '/';
    const std::size_t nameStart = i + (end ? 2 : 1);
    if (nameStart >= html_.size() || !isLetter(html_[nameStart])) return i + 1;
    std::size_t k = nameStart;
    std::string name;
    for (; k < html_.size() && html_[k] != '>' && !isTagSpace(html_[k]); ++k)
      name += lower(html_[k]);
    const std::size_t close = tagEnd(k);
    const bool selfClosed = close < html_.size() && html_[close - 1] == '/';
    const std::size_t after = endOf(close, 1);
    if (end) {
      popTo(name);
    } else {
      start(name, selfClosed);
      if (foreign_ == 0 && name == "plaintext") return html_.size();
      if (foreign_ == 0 && isIn(name, kRawText)) return skipRawText(name, after);
    }
    return after;
  }

  // The '>' that ends the tag whose attributes start at `k`, past quoted values.
  std::size_t tagEnd(std::size_t k) const {
    char quote = 0;
    for (; k < html_.size(); ++k) {
      const char c = html_[k];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        if (k > 0 && html_[k - 1] == '=') quote = c;
      } else if (c == '>') {
        return k;
      }
    }
    return html_.size();
  }

  std::size_t endOf(std::size_t found, std::size_t length) const {
    return found >= html_.size() ? html_.size() : found + length;
  }

  // Where the end tag of raw text `name` starts; the pass reads it as any end tag.
  std::size_t skipRawText(const std::string& name, std::size_t from) const {
    return findNoCase(html_, "</" + name, from);
  }

  void start(const std::string& name, bool selfClosed) {
    if (foreign_ > 0 && isIn(name, kBreakout)) endForeign();
    if (isIn(name, kVoid)) return;
    if (isIn(name, kClosesP)) closeImplied({"p"}, {"button"}, true);
    if (name == "li") closeImplied({"li"}, {"ul", "ol"}, true);
    if (name == "dd" || name == "dt") closeImplied({"dd", "dt"}, {"dl"}, true);
    if (name == "tr") closeImplied({"tr"}, {"table"}, false);
    if (name == "td" || name == "th") closeImplied({"td", "th"}, {"tr", "table"}, false);
    if (name == "thead" || name == "tbody" || name == "tfoot") {
      closeImplied({"thead", "tbody", "tfoot"}, {"table"}, false);
    }
    if (name == "a") closeTop({"a"});
    if (name == "option" || name == "optgroup") closeTop({"option"});
    if (isIn(name, kHeadings)) closeTop(kHeadings);
    if (selfClosed && foreign_ > 0) return;
    push(name);
  }

  // Closes the nearest open element named in `names`, and what it holds, unless one of
  // `stops` comes first, or with `scoped` an element that bounds a scope.
  void closeImplied(Names names, Names stops, bool scoped) {
    for (std::size_t k = open_.size(); k-- > 0;) {
      if (isIn(open_[k], names)) {
        popFrom(k);
        return;
      }
      if (isIn(open_[k], stops) || (scoped && isIn(open_[k], kScope))) return;
    }
  }

  void endForeign() {
    const auto outermost = std::find_if(open_.begin(), open_.end(), isForeign);
    popFrom(static_cast<std::size_t>(outermost - open_.begin()));
  }

  void closeTop(Names names) {
    if (!open_.empty() && isIn(open_.back(), names)) popFrom(open_.size() - 1);
  }

  void popTo(const std::string& name) {
    for (std::size_t k = open_.size(); k-- > 0;) {
      if (open_[k] == name) {
        popFrom(k);
        return;
      }
    }
  }

  void popFrom(std::size_t k) {
    for (std::size_t j = k; j < open_.size(); ++j) {
      if (isForeign(open_[j])) --foreign_;
    }
    open_.resize(k);
  }

  void push(const std::string& name) {
    if (isForeign(name)) ++foreign_;
    open_.push_back(name);
    deepest_ = std::max(deepest_, open_.size());
  }

  static bool isForeign(std::string_view name) { return name == "svg" || name == "math"; }

  std::string_view html_;
  std::size_t limit_;
  std::vector<std::string> open_;
  std::size_t foreign_ = 0;  // open svg and math elements
  std::size_t deepest_ = 0;
};

}  // namespace

std::size_t elementDepth(std::string_view html, std::size_t limit) {
  return Pass(html, limit).run();
}

}  // namespace plugin
