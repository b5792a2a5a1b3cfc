#pragma once
// One transfer for one HttpRequest: a local file read from disk (by the rules of
// urlSource.h, fileUrl.h and localPage.h), or an HTTP exchange over the connection's
// Internet session, carried to an outcome (an error message, empty for success, and
// whether the failure is worth repeating) that the finished event announces.
//
//     AsyncHttpPool pool;
//     AsyncHttp http(connection, request);
//     pool.add(&http);                                 // starts it
//     AsyncHttp* done = nullptr;
//     if (pool.wait({}, done, -1) == 1) done->isFinished(&message, nullptr);
//
// The transfer is a state machine, so that both session modes share it:
//   0 idle -> 1 sent, answer awaited -> 2 reading the body -> 3 reading, the server has
//   closed the connection -> 4 finished (the event is set); reset() returns to 0.
// A local file goes from 0 to 4 at once. In a synchronous session every step runs inside
// run() on the caller's thread, which returns once the transfer has finished. In an
// asynchronous session a step that the layer cannot finish at once returns, and the
// layer's status notifications resume the machine on the layer's thread.
//
// Outcomes: every failure, in run() or in a notification, ends the transfer with its
// message; nothing escapes into the Internet layer. Retryable (RetryableAsyncHttpError):
// an asynchronous send that completes with an error code, and a read failing with
// ERROR_INTERNET_INCORRECT_HANDLE_STATE or without a code. Not retryable: "Can't find
// file: %1" (a plain path to nothing or to a directory), "Invalid protocol: %1" (a scheme
// other than file, http and https), "The file: URL %1 names the host %2; ...", "Can't
// open file: %1" (also a file that is not regular, see localPage.h), "The page is larger
// than %1." (a local file or a kept body past the network settings' page limit, also as
// soon as a Content-Length says so), "Can't read file: %1", "Can't connect to %1: %2", "Can't open
// request: %1 %2 - %3", 'Can't add HTTP header "%1": %2', a send refused at once (its error text),
// "Can't read the HTTP response: %1", "Can't read the response data: %1", "Can't write the
// downloaded data." (the save stream refused bytes), "Shutting down.", "The
// download was cancelled." (the progress callback is also asked every 250 ms or so while
// the layer waits for the server), "The download did not end within its time limit of %1
// s." (networkSettings().timeLimit), the gzip messages and "Unknown AsyncHttp exception.". Any
// status code is a success here; a 301, 302, 303 or 307 with a Location leaves the
// absolute target as the response's redirect (followed by the pool, not here). After a
// failure the partly filled response stays until reset or destruction.
//
// Ownership: the connection and the request are not owned and must outlive the object;
// the response is owned until takeResponse() hands it over.
//
// Locks: each object has its own lock (write side for the steps, reset, end and
// takeResponse; read side for isFinished), a process-wide registry of live objects has
// another. Order: the InternetConn's lock, then an object's lock, then the registry lock,
// then the message log's and the string machinery's locks; nothing that holds the registry
// lock takes an object's lock, and notifications release it before they do.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "lib/misc/src/readWriteLock.h"
#include "net/src/bodyLimit.h"
#include "net/src/byteVector.h"
#include "net/src/httpRequest.h"
#include "net/src/httpResponse.h"
#include "net/src/progressCallback.h"
#include "platform/inet/src/statusInfo.h"
#include "platform/inet/src/urlComponents.h"
#include "platform/src/event.h"

namespace misc {
class CProgress;
}

namespace net {

class InternetConn;
class AsyncHttpPool;
class GzipStream;

namespace internal {
class ConnectionHandle;
class RequestHandle;
}  // namespace internal

class AsyncHttp {
 public:
  enum State : std::int32_t { kIdle = 0, kSent = 1, kReading = 2, kReadingClosed = 3, kEnded = 4 };

  AsyncHttp(InternetConn& connection, HttpRequest& request, ProgressCallback callback = nullptr,
            std::uintptr_t context = 0);
  // Closes the handles and leaves the registry; waits for a notification that is being
  // delivered to this object to finish first.
  virtual ~AsyncHttp();
  AsyncHttp(const AsyncHttp&) = delete;
  AsyncHttp& operator=(const AsyncHttp&) = delete;

  // Starts the transfer; ends it with the message of any exception.
  virtual void run();
  // Reads body blocks until the body ends, a read must wait, or the transfer is over.
  virtual void readNextBlock();
  // Closes the request handle and ends an unfinished transfer with "The download was
  // cancelled." (the layer itself would never report a closed pending request).
  virtual void cancel();
  // True once the event is set; then copies the outcome into the outputs given.
  virtual bool isFinished(std::wstring* message = nullptr, bool* retryable = nullptr) const;

