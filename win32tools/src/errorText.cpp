// PROVISIONAL: system texts and the numeric fallback only, until the error tables arrive.
#include "win32tools/src/errorText.h"

#include <cstdio>

#include "i18n/src/istring.h"
#include "platform/src/systemError.h"
#include "platform/src/thread.h"

namespace win32tools {

std::wstring win32ErrorText(std::uint32_t code) {
  if (code != 0) {
    std::wstring text = platform::systemErrorText(static_cast<int>(code));
    if (!text.empty()) return text;
  }
  wchar_t hex[16];
  std::swprintf(hex, 16, L"%08X", code);
  return internal::istring(11204).format(hex);
}

std::wstring lastErrorText() { return win32ErrorText(platform::getLastError()); }

}  // namespace win32tools
