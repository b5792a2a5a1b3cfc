#pragma once
// Process-wide parameters, seen by every processor after its own: user-defined global
// parameters first, then global parameters. Both maps are guarded by one process-wide
// lock, so they may be changed and read from any thread.

#include <string>

#include "templateProcessor/src/parameterMap.h"
#include "tools/src/textVal.h"

namespace templateProcessor {

void setUserDefinedGlobalParameter(const std::wstring& name, const tools::TextVal& value);
void removeUserDefinedGlobalParameter(const std::wstring& name);
void setGlobalParameter(const std::wstring& name, const tools::TextVal& value);
void removeGlobalParameter(const std::wstring& name);

namespace internal {

// Looks `name` up in the user-defined global, then the global parameters.
bool findGlobalParameter(const std::wstring& name, tools::TextVal& out);
// Copies, for listing.
ParameterMap userDefinedGlobalParameters();
ParameterMap globalParameters();

}  // namespace internal
}  // namespace templateProcessor
