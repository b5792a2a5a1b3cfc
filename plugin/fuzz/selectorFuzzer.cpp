// The shorthand: the first line of the input is a selector, the rest a page. A selector
// that parses has steps whose texts lie inside it; finding items never fails, and a page
// without items gets its diagnostic.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/src/utf8.h"
#include "plugin/src/pluginError.h"
#include "plugin/src/selector.h"
#include "plugin/src/shorthandFinder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring input =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::size_t lineEnd = std::min(input.find(L'\n'), input.size());
  const std::wstring text = input.substr(0, lineEnd);
  const std::wstring page = lineEnd < input.size() ? input.substr(lineEnd + 1) : std::wstring();
  try {
    const plugin::Selector selector(text);
    const auto& steps = selector.steps();
    if (steps.empty()) std::abort();
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const std::wstring step = selector.stepText(i, i);
      if (step.empty() || text.find(step) == std::wstring::npos) std::abort();
    }
    const std::string utf8 = platform::toUtf8(page);
    plugin::ShorthandFinder finder(selector, utf8);
    if (finder.find(50).empty()) finder.mismatch();
  } catch (const plugin::PluginError& e) {
    if (e.wideMessage().empty()) std::abort();
  }
  return 0;
}
