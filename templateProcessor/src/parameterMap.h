#pragma once
// Parameters of the template language: values by name, names compared ignoring case. An
// entry keeps the spelling of its first insertion.

#include <map>
#include <string>

#include "platform/src/cLocale.h"
#include "tools/src/textVal.h"

namespace templateProcessor {

using ParameterMap = std::map<std::wstring, tools::TextVal, platform::NoCaseLess>;

}  // namespace templateProcessor
