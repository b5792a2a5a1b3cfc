#pragma once
// A request opened on a URL of a loopback test server, and whole-body reads, for the
// Internet layer's tests.

#include <memory>
#include <string>

#include "platform/inet/src/connection.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/request.h"
#include "platform/inet/src/session.h"
#include "platform/inet/src/urlComponents.h"
#include "platform/src/thread.h"
#include "platform/src/utf8.h"

namespace inetTest {

using namespace platform::inet;

struct OpenedRequest {
  std::unique_ptr<Connection> connection;
  std::unique_ptr<Request> request;
};

inline OpenedRequest openRequest(Session& session, const std::string& url, std::uint32_t flags = 0,
                                 std::uintptr_t context = 0, const std::wstring& verb = L"GET") {
  UrlComponents parts;
  if (!crackUrl(platform::fromUtf8(url), parts)) return {};
  if (parts.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  OpenedRequest opened;
  opened.connection =
      session.connect(parts.host, parts.port, L"", std::nullopt, INTERNET_SERVICE_HTTP, 0, context);
  if (opened.connection) {
    opened.request = opened.connection->openRequest(verb, parts.path + parts.extraInfo, L"HTTP/1.0",
                                                    flags, context);
  }
  return opened;
}

// 0 when the call succeeded, else why it failed: one expectation per call.
inline std::uint32_t errorOf(bool succeeded) {
  return succeeded ? 0 : platform::getLastError();
}

// Reads to the end; false with the last error set when a read fails.
inline bool readAll(Request& request, std::string& body, std::size_t block = 32768) {
  std::string buffer(block, '\0');
  for (;;) {
    std::size_t got = 0;
    if (!request.read(buffer.data(), buffer.size(), got)) return false;
    if (got == 0) return true;
    body.append(buffer, 0, got);
  }
}

}  // namespace inetTest
