// Arbitrary bytes as a template: expansion must end, stay within bounds and never crash.
// The first byte picks the flags; the rest is the template, one byte per character as
// template files are read.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "templateProcessor/src/functionTable.h"
#include "templateProcessor/src/templateProcessor.h"

namespace {

using templateProcessor::TemplateProcessor;

// Three items for REPEAT blocks named "items", none for any other name. Only the three
// outermost blocks have items: nested repeats multiply their bodies, and without a bound
// a short input would ask for 3^64 copies, which is the template's doing, not a fault.
bool threeItems(TemplateProcessor& processor, int index) {
  return index <= 3 && processor.getRepeatStack().size() <= 3;
}

const templateProcessor::RepeatSource kSources[] = {{L"items", threeItems}, {nullptr, nullptr}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int flags = data[0] & 0x07;
  std::wstring text(size - 1, L'\0');
  for (std::size_t i = 1; i < size; ++i) text[i - 1] = data[i];

  TemplateProcessor processor(flags);
  processor.setRepeatSources(kSources);
  processor.setParameter(L"name", L"a<b & \"c\" \u00e9");
  processor.setHtmlParameter(L"html", L"<b>bold</b>");
  processor.setParameter(L"BASE-DIR", L"/nonexistent-template-dir");
  std::wistringstream input(text);
  std::wostringstream output;
  processor.process(input, output, &tools::TextVal::kXmlPolicy);

  // Three nested three-item repeats multiply the body at most 27-fold; values grow each
  // character to a bounded reference. Anything beyond that is runaway output.
  const std::size_t limit = 64 * (size + 64) * 27;
  if (output.str().size() > limit) __builtin_trap();
  return 0;
}
