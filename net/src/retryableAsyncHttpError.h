#pragma once

#include <string>

#include "lib/misc/src/wruntimeError.h"

namespace net {

// A transfer failure worth repeating (a connection lost while the answer was awaited, a
// read in a bad handle state): the request pool starts the transfer again while its retry
// count allows. The message is as complete as any other.
class RetryableAsyncHttpError : public misc::wruntime_error {
 public:
  explicit RetryableAsyncHttpError(const std::wstring& message) : misc::wruntime_error(message) {}
};

}  // namespace net
