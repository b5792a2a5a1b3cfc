#include "plugin/src/htmlDocument.h"

#include <vector>

#include "plugin/src/elementDepth.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

bool isAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

void appendCollapsed(std::string& out, const char* text) {
  for (; *text != '\0'; ++text) {
    if (isAsciiSpace(*text)) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += *text;
    }
  }
}

// The parser's cost grows with the depth of its tree for every tag it reads, and its
// error list, which nothing here reads, with that depth for every error.
constexpr std::size_t kMostDepth = 512;

GumboOptions options() {
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;
  return options;
}

GumboOutput* parse(std::string_view source) {
  if (elementDepth(source, kMostDepth) > kMostDepth) {
    throw PluginError(internal::istring(14242).format(std::to_wstring(kMostDepth)));
  }
  const GumboOptions settings = options();
  return gumbo_parse_with_options(&settings, source.data(), source.size());
}

}  // namespace

HtmlDocument::HtmlDocument(std::string_view utf8) : source_(utf8), output_(parse(source_)) {}

HtmlDocument::~HtmlDocument() {
  const GumboOptions settings = options();
  gumbo_destroy_output(&settings, output_);
}

std::string HtmlDocument::tagName(const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
  GumboStringPiece piece = element.original_tag;
  gumbo_tag_from_original_text(&piece);
  std::string name(piece.data ? piece.data : "", piece.length);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

const char* HtmlDocument::attribute(const GumboElement& element, const char* name) {
  const GumboAttribute* found = gumbo_get_attribute(&element.attributes, name);
  return found ? found->value : nullptr;
}

std::string HtmlDocument::text(const GumboNode& node) {
  std::string out;
  std::vector<const GumboNode*> stack{&node};
  while (!stack.empty()) {
    const GumboNode* current = stack.back();
    stack.pop_back();
    if (current->type == GUMBO_NODE_TEXT || current->type == GUMBO_NODE_WHITESPACE ||
        current->type == GUMBO_NODE_CDATA) {
      appendCollapsed(out, current->v.text.text);
      continue;
    }
    if (current->type != GUMBO_NODE_ELEMENT && current->type != GUMBO_NODE_TEMPLATE) continue;
    const GumboElement& element = current->v.element;
    if (element.tag == GUMBO_TAG_SCRIPT || element.tag == GUMBO_TAG_STYLE) continue;
    for (unsigned i = element.children.length; i-- > 0;) {
      stack.push_back(static_cast<const GumboNode*>(element.children.data[i]));
    }
  }
  if (!out.empty() && out.front() == ' ') out.erase(0, 1);
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace plugin
