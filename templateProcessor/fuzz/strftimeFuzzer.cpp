// Expands an arbitrary directive name at an arbitrary instant in one of a few zones. A name
// is one conversion, after an optional '#', and text that is copied: its expansion is the
// conversion's followed by that text, or nothing when that does not fit the result buffer.
// '#' only drops the leading zeros of numbers (and lengthens the dates %#c and %#x).
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

#include "platform/src/cLocale.h"
#include "platform/src/utf8.h"
#include "templateProcessor/src/paramArgs.h"
#include "templateProcessor/src/strftimeTemplateProcessor.h"

namespace {

using tools::StrftimeTemplateProcessor;
using tools::TextVal;

const char* const kZones[] = {"UTC0", "EST5EDT,M3.2.0,M11.1.0", "<+0545>-5:45",
                              "NZST-12NZDT,M9.5.0,M4.1.0/3"};
constexpr std::wstring_view kNumeric = L"dHIjmMSUwWyY";
constexpr std::size_t kResultChars = 1024;  // the buffer, with its NUL

std::optional<std::wstring> expand(StrftimeTemplateProcessor& p, const std::wstring& name) {
  TextVal out;
  if (!p.getParameterValue(name, templateProcessor::ParamArgs(), out)) return std::nullopt;
  if (out.type() != TextVal::kText || out.isEmpty()) std::abort();
  return out.value();
}

std::optional<std::wstring> withoutLeadingZeros(std::optional<std::wstring> number) {
  if (number) number->erase(0, std::min(number->find_first_not_of(L'0'), number->size() - 1));
  return number;
}

void checkHash(StrftimeTemplateProcessor& p, wchar_t conversion) {
  const std::wstring plain(1, conversion);
  const std::optional<std::wstring> hashed = expand(p, L"#" + plain);
  if (kNumeric.find(conversion) != std::wstring_view::npos) {
    if (hashed != withoutLeadingZeros(expand(p, plain))) std::abort();
  } else if (conversion != L'c' && conversion != L'x') {
    if (hashed != expand(p, plain)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One byte picks the zone and how the name is read, four the offset from now.
  if (size < 5) return 0;
  ::setenv("TZ", kZones[data[0] & 0x03], 1);
  std::int32_t offset = 0;
  std::memcpy(&offset, data + 1, sizeof offset);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 5, size - 5);
  std::wstring name;
  if (data[0] & 0x04) {
    name = platform::fromUtf8(bytes);
  } else {
    for (char b : bytes) name += static_cast<wchar_t>(static_cast<unsigned char>(b));
  }

  StrftimeTemplateProcessor p(offset);
  const std::optional<std::wstring> got = expand(p, name);
  // Fields written without wcsftime must read as wcsftime writes them.
  const std::wstring format = tools::strftimeFormatFor(name);
  wchar_t expected[kResultChars];
  const std::size_t length = format.empty() ? 0
                                            : wcsftime_l(expected, kResultChars, format.c_str(),
                                                         &p.moment(), platform::cLocale());
  if (got != (length ? std::optional(std::wstring(expected, length)) : std::nullopt)) std::abort();
  const std::size_t at = !name.empty() && name[0] == L'#' ? 1 : 0;
  const std::optional<std::wstring> head =
      at < name.size() ? expand(p, name.substr(0, at + 1)) : std::nullopt;
  if (!head) {
    if (got) std::abort();
    return 0;
  }
  checkHash(p, name[at]);
  // The name reaches the runtime as a C string: a NUL ends it.
  const std::wstring copied = name.substr(at + 1, name.find(L'\0', at + 1) - (at + 1));
  const std::wstring whole = *head + copied;
  const bool narrow =
      std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= 0 && c <= 0xFF; });
  const bool fits = whole.size() < kResultChars;
  if (got != (narrow && fits ? std::optional<std::wstring>(whole) : std::nullopt)) std::abort();
  return 0;
}
