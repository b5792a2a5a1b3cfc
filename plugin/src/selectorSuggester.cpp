#include "plugin/src/selectorSuggester.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "platform/src/utf8.h"
#include "plugin/src/htmlDocument.h"
#include "plugin/src/linkScheme.h"
#include "plugin/src/pluginError.h"
#include "plugin/src/selector.h"
#include "plugin/src/shorthandFinder.h"

namespace plugin {
namespace {

constexpr std::size_t kCandidatesRun = 10;
constexpr std::size_t kMaxPathSteps = 4;
constexpr std::size_t kCountLimit = 100000;
constexpr double kMenuWeight = 0.25;
constexpr double kContentWeight = 1.5;
constexpr double kSiblingsWeight = 0.8;

struct Node {
  const GumboElement* element;
  int parent;
  std::size_t textBytes = 0;  // scripts and styles left out
  int firstLink = -1;         // the first link with text at or inside it
  double placement = 1;
};

struct Candidate {
  std::wstring selector;
  double score = 0;
  std::size_t siblings = 0;
};

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::vector<std::string> words(const char* value) {
  std::vector<std::string> out;
  if (!value) return out;
  const std::string_view text(value);
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isSpace(text[i])) ++i;
    const std::size_t begin = i;
    while (i < text.size() && !isSpace(text[i])) ++i;
    if (i > begin) out.emplace_back(text.substr(begin, i - begin));
  }
  return out;
}

std::string lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool namesAny(const std::string& text, std::initializer_list<const char*> parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](const char* part) { return text.find(part) != std::string::npos; });
}

// How much an element's place in the page says about the items inside it.
double placementOf(const GumboElement& element, double outer) {
  if (outer == kMenuWeight) return outer;
  const std::string tag = HtmlDocument::tagName(element);
  const char* role = HtmlDocument::attribute(element, "role");
  const char* id = HtmlDocument::attribute(element, "id");
  const char* cls = HtmlDocument::attribute(element, "class");
  const std::string names =
      lowered(std::string(id ? id : "") + ' ' + (cls ? cls : "") + ' ' + (role ? role : ""));
  if (tag == "nav" || tag == "header" || tag == "footer" || tag == "aside" ||
      namesAny(names, {"nav", "menu", "footer", "header", "sidebar", "breadcrumb", "pagination",
                       "social", "share"})) {
    return kMenuWeight;
  }
  if (tag == "main" || namesAny(names, {"content", "main"})) return kContentWeight;
  return outer;
}

std::size_t visibleBytes(const char* text) {
  std::size_t n = 0;
  for (; *text != '\0'; ++text) n += isSpace(*text) ? 0 : 1;
  return n;
}

bool isTextLink(const Node& node) {
  if (node.element->tag != GUMBO_TAG_A || node.textBytes == 0) return false;
  const char* href = HtmlDocument::attribute(*node.element, "href");
  // A link within the page is no item; one the feed would drop is no item's link.
  return href && href[0] != '#' && href[0] != '\0' && isFeedLink(platform::fromUtf8(href));
}

// The page's elements in document order, each after its parent, with what the ranking
// needs summed up from below.
std::vector<Node> flatten(const GumboNode* root) {
  std::vector<Node> nodes;
  std::vector<std::pair<const GumboNode*, int>> stack{{root, -1}};
  while (!stack.empty()) {
    const auto [node, parent] = stack.back();
    stack.pop_back();
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA) {
      if (parent >= 0)
        nodes[static_cast<std::size_t>(parent)].textBytes += visibleBytes(node->v.text.text);
      continue;
    }
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
    const GumboElement& element = node->v.element;
    const double outer = parent >= 0 ? nodes[static_cast<std::size_t>(parent)].placement : 1;
    nodes.push_back({&element, parent, 0, -1, placementOf(element, outer)});
    if (element.tag == GUMBO_TAG_SCRIPT || element.tag == GUMBO_TAG_STYLE) continue;
    const int self = static_cast<int>(nodes.size() - 1);
    for (unsigned i = element.children.length; i-- > 0;) {
      stack.emplace_back(static_cast<const GumboNode*>(element.children.data[i]), self);
    }
  }
  // Children come after their parent, and earlier siblings before later ones: walking
  // backwards, the last link a parent hears of is its first.
  for (std::size_t i = nodes.size(); i-- > 0;) {
    Node& node = nodes[i];
    if (isTextLink(node)) node.firstLink = static_cast<int>(i);
    if (node.parent < 0) continue;
    Node& parent = nodes[static_cast<std::size_t>(node.parent)];
    parent.textBytes += node.textBytes;
    if (node.firstLink >= 0) parent.firstLink = node.firstLink;
  }
  return nodes;
}

