#pragma once
// What a session's status callback is told.

#include <cstdint>
#include <functional>

namespace platform::inet {

struct StatusInfo {
  std::uint32_t handle = 0;    // Handle::id() of the handle the notification is about
  std::uintptr_t context = 0;  // the context that handle was made with (never 0)
  std::uint32_t status = 0;    // INTERNET_STATUS_*
  // INTERNET_STATUS_REQUEST_COMPLETE: result is 1 when the operation succeeded, 0 when it
  // failed; error is then its error code (0 on success).
  std::uintptr_t result = 0;
  std::uint32_t error = 0;
};

// Called for:
// - INTERNET_STATUS_REQUEST_COMPLETE: an operation of an asynchronous session that failed
//   with ERROR_IO_PENDING has finished (Request::send: the final response's headers are in,
//   or the send failed; Request::read: bytes, the end of the body or an error can now be
//   read at once). Never in a synchronous session.
// - INTERNET_STATUS_CONNECTION_CLOSED: the transfer of a request has ended on the network
//   side (the body is complete, or failed); bytes may still wait to be read.
// - INTERNET_STATUS_HANDLE_CLOSING: the handle was destroyed; the last notification for it.
// Handles made with context 0 get no notifications.
using StatusCallback = std::function<void(const StatusInfo&)>;

}  // namespace platform::inet
