#pragma once
// A page parsed by the HTML5 parser (gumbo), held for as long as its nodes are used.

#include <gumbo.h>

#include <string>
#include <string_view>

namespace plugin {

class HtmlDocument {
 public:
  // `utf8` must outlive the document: its nodes point into it. Throws PluginError for a
  // page that nests elements more than 512 deep (elementDepth.h), which the parser would
  // take too long and too much memory for.
  explicit HtmlDocument(std::string_view utf8);
  ~HtmlDocument();
  HtmlDocument(const HtmlDocument&) = delete;
  HtmlDocument& operator=(const HtmlDocument&) = delete;

  const GumboNode* root() const { return output_->root; }
  // The UTF-8 text parsed; element positions are byte offsets into it.
  std::string_view source() const { return source_; }

  // The tag name of `element` in lower case, also for tags HTML does not define.
  static std::string tagName(const GumboElement& element);
  // The value of `element`'s attribute `name` (lower case), or null.
  static const char* attribute(const GumboElement& element, const char* name);
  // The text inside `node`, scripts and styles left out, white space runs as one blank,
  // trimmed.
  static std::string text(const GumboNode& node);

 private:
  std::string_view source_;
  GumboOutput* output_;
};

}  // namespace plugin