// Siblings are alike when they share their tag and first class: later classes often
// number the item ("post post-123").
std::string groupKey(const GumboElement& element) {
  const std::vector<std::string> classes = words(HtmlDocument::attribute(element, "class"));
  return HtmlDocument::tagName(element) + (classes.empty() ? "" : ' ' + classes.front());
}

bool usableName(const std::string& name) {
  return Selector::isName(platform::fromUtf8(name));
}

// The step for elements alike: their tag and the first class of the first that all have.
std::string stepFor(const std::vector<const GumboElement*>& elements) {
  std::string step = HtmlDocument::tagName(*elements.front());
  if (!usableName(step)) step.clear();
  for (const std::string& name : words(HtmlDocument::attribute(*elements.front(), "class"))) {
    if (!usableName(name)) continue;
    const bool shared = std::all_of(elements.begin() + 1, elements.end(), [&](const auto* e) {
      const auto theirs = words(HtmlDocument::attribute(*e, "class"));
      return std::find(theirs.begin(), theirs.end(), name) != theirs.end();
    });
    if (shared) return step + '.' + name;
  }
  return step;
}

// The step that names the run's parent by its own id or class, or else the nearest
// ancestor that has one; the parent's tag when none does.
std::string anchorFor(const std::vector<Node>& nodes, int parent) {
  for (int at = parent; at >= 0; at = nodes[static_cast<std::size_t>(at)].parent) {
    const GumboElement& element = *nodes[static_cast<std::size_t>(at)].element;
    const char* id = HtmlDocument::attribute(element, "id");
    if (id && usableName(id)) return HtmlDocument::tagName(element) + '#' + id;
    const std::string step = stepFor({&element});
    if (step.find('.') != std::string::npos) return step;
  }
  return HtmlDocument::tagName(*nodes[static_cast<std::size_t>(parent)].element);
}

// The elements from a sibling down to its link, outermost first; empty when too deep.
std::vector<int> pathDown(const std::vector<Node>& nodes, int member) {
  std::vector<int> path;
  for (int at = nodes[static_cast<std::size_t>(member)].firstLink; at != member;
       at = nodes[static_cast<std::size_t>(at)].parent) {
    if (path.size() == kMaxPathSteps) return {};
    path.push_back(at);
  }
  std::reverse(path.begin(), path.end());
  return path;
}

std::string tagsOf(const std::vector<Node>& nodes, const std::vector<int>& path) {
  std::string tags;
  for (int at : path)
    tags += HtmlDocument::tagName(*nodes[static_cast<std::size_t>(at)].element) + ' ';
  return tags;
}

