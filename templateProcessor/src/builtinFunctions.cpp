#include "templateProcessor/src/builtinFunctions.h"

#include "templateProcessor/src/paramArgs.h"
#include "templateProcessor/src/templateProcessor.h"

namespace templateProcessor::internal {
namespace {

bool removeLinkWhitespace(TemplateProcessor& processor, const ParamArgs& args,
                          tools::TextVal& out) {
  const int flags = processor.getFlags();
  if (args.hasPositional(L"on")) {
    processor.setFlags(flags | TemplateProcessor::kRemoveLinkWhitespace);
  } else if (args.hasPositional(L"off")) {
    processor.setFlags(flags & ~TemplateProcessor::kRemoveLinkWhitespace);
  } else {
    return false;
  }
  out.set(L"", tools::TextVal::kText);
  return true;
}

bool undefine(TemplateProcessor& processor, const ParamArgs& args, tools::TextVal& out) {
  for (const std::wstring& name : args.positional()) processor.removeParameter(name);
  out.set(L"", tools::TextVal::kText);
  return true;
}

constexpr FunctionEntry kBuiltins[] = {
    {L"REMOVE-LINK-WHITESPACE", removeLinkWhitespace},
    {L"UNDEFINE", undefine},
    {nullptr, nullptr},
};

}  // namespace

const FunctionEntry* builtinFunctions() {
  return kBuiltins;
}

}  // namespace templateProcessor::internal
