#pragma once
// The shorthand: a selector in the manner of CSS, for pages that need no pattern. A
// selector is a chain of steps separated by blanks, each step inside the one before it
// (at any depth); a step is a tag name, `*`, or neither, followed by any number of
// `.class`, `#id` and `[attribute]` conditions:
//
//     div.news h2 a        ul#list li        [data-item]        td.title a
//
// Tag and attribute names take either letter case (the HTML parser lowers them); classes
// and ids match exactly.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plugin {

class Selector {
 public:
  struct Step {
    std::string tag;  // lower case; empty for any
    std::vector<std::string> classes;
    std::vector<std::string> ids;
    std::vector<std::string> attributes;  // lower case
    std::size_t sourceBegin;
    std::size_t sourceEnd;
  };

  // Throws PluginError "The shorthand `<text>` is not a selector: `<c>` at character <n>
  // can't be read." at the first character that fits no step (`>`, `,`, `[a=b]`, ...).
  explicit Selector(std::wstring text);

  // Whether `name` can stand as a tag, class or id name in a selector.
  static bool isName(std::wstring_view name);

  const std::vector<Step>& steps() const { return steps_; }
  // The selector's text of steps first to last (both counted from 0).
  std::wstring stepText(std::size_t first, std::size_t last) const;

 private:
  void parseStep(std::size_t& i);
  std::string readName(std::size_t& i, bool lower);
  [[noreturn]] void fail(std::size_t i) const;

  std::wstring text_;
  std::vector<Step> steps_;
};

}  // namespace plugin
