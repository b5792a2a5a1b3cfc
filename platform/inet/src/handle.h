#pragma once
// The base of every handle of the Internet layer (session, connection, request, FTP file):
// an id for log lines and notifications, the caller's context value, and the options.
//
// Ownership: handles are owned by whoever made them (std::unique_ptr); they may be
// destroyed in any order. A handle whose session was destroyed stays safe to use and to
// destroy: every operation on it fails with ERROR_INVALID_HANDLE.
//
// Options: a handle starts with a copy of its parent's options as they were when it was
// made; setting an option changes that handle (and the handles made from it later) only.
// A request's options take effect when it is sent. Values:
// - INTERNET_OPTION_CONNECT_TIMEOUT (ms, default 60000): the time a connection may take;
// - INTERNET_OPTION_RECEIVE_TIMEOUT and _SEND_TIMEOUT (ms, default 60000): a transfer that
//   moves no byte for the longer of the two ends with ERROR_INTERNET_TIMEOUT (whole
//   seconds, at least 1);
// - INTERNET_OPTION_READ_BUFFER_SIZE, _WRITE_BUFFER_SIZE, _CONNECT_RETRIES and
//   _FROM_CACHE_TIMEOUT: kept and reported back, no effect on the transport;
// - INTERNET_OPTION_PROXY_USERNAME and _PROXY_PASSWORD (text): credentials for the proxy
//   that the usual environment variables name.
// Setting a number to 0 restores the default. An unknown option fails with
// ERROR_INTERNET_INVALID_OPTION, a number given for a text option (or the reverse) with
// ERROR_INTERNET_BAD_OPTION_LENGTH.
//
// Threads: every operation may be called from any thread; calls on handles of one session
// take turns.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/inet/src/handleOptions.h"

namespace platform::inet {

namespace internal {
class SessionCore;
}

class Handle {
 public:
  virtual ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  // Unique in the process while the handle lives; never 0.
  std::uint32_t id() const { return id_; }
  std::uintptr_t context() const { return context_; }

  bool setOption(std::uint32_t option, std::uint32_t value);
  bool setOption(std::uint32_t option, const std::wstring& value);
  bool queryOption(std::uint32_t option, std::uint32_t& value) const;
  bool queryOption(std::uint32_t option, std::wstring& value) const;

 protected:
  Handle(std::shared_ptr<internal::SessionCore> core, const HandleOptions& inherited,
         std::uintptr_t context);

  internal::SessionCore& core() const { return *core_; }
  const std::shared_ptr<internal::SessionCore>& sharedCore() const { return core_; }
  // Read under the session's lock.
  const HandleOptions& options() const { return options_; }

 private:
  std::shared_ptr<internal::SessionCore> core_;
  HandleOptions options_;
  std::uint32_t id_;
  std::uintptr_t context_;
};

}  // namespace platform::inet