  // Back to idle: handles closed, response dropped, event reset; the pool's redirect and
  // retry bookkeeping stays.
  void reset(bool quiet);
  std::unique_ptr<HttpResponse> takeResponse();
  platform::Event& getFinishedEvent() { return finished_; }
  const void* getRequestHandle() const;
  const HttpRequest& getRequest() const { return request_; }
  // What is fetched now: the request's URL, or the last redirect target the pool followed.
  std::wstring getUrl() const;
  State getState() const;

 protected:
  virtual void start();
  virtual void end(const std::wstring& message, bool retryable);
  virtual void onSendComplete(std::uint32_t error);
  // Consumes `count` bytes that a read put in place; true when the transfer has ended.
  virtual bool processData(std::size_t count);
  virtual void onInternetStatus(const platform::inet::StatusInfo& info);

 private:
  friend class AsyncHttpPool;

  // The one status callback of every session: finds the object in the registry and runs
  // onInternetStatus under its lock.
  static void statusCallback(const platform::inet::StatusInfo& info);
  static void logStatus(const platform::inet::StatusInfo& info);
  template <class Step>
  void endOnFailure(Step step);

  enum class Abort { kNone, kCancelled, kTimeLimit };

  std::wstring tag() const;  // "[<address>]: " of the AsyncHttp log lines
  void report(const misc::CProgress& progress);
  // Asked by the Internet layer while the request runs, on the thread that drives it, which
  // may not hold this object's lock: it touches only what a transfer leaves unchanged.
  bool shouldAbort();
  // Throws the reason of an abort that shouldAbort() decided on, if there was one.
  void throwIfAborted() const;
  // `notFoundMessage` for a path that leads to no file or to a directory.
  void readLocalFile(const std::wstring& path, int notFoundMessage);
  void startNetwork(const platform::inet::UrlComponents& parts);
  void openRequest(const platform::inet::UrlComponents& parts);
  void addHeaders();
  void send();
  bool redirectOrNotModified(std::uint32_t status);
  void captureHeaders(std::uint32_t status);
  void expectBody();
  void reserve(std::uint64_t bytes);
  // Where a read hands the body's bytes.
  const std::function<void(std::string_view)>& sink();
  // Takes in the body's room ahead of the next `bytes`, within what it holds already.
  void faultInAhead(ByteVector& body, std::size_t bytes);
  // Drops the one NUL byte that a read after the close brought; false when it was another.
  bool dropClosingNul();
  void finishBody();

  mutable misc::ReadWriteLock lock_;
  InternetConn& connection_;
  HttpRequest& request_;
  std::wstring url_;
  ProgressCallback callback_;
  std::uintptr_t context_;
  State state_ = kIdle;
  std::unique_ptr<HttpResponse> response_;
  platform::Event finished_{platform::Event::Reset::Manual};
  std::wstring message_;
  bool retryable_ = false;
  std::unique_ptr<internal::ConnectionHandle> connectionHandle_;
  std::unique_ptr<internal::RequestHandle> requestHandle_;
  std::uint32_t expected_ = 0;  // from Content-Length; 0 when none
  std::size_t received_ = 0;    // as sent: compressed bytes of a gzip body
  BodyLimit limit_;
  std::size_t faultedIn_ = 0;         // the plain body's room taken in so far
  std::unique_ptr<GzipStream> gzip_;  // inflates into the response's body as it arrives
  ByteVector blockBuffer_;            // the last read's bytes, with a save stream or gzip only
  std::function<void(std::string_view)> sink_;
  std::int32_t redirectCount_ = 0;
  std::wstring lastRedirectUrl_;
  bool permanentRedirect_ = false;
  std::int32_t maxRetries_;
  std::int32_t retryCount_ = 0;
  // When the first start began: the time limit covers redirects and retries.
  std::optional<std::chrono::steady_clock::time_point> startedAt_;
  std::atomic<Abort> abort_{Abort::kNone};
  std::mutex progressMutex_;
  std::wstring lastProgress_;  // what the cancel check shows, under progressMutex_

  // Notifications between the registry look-up and their end; the destructor waits for 0.
  std::mutex inFlightMutex_;
  std::condition_variable inFlightDone_;
  int inFlight_ = 0;
};

}  // namespace net
