#pragma once
// The root handle of the Internet layer: one transport (a libcurl multi handle) that the
// connections, requests and FTP files made from it share.
//
//     auto session = Session::open(L"Tarvo/2.3.5PRO", 0);
//     auto connection = session->connect(L"example.org", 80, L"", std::nullopt,
//                                        INTERNET_SERVICE_HTTP, 0, 0);
//     auto request = connection->openRequest(L"GET", L"/page", L"HTTP/1.0", 0, 0);
//     request->send();                      // returns once the headers are in
//     request->queryInfoNumber(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status);
//     while (request->read(buffer, sizeof buffer, got) && got > 0) { ... }
//
// Modes:
// - synchronous (flags 0): every call does its work on the calling thread and returns when
//   it is done. Calls from several threads take turns; one that waits for the network
//   keeps the others waiting until it returns.
// - asynchronous (INTERNET_FLAG_ASYNC): a thread of the session drives every transfer.
//   Request::send and Request::read return at once; when they cannot finish at once they
//   fail with ERROR_IO_PENDING and INTERNET_STATUS_REQUEST_COMPLETE follows from that
//   thread. FTP operations and connect still return only when they are done.
//
// Status callback: runs on the session's thread in an asynchronous session, on the thread
// whose call caused the notification in a synchronous one; never while the layer holds a
// lock, so it may call any operation of the layer (read, send, destroy a handle) except
// destroying the session. A notification that is being delivered may still reach its
// context shortly after that handle's destructor returned: a caller whose context can
// disappear checks that it is still alive (a registry of live objects, say).
//
// Failures of every call set the thread's last error (platform::setLastError) to one of
// the codes of inetConstants.h; an FTP server's refusal is ERROR_INTERNET_EXTENDED_ERROR
// with the server's reply as the thread's last response text (platform/src/
// lastResponseInfo.h). In an asynchronous session the last response of the session's
// thread is set before a callback reports such a failure.
//
// TLS is verified against the system's certificate store and the user's or the process's
// own authorities (extraCaFile.h); proxies follow libcurl's environment variables (http_proxy,
// ...).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/inet/src/handle.h"
#include "platform/inet/src/statusInfo.h"

namespace platform::inet {

class Connection;

class Session : public Handle {
  struct Key {};

 public:
  // The user agent is sent with every HTTP request. Flags: 0 or INTERNET_FLAG_ASYNC. Null
  // when the transport or the session's thread cannot be set up (last error set).
  static std::unique_ptr<Session> open(const std::wstring& userAgent, std::uint32_t flags);

  // Stops the session's thread; transfers still running are dropped, and operations on
  // the handles made from this session fail with ERROR_INVALID_HANDLE from then on.
  ~Session() override;

  bool isAsync() const;

  // Replaces the callback (an empty one means none); it applies to every handle of the
  // session, also those made earlier.
  void setStatusCallback(StatusCallback callback);

  // INTERNET_SERVICE_HTTP: remembers the server; no network traffic until a request is
  // sent. INTERNET_SERVICE_FTP: connects and logs in, and returns when that is done
  // (ERROR_INTERNET_CANNOT_CONNECT, ERROR_INTERNET_INCORRECT_PASSWORD with the server's
  // reply as last response text, ...). Flags: INTERNET_FLAG_PASSIVE for FTP (otherwise
  // active mode). Port 0 means the service's default. Null on failure.
  std::unique_ptr<Connection> connect(const std::wstring& host, std::uint16_t port,
                                      const std::wstring& userName,
                                      const std::optional<std::wstring>& password,
                                      std::uint32_t service, std::uint32_t flags,
                                      std::uintptr_t context);

  Session(Key, std::shared_ptr<internal::SessionCore> core);
};

}  // namespace platform::inet
