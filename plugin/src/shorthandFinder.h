#pragma once
// Items found by the shorthand: every element that the selector matches, in the order of
// the page, is an item; its text is the title, and its href, or else that of the first link
// inside it, the link.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/src/htmlDocument.h"
#include "plugin/src/selector.h"

namespace plugin {

struct ShorthandItem {
  std::wstring title;
  std::wstring link;  // as the page has it, entities decoded
};

class ShorthandFinder {
 public:
  // `selector` and the UTF-8 `text` must outlive the finder, which parses the text once.
  ShorthandFinder(const Selector& selector, std::string_view text);
  // For a page parsed already; `selector` and `document` must outlive the finder.
  ShorthandFinder(const Selector& selector, const HtmlDocument& document);

  // Throws PluginError for a page too deep to parse (see HtmlDocument).
  std::vector<ShorthandItem> find(std::size_t maxItems);
  // After a find() that found nothing: how far the selector got and where, for standard
  // error (see matchDiagnostic.h for the form).
  std::wstring mismatch() const;

 private:
  const Selector& selector_;
  std::string_view text_;
  std::optional<HtmlDocument> parsed_;
  const HtmlDocument* document_ = nullptr;
  std::size_t bestSteps_ = 0;
  std::size_t bestOffset_ = 0;
};

}  // namespace plugin
