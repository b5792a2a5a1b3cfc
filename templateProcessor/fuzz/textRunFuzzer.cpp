// Template text held in memory, copied a run at a time, against the same text read one
// character at a time: the outputs must be the same. The first byte picks the flags and
// how the rest becomes characters (a byte each, or four bytes each for any value).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "templateProcessor/src/functionTable.h"
#include "templateProcessor/src/templateProcessor.h"

namespace {

using templateProcessor::TemplateProcessor;

// As in the template fuzzer: items for the three outermost REPEAT blocks only.
bool threeItems(TemplateProcessor& processor, int index) {
  return index <= 3 && processor.getRepeatStack().size() <= 3;
}

const templateProcessor::RepeatSource kSources[] = {{L"items", threeItems}, {nullptr, nullptr}};

void setUp(TemplateProcessor& processor) {
  processor.setRepeatSources(kSources);
  processor.setParameter(L"name", L"a<b & \"c\" \u00e9");
  processor.setHtmlParameter(L"html", L"<b>bold</b>");
  processor.setParameter(L"BASE-DIR", L"/nonexistent-template-dir");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int flags = data[0] & 0x07;
  std::wstring text;
  if (data[0] & 0x08) {
    for (std::size_t i = 1; i + 4 <= size; i += 4) {
      wchar_t c = 0;
      std::memcpy(&c, data + i, 4);
      text += c;
    }
  } else {
    for (std::size_t i = 1; i < size; ++i) text += static_cast<wchar_t>(data[i]);
  }

  TemplateProcessor runs(flags);
  TemplateProcessor plain(flags | TemplateProcessor::kCharByChar);
  setUp(runs);
  setUp(plain);
  const std::wstring fast = runs.process(text, &tools::TextVal::kXmlPolicy);
  std::wistringstream input(text);
  std::wostringstream output;
  plain.process(input, output, &tools::TextVal::kXmlPolicy);
  if (fast != output.str()) std::abort();
  return 0;
}
