#pragma once
// The seam between the network module and the Internet layer: the handle operations that
// AsyncHttp and InternetConn make, as interfaces. realInternetApi() forwards each to
// platform::inet one to one; tests put a scripted Internet of their own in its place. The
// numbers (flags, query codes, options, notifications, error codes) and the rules of every
// operation are platform::inet's (see platform/inet/src/session.h and request.h): a failing
// call returns false or null with the thread's last error set.
//
// Ownership: every handle is owned by whoever made it and may be destroyed in any order.
// Threads: the status callback runs on a thread of the Internet layer in an asynchronous
// session, and on the thread whose call caused the notification in a synchronous one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/inet/src/connection.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/statusInfo.h"

namespace net::internal {

class InternetHandle {
 public:
  virtual ~InternetHandle() = default;
  // Unique among live handles; never 0.
  virtual std::uint32_t id() const = 0;
  virtual bool setOption(std::uint32_t option, std::uint32_t value) = 0;
  virtual bool setOption(std::uint32_t option, const std::wstring& value) = 0;
};

class RequestHandle : public InternetHandle {
 public:
  virtual bool addRequestHeaders(const std::wstring& headers, std::uint32_t modifiers) = 0;
  virtual bool setAbortCheck(std::function<bool()> check) = 0;
  virtual bool setReceiveBlock(std::size_t bytes) = 0;
  virtual bool send(const void* body, std::size_t bodySize) = 0;
  virtual bool queryInfo(std::uint32_t query, std::wstring& value,
                         std::size_t bufferChars) const = 0;
  virtual bool queryInfoNumber(std::uint32_t query, std::uint32_t& value) const = 0;
  virtual bool read(void* buffer, std::size_t size, std::size_t& bytesRead) = 0;
  // The bytes go to `sink` where the layer holds them, with no buffer of the caller's.
  virtual bool read(const std::function<void(std::string_view)>& sink, std::size_t& bytesRead) = 0;
};

class FtpFileHandle : public InternetHandle {
 public:
  virtual bool read(void* buffer, std::size_t size, std::size_t& bytesRead) = 0;
  virtual bool write(const void* data, std::size_t size, std::size_t& written) = 0;
  virtual bool close() = 0;
};

class ConnectionHandle : public InternetHandle {
 public:
  virtual std::unique_ptr<RequestHandle> openRequest(const std::wstring& verb,
                                                     const std::wstring& objectName,
                                                     const std::wstring& version,
                                                     std::uint32_t flags,
                                                     std::uintptr_t context) = 0;
  virtual bool ftpFindFile(const std::wstring& path, std::uint32_t flags,
                           platform::inet::FtpFindData& found) = 0;
  virtual std::unique_ptr<FtpFileHandle> ftpOpenFile(const std::wstring& path, std::uint32_t access,
                                                     std::uint32_t flags,
                                                     std::uintptr_t context) = 0;
};

class SessionHandle : public InternetHandle {
 public:
  virtual bool isAsync() const = 0;
  virtual void setStatusCallback(platform::inet::StatusCallback callback) = 0;
  virtual std::unique_ptr<ConnectionHandle> connect(const std::wstring& host, std::uint16_t port,
                                                    const std::wstring& userName,
                                                    const std::optional<std::wstring>& password,
                                                    std::uint32_t service, std::uint32_t flags,
                                                    std::uintptr_t context) = 0;
};

class InternetApi {
 public:
  virtual ~InternetApi() = default;
  // Flags 0 (synchronous) or INTERNET_FLAG_ASYNC; null on failure.
  virtual std::unique_ptr<SessionHandle> openSession(const std::wstring& userAgent,
                                                     std::uint32_t flags) = 0;
};

// The Internet layer itself; lives until the process ends.
InternetApi& realInternetApi();

}  // namespace net::internal
