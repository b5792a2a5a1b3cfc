#pragma once
// StrftimeTemplateProcessor: a TemplateProcessor whose parameters are the date and time
// fields of one instant, fixed when the object is made. A directive {%X%} expands to the
// C runtime's strftime result for "%X", with the Windows runtime's directive conventions
// and English names whatever the user's locale:
//
//     {%Y%}/{%m%}/{%d%}.html   ->  2024/03/07.html
//     {%#d%}                   ->  7            ('#' drops leading zeros)
//     {%#x%}  {%#c%}           ->  Thursday, March 07, 2024   (and the time after it)
//     {%Y-%}                   ->  2024-        (text after the conversion is copied)
//     {%q%}                    ->  {%q%}        (unknown conversion: echoed)
//     {%q% default=x}          ->  x
//
// Only date directives exist: own, process-wide and function parameters are not visible.
// INCLUDE still takes BASE-DIR from the own parameters.

#include <ctime>
#include <string>

#include "templateProcessor/src/templateProcessor.h"

namespace tools {

class StrftimeTemplateProcessor : public templateProcessor::TemplateProcessor {
 public:
  // The current second shifted by `offsetSeconds`, in local time (TZ when set).
  explicit StrftimeTemplateProcessor(int offsetSeconds = 0);
  ~StrftimeTemplateProcessor() override;

  bool getParameterValue(const std::wstring& name, const templateProcessor::ParamArgs& args,
                         TextVal& out) override;

  const std::tm& moment() const { return moment_; }

 private:
  std::tm moment_;
};

// Translates a directive name into the strftime format glibc needs for the Windows
// runtime's meaning of "%" + name; empty when the name holds no valid conversion.
std::wstring strftimeFormatFor(const std::wstring& name);

// What the directive `name` expands to at `moment`, as wcsftime gives it for
// strftimeFormatFor(name) in the "C" locale; false, with `out` unchanged, when the name holds
// no valid conversion or the result would be empty or reach 1024 characters.
bool formatDirective(const std::wstring& name, const std::tm& moment, std::wstring& out);

}  // namespace tools