// The run's selector down to the links, and one that ends at the siblings themselves for
// when the links' path also leads to other links (each sibling's text is then its title,
// which makes it the lesser choice).
void addCandidates(const std::vector<Node>& nodes, int parent, const std::vector<int>& run,
                   std::vector<Candidate>& out) {
  // The siblings whose links lie along the path most of them share.
  std::map<std::string, std::vector<int>> byPath;
  for (int member : run) {
    if (nodes[static_cast<std::size_t>(member)].firstLink < 0) continue;
    const std::vector<int> path = pathDown(nodes, member);
    if (!path.empty() || nodes[static_cast<std::size_t>(member)].firstLink == member) {
      byPath[tagsOf(nodes, path)].push_back(member);
    }
  }
  const auto best = std::max_element(
      byPath.begin(), byPath.end(),
      [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
  if (best == byPath.end() || best->second.size() < 2) return;
  const std::vector<int>& linked = best->second;

  std::vector<const GumboElement*> members;
  double titleBytes = 0, extraBytes = 0;
  for (int member : linked) {
    const Node& node = nodes[static_cast<std::size_t>(member)];
    const std::size_t title = nodes[static_cast<std::size_t>(node.firstLink)].textBytes;
    members.push_back(node.element);
    titleBytes += static_cast<double>(title);
    extraBytes += static_cast<double>(node.textBytes - title);
  }
  const std::string siblings = anchorFor(nodes, parent) + ' ' + stepFor(members);
  std::string selector = siblings;
  const std::size_t depth = pathDown(nodes, linked.front()).size();
  for (std::size_t step = 0; step < depth; ++step) {
    std::vector<const GumboElement*> along;
    for (int member : linked) {
      along.push_back(nodes[static_cast<std::size_t>(pathDown(nodes, member)[step])].element);
    }
    selector += ' ' + stepFor(along);
  }
  const double n = static_cast<double>(linked.size());
  const double score = n * (0.5 + std::min(titleBytes / n, 80.0) / 40) *
                       (1 + std::min(extraBytes / n, 300.0) / 150) *
                       nodes[static_cast<std::size_t>(parent)].placement;
  out.push_back({platform::fromUtf8(selector), score, linked.size()});
  if (depth > 0)
    out.push_back({platform::fromUtf8(siblings), score * kSiblingsWeight, linked.size()});
}

std::vector<Candidate> candidates(const std::vector<Node>& nodes) {
  std::vector<std::vector<int>> children(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].parent >= 0)
      children[static_cast<std::size_t>(nodes[i].parent)].push_back(static_cast<int>(i));
  }
  std::map<std::wstring, Candidate> found;
  for (std::size_t parent = 0; parent < nodes.size(); ++parent) {
    if (children[parent].size() < 2 || nodes[parent].firstLink < 0) continue;
    std::map<std::string, std::vector<int>> runs;
    for (int child : children[parent])
      runs[groupKey(*nodes[static_cast<std::size_t>(child)].element)].push_back(child);
    for (const auto& [key, run] : runs) {
      if (run.size() < 2) continue;
      std::vector<Candidate> made;
      addCandidates(nodes, static_cast<int>(parent), run, made);
      for (Candidate& candidate : made) {
        Candidate& kept = found[candidate.selector];
        if (candidate.score > kept.score) kept = std::move(candidate);
      }
    }
  }
  std::vector<Candidate> out;
  for (auto& [selector, candidate] : found) out.push_back(std::move(candidate));
  std::stable_sort(out.begin(), out.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  if (out.size() > kCandidatesRun) out.resize(kCandidatesRun);
  return out;
}

}  // namespace

std::vector<SuggestedSelector> SelectorSuggester::suggest(std::string_view page, std::size_t most) {
  std::optional<HtmlDocument> document;
  try {
    document.emplace(page);
  } catch (const PluginError&) {
    return {};  // a page the shorthand can't read has no shorthand to suggest
  }
  const std::vector<Candidate> ranked = candidates(flatten(document->root()));
  // Each tried selector with its score and the links it finds.
  std::vector<std::tuple<double, SuggestedSelector, std::wstring>> tried;
  for (const Candidate& candidate : ranked) {
    try {
      const Selector selector(candidate.selector);
      const std::vector<ShorthandItem> items =
          ShorthandFinder(selector, *document).find(kCountLimit);
      if (items.empty()) continue;
      std::set<std::wstring> titles;
      std::wstring found;
      SuggestedSelector suggestion{candidate.selector, items.size(), {}};
      for (const ShorthandItem& item : items) {
        titles.insert(item.title);
        found += item.link + L'\n';
        if (suggestion.firstTitles.size() < 3) suggestion.firstTitles.push_back(item.title);
      }
      const double count = static_cast<double>(items.size());
      const double distinct = static_cast<double>(titles.size()) / count;
      const double breadth = std::min(1.0, static_cast<double>(candidate.siblings) / count);
      tried.emplace_back(candidate.score * distinct * breadth, std::move(suggestion),
                         std::move(found));
    } catch (const PluginError&) {
      // A selector the Shorthand can't read is no suggestion.
    }
  }
  std::stable_sort(tried.begin(), tried.end(),
                   [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
  // Two selectors that find the same links are one suggestion, the better one.
  std::set<std::wstring> yields;
  std::vector<SuggestedSelector> out;
  for (auto& [score, suggestion, items] : tried) {
    if (out.size() == most) break;
    if (yields.insert(items).second) out.push_back(std::move(suggestion));
  }
  return out;
}

}  // namespace plugin
