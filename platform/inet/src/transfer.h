#pragma once
// One libcurl transfer (an easy handle) and what it has brought in so far: the response
// headers, a bounded part of the body, the FTP server's last reply, the outcome. Made for
// a request or an FTP file; the session core runs it. Internal to the layer.
//
// Every member is used under the session's lock; libcurl's callbacks run inside
// SessionCore::perform, which holds it.

#include <curl/curl.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/inet/src/byteQueue.h"
#include "platform/inet/src/handleOptions.h"
#include "platform/inet/src/responseHeaders.h"

namespace platform::inet::internal {

class SessionCore;

class Transfer {
  struct Key {};

 public:
  enum class Kind { Http, FtpDownload, FtpUpload, FtpCommand };

  // The body bytes held at most (one block of libcurl's may come on top).
  static constexpr std::size_t kBufferLimit = 256 * 1024;

  // Null when libcurl cannot make an easy handle.
  static std::shared_ptr<Transfer> create(SessionCore& core, Kind kind, std::uint32_t handle,
                                          std::uintptr_t context);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  CURL* easy() const { return easy_.get(); }
  Kind kind() const { return kind_; }
  std::uint32_t handle() const { return handle_; }
  // The handle whose notifications the transfer makes, once that exists.
  void identify(std::uint32_t handle, std::uintptr_t context) {
    handle_ = handle;
    context_ = context;
  }
  std::uintptr_t context() const { return context_; }

  // Set up before the core adds the transfer. The strings must live as long as the
  // transfer: they are kept here.
  void setUrl(std::string url);
  void setHeaderLines(const std::vector<std::string>& lines);
  void setBody(std::string body);
  void setFollowsRedirects(bool follows) { followsRedirects_ = follows; }
  // 0: libcurl's own.
  void setReceiveBlock(std::size_t bytes) { receiveBlock_ = bytes; }
  // Asked from libcurl's progress callback while the transfer runs; true ends it with
  // ERROR_INTERNET_OPERATION_CANCELLED.
  void setAbortCheck(std::function<bool()> check) { abortCheck_ = std::move(check); }
  // Installs the callbacks and the options every transfer shares.
  void prepare(const HandleOptions& options);

  // Called by the core.
  void setRunning(bool running) { running_ = running; }
  bool running() const { return running_; }
  void finish(CURLcode result);

  bool started() const { return started_; }
  bool done() const { return done_; }
  // After done(): ERROR_SUCCESS or the failure's code; the FTP server's last reply.
  std::uint32_t error() const { return error_; }
  const std::wstring& serverReply() const { return serverReply_; }

  const ResponseHeaders& headers() const { return headers_; }
  // The final response's header block is complete (HTTP), or the server has begun
  // sending the file (FTP download) or taking it (FTP upload).
  bool ready() const { return ready_; }

  using BodySink = std::function<void(std::string_view)>;

  // Body bytes waiting to be read.
  bool hasBody() const { return !body_.empty(); }
  std::size_t takeBody(void* buffer, std::size_t size);
  std::size_t takeBody(const BodySink& sink);
  // While a reader waits: the body bytes that libcurl hands over go to `sink` straight from
  // its buffer, none queued, while the queue is empty. An exception of the sink ends the
  // transfer; endDirect rethrows it. endDirect returns the bytes the sink was given.
  void beginDirect(const BodySink& sink);
  bool directDelivered() const { return directBytes_ > 0; }
  std::size_t endDirect();

  // Upload bytes: takes what fits; 0 when the buffer is full.
  std::size_t giveUpload(const void* data, std::size_t size);
  void endUpload();
  bool uploadDrained() const { return upload_.empty(); }

  // Asynchronous operations waiting for a completion notification.
  bool pendingSend = false;
  bool pendingRead = false;
  // Queues the completions that have become due.
  void notifyDue();

  Transfer(Key, SessionCore& core, Kind kind, std::uint32_t handle, std::uintptr_t context,
           CURL* easy);

 private:
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onRead(char* data, std::size_t size, std::size_t count, void* self);
  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
  void installAbortCheck();
  std::size_t header(std::string_view line);
  std::size_t deliver(const char* data, std::size_t bytes);
  void ftpReply(std::string_view line);
  void resume();
  std::uint32_t failureCode(CURLcode result) const;

  struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };

  SessionCore& core_;
  const Kind kind_;
  std::uint32_t handle_;
  std::uintptr_t context_;
  std::unique_ptr<CURL, EasyDeleter> easy_;
  std::unique_ptr<curl_slist, ListDeleter> headerList_;
  std::string url_;
  std::string requestBody_;
  bool followsRedirects_ = false;
  std::size_t receiveBlock_ = 0;
  std::function<bool()> abortCheck_;

  bool running_ = false;
  bool started_ = false;
  bool ready_ = false;
  bool done_ = false;
  bool paused_ = false;
  std::uint32_t error_ = 0;
  std::uint32_t overrideError_ = 0;  // a failure this layer decided on
  long redirects_ = 0;

  ResponseHeaders headers_;
  ByteQueue body_{kBufferLimit + CURL_MAX_WRITE_SIZE};
  const BodySink* directSink_ = nullptr;
  std::size_t directBytes_ = 0;
  std::exception_ptr sinkFailure_;
  ByteQueue upload_{kBufferLimit};
  bool uploadEnded_ = false;
  std::string replyLines_;  // the FTP reply being received
  std::wstring serverReply_;
};

}  // namespace platform::inet::internal
