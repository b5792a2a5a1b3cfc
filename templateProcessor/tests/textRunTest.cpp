// Expanding text held in memory, a run of plain text at a time, against the stream form
// read one character at a time.

#include <gtest/gtest.h>

#include <string>

#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/templateProcessor.h"
#include "templateProcessor/tests/templateTestSupport.h"

namespace templateProcessor {
namespace {

using tools::TextVal;

bool twoItems(TemplateProcessor&, int index) {
  return index <= 2;
}
const RepeatSource kSources[] = {{L"two", twoItems}, {nullptr, nullptr}};

// Expands text from inside a run, as a callback may.
bool nested(TemplateProcessor& processor, const ParamArgs&, TextVal& out) {
  out.set(processor.process(L"[{%x%}]"), TextVal::kText);
  return true;
}
const FunctionEntry kFunctions[] = {{L"NESTED", nested}, {nullptr, nullptr}};

void setUp(TemplateProcessor& p) {
  p.setRepeatSources(kSources);
  p.setParameter(L"x", L"1 <\u00e9>");
  p.setHtmlParameter(L"h", L"<b>");
}

TEST(TemplateTextInMemory, ExpandsAsOneCharacterAtATimeDoes) {
  const std::wstring endChar(1, static_cast<wchar_t>(-1));  // reads as the end, one at a time
  const std::wstring templates[] = {
      L"plain { text } 100% {x",
      L"a{%x%}b{%h%}{%x% encode=percent chars=\" \"}{%missing%}{%missing% default=-}end{",
      L"{%REPEAT% two header=<ul>}<li>{%REPEAT-NUMBER%} {%x%}</li>{%/REPEAT%} after",
      L"{%?x%}then {%@%}{%ELSE%}else{%ENDIF%}{%!x%}not{%ENDIF%}",
      L"{%REMOVE-LINK-WHITESPACE% on}<a href=\"u\">  link {%x%}  </a> x "
      L"{%REMOVE-LINK-WHITESPACE% off}<a>  kept  </a>",
      L"before" + endChar + L"after{%x%}",
      L"{%x" + endChar + L"%}after",
      L"{%REPEAT% two}in" + endChar + L"skipped{%/REPEAT%}out",
      L"unfinished {%x% default=a",
      L"unfinished {%x",
  };
  const int flagSets[] = {0, TemplateProcessor::kUtf8Output, TemplateProcessor::kDropUnknown};
  for (int flags : flagSets) {
    for (const std::wstring& text : templates) {
      TemplateProcessor runs(flags);
      TemplateProcessor plain(flags | TemplateProcessor::kCharByChar);
      setUp(runs);
      setUp(plain);
      for (const tools::RenderPolicy* table :
           {static_cast<const tools::RenderPolicy*>(nullptr), &TextVal::kXmlPolicy}) {
        EXPECT_EQ(runs.process(text, table), testing::expand(plain, text, table))
            << misc::toUtf8(text) << " flags " << flags;
      }
    }
  }
}

TEST(TemplateTextInMemory, ARunStartedInsideARunReadsItsOwnText) {
  TemplateProcessor p;
  setUp(p);
  p.setFunctionTable(kFunctions);
  EXPECT_EQ(p.process(L"a{%NESTED%}b{%x%}"), L"a[1 <\u00e9>]b1 <\u00e9>");
  EXPECT_EQ(p.process(L"again {%x%}"), L"again 1 <\u00e9>");
}

}  // namespace
}  // namespace templateProcessor
