#include "templateProcessor/src/strftimeTemplateProcessor.h"

#include <array>
#include <cwchar>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/src/cLocale.h"
#include "platform/src/localTime.h"

namespace tools {
namespace {

constexpr std::size_t kResultChars = 1024;

// Conversions the Windows runtime knows; anything else yields nothing there.
constexpr std::wstring_view kConversions = L"aAbBcdHIjmMpSUwWxXyYzZ";
// With '#' these lose their leading zeros.
constexpr std::wstring_view kNumeric = L"dHIjmMSUwWyY";

// Asked once a directive: a table, not a search of the list.
constexpr auto kIsConversion = [] {
  std::array<bool, 128> table{};
  for (wchar_t c : kConversions) table[static_cast<std::size_t>(c)] = true;
  return table;
}();

bool isConversion(wchar_t c) {
  return static_cast<std::size_t>(c) < kIsConversion.size() &&
         kIsConversion[static_cast<std::size_t>(c)];
}

std::wstring convertedWithHash(wchar_t conversion) {
  if (conversion == L'c') return L"%A, %B %d, %Y %H:%M:%S";
  if (conversion == L'x') return L"%A, %B %d, %Y";
  if (kNumeric.find(conversion) != std::wstring_view::npos) return std::wstring(L"%-") + conversion;
  return std::wstring(L"%") + conversion;  // '#' has no effect on the others
}

// A directive name read as the runtime reads "%" + name: an optional '#', the conversion and
// text copied after it.
struct Directive {
  bool hash;
  wchar_t conversion;
  std::wstring_view rest;
};

std::optional<Directive> parseDirective(std::wstring_view name) {
  const bool hash = !name.empty() && name.front() == L'#';
  const std::size_t at = hash ? 1 : 0;
  if (at >= name.size() || !isConversion(name[at])) {
    return std::nullopt;
  }
  for (wchar_t c : name) {
    if (c > 0xFF) return std::nullopt;  // has no narrow form in the runtime's conversion
  }
  return Directive{hash, name[at], name.substr(at + 1)};
}

// The fields that make up most URLs, and the values for which wcsftime writes them in
// exactly `width` digits.
struct NumericField {
  wchar_t conversion;
  int std::tm::*member;
  int offset;
  int width;
  int low;
  int high;
};

constexpr NumericField kNumericFields[] = {
    {L'Y', &std::tm::tm_year, 1900, 4, 1000, 9999}, {L'm', &std::tm::tm_mon, 1, 2, 0, 99},
    {L'd', &std::tm::tm_mday, 0, 2, 0, 99},         {L'H', &std::tm::tm_hour, 0, 2, 0, 99},
    {L'M', &std::tm::tm_min, 0, 2, 0, 99},          {L'S', &std::tm::tm_sec, 0, 2, 0, 99},
};

// The value and width of `conversion` at `moment`; none for other conversions and values.
std::optional<std::pair<int, int>> numericField(wchar_t conversion, const std::tm& moment) {
  for (const NumericField& field : kNumericFields) {
    if (field.conversion != conversion) continue;
    const int value = moment.*field.member + field.offset;
    if (value < field.low || value > field.high) return std::nullopt;
    return std::pair(value, field.width);
  }
  return std::nullopt;
}

// Those fields written digit by digit: the common directives skip building a format and the
// runtime's whole conversion machinery.
bool formatNumeric(const Directive& directive, const std::tm& moment, std::wstring& out) {
  const auto field = numericField(directive.conversion, moment);
  // A NUL ends the format handed to wcsftime, and with it the copied text.
  if (!field || directive.rest.size() + 4 >= kResultChars ||
      directive.rest.find(L'\0') != std::wstring_view::npos) {
    return false;
  }
  wchar_t digits[4];
  int value = field->first;
  for (int i = field->second - 1; i >= 0; --i, value /= 10) digits[i] = L'0' + value % 10;
  int skip = 0;  // '#' drops leading zeros, but a zero value keeps its last digit
  while (directive.hash && skip + 1 < field->second && digits[skip] == L'0') ++skip;
  out.assign(digits + skip, static_cast<std::size_t>(field->second - skip));
  if (!directive.rest.empty()) out += directive.rest;
  return true;
}

std::wstring formatFor(const Directive& directive) {
  std::wstring format =
      directive.hash ? convertedWithHash(directive.conversion) : std::wstring(1, L'%');
  if (!directive.hash) format += directive.conversion;
  // Copied text must not be read as conversions by glibc.
  for (wchar_t c : directive.rest) {
    format += c;
    if (c == L'%') format += L'%';
  }
  return format;
}

}  // namespace

std::wstring strftimeFormatFor(const std::wstring& name) {
  const auto directive = parseDirective(name);
  return directive ? formatFor(*directive) : std::wstring();
}

bool formatDirective(const std::wstring& name, const std::tm& moment, std::wstring& out) {
  const auto directive = parseDirective(name);
  if (!directive) return false;
  if (formatNumeric(*directive, moment, out)) return true;
  wchar_t result[kResultChars];
  const std::size_t length =
      wcsftime_l(result, kResultChars, formatFor(*directive).c_str(), &moment, platform::cLocale());
  if (length == 0) return false;
  out.assign(result, length);
  return true;
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
  std::wstring text;
  if (!formatDirective(name, moment_, text)) return false;
  out.set(std::move(text), TextVal::kText);
  return true;
}

}  // namespace tools
