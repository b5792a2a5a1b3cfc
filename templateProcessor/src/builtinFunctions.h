#pragma once
// The functions every processor knows, after its own function table:
// - {%REMOVE-LINK-WHITESPACE% on} / {%REMOVE-LINK-WHITESPACE% off} switch the link
//   white-space filter; without on or off the directive counts as unknown.
// - {%UNDEFINE% a b} removes the processor's own parameters a and b.
// Both expand to nothing.

#include "templateProcessor/src/functionTable.h"

namespace templateProcessor::internal {

const FunctionEntry* builtinFunctions();

}  // namespace templateProcessor::internal
