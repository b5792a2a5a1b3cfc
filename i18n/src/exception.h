#pragma once

#include "lib/misc/src/wruntimeError.h"

namespace i18n {

// Failures of the string machinery: the language id cannot be read, a language pack or a
// LANG file cannot be loaded.
class Exception : public misc::wruntime_error {
 public:
  using misc::wruntime_error::wruntime_error;
};

}  // namespace i18n
