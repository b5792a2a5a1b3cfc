#include "plugin/src/htmlDocument.h"

#include <vector>

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

}  // namespace

HtmlDocument::HtmlDocument(std::string utf8)
    : source_(std::move(utf8)),
      output_(gumbo_parse_with_options(&kGumboDefaultOptions, source_.data(), source_.size())) {}

HtmlDocument::~HtmlDocument() {
  gumbo_destroy_output(&kGumboDefaultOptions, output_);
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
