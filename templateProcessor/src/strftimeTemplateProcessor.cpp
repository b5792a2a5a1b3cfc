#include "templateProcessor/src/strftimeTemplateProcessor.h"

#include <cwchar>
#include <string_view>

#include "platform/src/cLocale.h"
#include "platform/src/localTime.h"

namespace tools {
namespace {

constexpr std::size_t kResultChars = 1024;

// Conversions the Windows runtime knows; anything else yields nothing there.
constexpr std::wstring_view kConversions = L"aAbBcdHIjmMpSUwWxXyYzZ";
// With '#' these lose their leading zeros.
constexpr std::wstring_view kNumeric = L"dHIjmMSUwWyY";

std::wstring convertedWithHash(wchar_t conversion) {
  if (conversion == L'c') return L"%A, %B %d, %Y %H:%M:%S";
  if (conversion == L'x') return L"%A, %B %d, %Y";
  if (kNumeric.find(conversion) != std::wstring_view::npos) return std::wstring(L"%-") + conversion;
  return std::wstring(L"%") + conversion;  // '#' has no effect on the others
}

}  // namespace

std::wstring strftimeFormatFor(const std::wstring& name) {
  std::size_t at = 0;
  const bool hash = at < name.size() && name[at] == L'#';
  if (hash) ++at;
  if (at >= name.size() || kConversions.find(name[at]) == std::wstring_view::npos) return {};
  for (wchar_t c : name) {
    if (c > 0xFF) return {};  // has no narrow form in the runtime's conversion
  }
  const wchar_t conversion = name[at];
  std::wstring format = hash ? convertedWithHash(conversion) : std::wstring(1, L'%');
  if (!hash) format += conversion;
  // Copied text must not be read as conversions by glibc.
  for (wchar_t c : std::wstring_view(name).substr(at + 1)) {
    format += c;
    if (c == L'%') format += L'%';
  }
  return format;
}

StrftimeTemplateProcessor::StrftimeTemplateProcessor(int offsetSeconds)
    : TemplateProcessor(0), moment_{} {
  const std::time_t instant = std::time(nullptr) + offsetSeconds;
  moment_ = platform::localTime(instant);
}

StrftimeTemplateProcessor::~StrftimeTemplateProcessor() = default;

bool StrftimeTemplateProcessor::getParameterValue(const std::wstring& name,
                                                  const templateProcessor::ParamArgs&,
                                                  TextVal& out) {
  const std::wstring format = strftimeFormatFor(name);
  if (format.empty()) return false;
  wchar_t result[kResultChars];
  const std::size_t length =
      wcsftime_l(result, kResultChars, format.c_str(), &moment_, platform::cLocale());
  if (length == 0) return false;
  out.set(std::wstring(result, length), TextVal::kText);
  return true;
}

}  // namespace tools
