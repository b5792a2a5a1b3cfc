#pragma once
// The entry point of the network module: one Internet session and whole transfers over it.
//
//     InternetConn connection;
//     connection.open(false);                          // synchronous
//     ByteVector page;
//     connection.downloadUrl(L"https://example.org/news", page);
//
// A URL may also name a local file, by plain path or file: URL, read from disk instead.
// Every failure throws misc::wruntime_error whose message is the complete text to show,
// and the object stays usable:
// - the errors of AsyncHttp (asyncHttp.h), "Too many redirects." among them, unchanged;
// - "Download failed: <status> <status text>" from downloadUrl and downloadToStream for
//   any answer but 200 (304, 404 and 500 too, although they arrived whole);
// - "Can't write the downloaded data." from downloadToStream when the stream refuses bytes;
// - "Unexpected AsyncHttpPool wait status: <n>";
// - "Can't parse URL (rc=0): <url>";
// - "The download was cancelled." / "The FTP upload was cancelled." / "The FTP download was
//   cancelled." when a progress callback cancels;
// - FTP: "Invalid FTP address.", "Can't connect to <host>: <reason>", "Can't open the
//   remote file: <url> - <reason>", "Can't read the remote file: <reason>", and the bare
//   reason when a write or the end of an upload fails;
// - open: the bare reason when no session can be made.
// A transfer on a closed object fails with "Can't connect to <host>: <reason>".
//
// Threads: every public operation holds the object's lock for writing for its whole run,
// so transfers through one object run one after another; getInternetHandle takes it for
// reading, which the writer itself may do. Synchronous transfers run on the calling thread;
// in an asynchronous session the layer's thread drives them while the caller waits.
// Lock order: this lock, then the AsyncHttp locks (asyncHttp.h), then the log and string
// locks.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "lib/misc/src/readWriteLock.h"
#include "net/src/byteVector.h"
#include "net/src/ftpRequest.h"
#include "net/src/httpRequest.h"
#include "net/src/httpResponse.h"
#include "net/src/progressCallback.h"

namespace platform::inet {
struct UrlComponents;
}

namespace net {

namespace internal {
class InternetApi;
class SessionHandle;
class ConnectionHandle;
}  // namespace internal

class InternetConn {
 public:
  // Over the Internet layer itself.
  InternetConn();
  // Over another implementation of the seam (tests); `api` must outlive the object.
  explicit InternetConn(internal::InternetApi& api);
  virtual ~InternetConn();
  InternetConn(const InternetConn&) = delete;
  InternetConn& operator=(const InternetConn&) = delete;

  // Opens the session (asynchronous when `async`); an open object stays as it is.
  virtual void open(bool async);
  // Closes the session; `lockHeld`: the caller already holds the lock.
  virtual void close(bool lockHeld = false);

  // Runs the request to its end and hands over the response, whatever its status.
  virtual std::unique_ptr<HttpResponse> doHttpRequest(HttpRequest& request,
                                                      ProgressCallback callback,
                                                      std::uintptr_t context);
  virtual std::unique_ptr<HttpResponse> doHttpRequest(HttpRequest& request);
  // The body goes to `stream` block by block as it arrives, as the server sent it (never
  // un-gzipped; no Accept-Encoding is sent). The status is checked after the body.
  virtual void downloadToStream(const std::wstring& url, std::ostream& stream,
                                ProgressCallback callback, std::uintptr_t context);
  virtual void downloadToStream(const std::wstring& url, std::ostream& stream);
  // `data` is replaced by the body, un-gzipped when the server sent it compressed; the body
  // is handed over by exchange, never copied.
  virtual void downloadUrl(const std::wstring& url, ByteVector& data, ProgressCallback callback,
                           std::uintptr_t context);
  virtual void downloadUrl(const std::wstring& url, ByteVector& data);
  // The same, also handing back the response's Content-Type: empty when the server sent
  // none and for a local file.
  virtual void downloadUrl(const std::wstring& url, ByteVector& data, std::wstring& contentType,
                           ProgressCallback callback, std::uintptr_t context);
  // Stores the request's data as the remote file (binary, passive unless ftpActiveMode).
  virtual void ftpUpload(FtpRequest& request, FtpProgressCallback callback, std::uintptr_t context);
  virtual void ftpUpload(FtpRequest& request);
  // Appends the remote file to the request's data.
  virtual void ftpDownload(FtpRequest& request, FtpProgressCallback callback,
                           std::uintptr_t context);
  virtual void ftpDownload(FtpRequest& request);

  // The session; null while closed. Not owned by the caller.
  internal::SessionHandle* getInternetHandle() const;

 private:
  internal::InternetApi& api_;
  mutable misc::ReadWriteLock lock_;
  std::unique_ptr<internal::SessionHandle> session_;
};

}  // namespace net
