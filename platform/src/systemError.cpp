#include "platform/src/systemError.h"

#include <string.h>

#include "platform/src/utf8.h"

namespace platform {

std::wstring systemErrorText(int code) {
  // strerror_r invents "Unknown error N" for anything; only named errno values have text.
  if (code <= 0 || strerrorname_np(code) == nullptr) return {};
  char buffer[256] = {};
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return fromUtf8(text ? text : "");
}

}  // namespace platform
