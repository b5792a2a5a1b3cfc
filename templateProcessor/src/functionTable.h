#pragma once
// Tables that extend a processor: functions callable as parameters, and repeat sources that
// say how many items a named REPEAT block has. Both are arrays ending with an entry whose
// name is null, and are looked up by name ignoring case.
//
//     bool today(TemplateProcessor&, const ParamArgs&, tools::TextVal& out) { ...; return true; }
//     const FunctionEntry kFunctions[] = {{L"TODAY", today}, {nullptr, nullptr}};
//     processor.setFunctionTable(kFunctions);   // {%TODAY%} now calls today()

#include "tools/src/textVal.h"

namespace templateProcessor {

class TemplateProcessor;
class ParamArgs;

// Fills `out` and returns true, or returns false when the name should count as unknown.
using FunctionCallback = bool (*)(TemplateProcessor& processor, const ParamArgs& args,
                                  tools::TextVal& out);

struct FunctionEntry {
  const wchar_t* name;
  FunctionCallback callback;
};

// True when the block has an item number `index` (counting from 1).
using RepeatCallback = bool (*)(TemplateProcessor& processor, int index);

struct RepeatSource {
  const wchar_t* name;
  RepeatCallback callback;
};

}  // namespace templateProcessor
