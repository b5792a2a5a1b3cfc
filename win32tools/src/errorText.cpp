#include "win32tools/src/errorText.h"

#include <cstdio>

#include "platform/src/errorSpace.h"
#include "platform/src/lastResponseInfo.h"
#include "platform/src/systemError.h"
#include "platform/src/thread.h"
#include "win32tools/src/errorTables.h"
#include "win32tools/src/istring.h"

namespace win32tools {
namespace {
constexpr std::uint32_t kInternetExtendedError = 12003;
}

std::wstring win32ErrorText(std::uint32_t code) {
  if (code == kInternetExtendedError) return platform::lastResponseInfo();
  if (code != 0 && !platform::isOwnCode(code)) {
    std::wstring text = platform::systemErrorText(static_cast<int>(code));
    if (!text.empty()) return text;
  }
  const std::uint32_t number = platform::codeNumber(code);
  for (const internal::ErrorTableRow* table :
       {internal::kWinSockErrors, internal::kWinInetErrors,
        platform::isOwnCode(code) ? internal::kOwnErrors : nullptr}) {
    if (table == nullptr) continue;
    if (const int id = internal::findErrorString(table, number)) return internal::istring(id);
  }
  wchar_t hex[16];
  std::swprintf(hex, 16, L"%08X", number);
  return internal::istring(11204).format(hex);
}

std::wstring lastErrorText() {
  return win32ErrorText(platform::getLastError());
}

}  // namespace win32tools
