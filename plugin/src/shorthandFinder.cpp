#include "plugin/src/shorthandFinder.h"

#include <algorithm>

#include "platform/src/utf8.h"
#include "plugin/src/htmlDocument.h"
#include "plugin/src/istring.h"
#include "plugin/src/pageExcerpt.h"

namespace plugin {
namespace {

using internal::istring;

bool hasClass(const GumboElement& element, const std::string& name) {
  const char* value = HtmlDocument::attribute(element, "class");
  if (!value) return false;
  const std::string_view classes(value);
  std::size_t i = 0;
  while (i < classes.size()) {
    const std::size_t end = std::min(classes.find_first_of(" \t\n\r\f", i), classes.size());
    if (classes.substr(i, end - i) == name) return true;
    i = end + 1;
  }
  return false;
}

bool matches(const Selector::Step& step, const GumboElement& element) {
  if (!step.tag.empty() && HtmlDocument::tagName(element) != step.tag) return false;
  for (const std::string& id : step.ids) {
    const char* value = HtmlDocument::attribute(element, "id");
    if (!value || id != value) return false;
  }
  for (const std::string& name : step.attributes) {
    if (!HtmlDocument::attribute(element, name.c_str())) return false;
  }
  return std::all_of(step.classes.begin(), step.classes.end(),
                     [&](const std::string& name) { return hasClass(element, name); });
}

const char* linkOf(const GumboNode& node) {
  std::vector<const GumboNode*> stack{&node};
  while (!stack.empty()) {
    const GumboNode* current = stack.back();
    stack.pop_back();
    if (current->type != GUMBO_NODE_ELEMENT) continue;
    const GumboElement& element = current->v.element;
    if (current == &node || element.tag == GUMBO_TAG_A) {
      if (const char* href = HtmlDocument::attribute(element, "href")) return href;
    }
    for (unsigned i = element.children.length; i-- > 0;) {
      stack.push_back(static_cast<const GumboNode*>(element.children.data[i]));
    }
  }
  return nullptr;
}

}  // namespace

ShorthandFinder::ShorthandFinder(const Selector& selector, std::string_view text)
    : selector_(selector), text_(text) {}

ShorthandFinder::ShorthandFinder(const Selector& selector, const HtmlDocument& document)
    : selector_(selector), text_(document.source()), document_(&document) {}

std::vector<ShorthandItem> ShorthandFinder::find(std::size_t maxItems) {
  if (!document_) {
    parsed_.emplace(text_);
    document_ = &*parsed_;
  }
  const HtmlDocument& document = *document_;
  const auto& steps = selector_.steps();
  const std::size_t last = steps.size() - 1;
  std::vector<ShorthandItem> items;
  // Each node with how many steps its ancestors satisfy, taking each step as early as it
  // can be taken, which is as good as any other choice for a chain of descendants.
  std::vector<std::pair<const GumboNode*, std::size_t>> stack{{document.root(), 0}};
  bestSteps_ = 0;
  while (!stack.empty() && items.size() < maxItems) {
    const auto [node, satisfied] = stack.back();
    stack.pop_back();
    if (node->type != GUMBO_NODE_ELEMENT) continue;
    const GumboElement& element = node->v.element;
    const bool here = matches(steps[satisfied], element);
    if (here && satisfied == last) {
      const char* link = linkOf(*node);
      items.push_back({platform::fromUtf8(HtmlDocument::text(*node)),
                       link ? platform::fromUtf8(link) : std::wstring()});
    }
    const std::size_t reached = satisfied + (here ? 1 : 0);
    if (reached > bestSteps_) {
      bestSteps_ = reached;
      bestOffset_ = element.start_pos.offset;
    }
    const std::size_t inside = std::min(reached, last);
    for (unsigned i = element.children.length; i-- > 0;) {
      stack.emplace_back(static_cast<const GumboNode*>(element.children.data[i]), inside);
    }
  }
  return items;
}

std::wstring ShorthandFinder::mismatch() const {
  if (bestSteps_ == 0) return istring(14221).format(shownHead(selector_.stepText(0, 0)));
  return istring(14220).format(shownHead(selector_.stepText(0, bestSteps_ - 1)),
                               shownHead(selector_.stepText(bestSteps_, bestSteps_))) +
         pageExcerpt(text_, bestOffset_);
}

}  // namespace plugin
