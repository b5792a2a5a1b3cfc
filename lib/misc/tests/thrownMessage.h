#pragma once

#include <string>

#include "lib/misc/src/wruntimeError.h"

namespace misc::test {

// The message of the `Error` that `action` throws; "<no exception>" when it returns, so that
// a comparison with the expected message fails either way. Other exceptions pass through.
template <class Error = wruntime_error, class Action>
std::wstring thrownMessage(Action&& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.wideMessage();
  }
  return L"<no exception>";
}

}  // namespace misc::test
