#pragma once

#include <string>

#include "lib/misc/src/wruntimeError.h"

namespace config {

// Every failure of the configuration store. The message is a complete text of the config
// string block, ready to show.
class Exception : public misc::wruntime_error {
 public:
  explicit Exception(const std::wstring& message) : misc::wruntime_error(message) {}
};

}  // namespace config
