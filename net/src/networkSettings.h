#pragma once
// The connection settings that every InternetConn and AsyncHttp of the process shares.
// They are read without a lock: set them before the first transfer. A numeric option of 0
// and an empty string option are never handed to the Internet layer, which then keeps its
// own defaults (a 60 s connect and stall limit among them).

#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class Event;
}

namespace net {

class Authenticator;

struct NetworkSettings {
  std::wstring userAgent = L"Tarvo/2.3.5PRO";  // empty: the default agent
  std::wstring httpVersion = L"HTTP/1.0";
  std::wstring acceptEncoding = L"gzip";  // empty: no Accept-Encoding header

  // Options of every connection and request handle (configureInternetHandle).
  std::uint32_t connectRetries = 0;
  std::uint32_t connectTimeout = 0;  // milliseconds
  std::uint32_t fromCacheTimeout = 0;
  std::uint32_t receiveTimeout = 0;  // milliseconds
  std::uint32_t sendTimeout = 0;     // milliseconds
  std::wstring proxyUserName;
  std::wstring proxyPassword;
  // Options of connection, request and FTP file handles beyond those.
  std::uint32_t readBufferSize = 0;
  std::uint32_t writeBufferSize = 0;

  bool ftpActiveMode = false;  // false: passive FTP
  // Bytes per read or write of an FTP file; 0 counts as 32768. An HTTP body is read as it
  // arrives, in what one wait for it brings.
  std::uint32_t transferBlockSize = 32768;

  // The most bytes a page may hold: a body as it is kept (after gunzip) and a local page;
  // past it a transfer fails with "The page is larger than <limit>." (bodyLimit.h). A
  // body written to a stream is not held and not limited. 0: no limit.
  std::uint64_t maxBodyBytes = std::uint64_t{256} << 20;

  std::int32_t maxRedirects = 5;    // followed by the request pool; below 1: no limit
  std::int32_t maxAutoRetries = 2;  // repetitions of a retryable ending
  // Seconds that a whole HTTP download, its redirects and repetitions included, may take;
  // past them it ends with "The download did not end within its time limit of %1 s.".
  // 0: no limit.
  std::uint32_t timeLimit = 0;
  // Once set, ends every transfer between two body blocks with "Shutting down.". Not owned.
  platform::Event* shutdownEvent = nullptr;

  // The agent to announce: userAgent, or the default one when that is empty.
  std::wstring effectiveUserAgent() const;
  // transferBlockSize, or 32768 when that is 0.
  std::uint32_t blockSize() const;
};

// The process-wide settings; `networkSettings() = {}` restores every default.
NetworkSettings& networkSettings();

// The optional source of Proxy-Authorization headers, held under a process-wide lock so
// that it may be replaced while transfers run. Null removes it.
void setProxyAuthenticator(std::shared_ptr<const Authenticator> authenticator);
// Its value under that lock (read side); empty when there is none.
std::wstring proxyAuthorization();

}  // namespace net
