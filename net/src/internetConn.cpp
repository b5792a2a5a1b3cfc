#include "net/src/internetConn.h"

#include <algorithm>
#include <sstream>

#include "lib/log/src/log.h"
#include "lib/misc/src/progress.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/asyncHttp.h"
#include "net/src/asyncHttpPool.h"
#include "net/src/httpGetRequest.h"
#include "net/src/internal_net.h"
#include "net/src/internetApi.h"
#include "net/src/istring.h"
#include "net/src/msgGroups.h"
#include "net/src/networkSettings.h"
#include "net/src/sizeText.h"
#include "platform/src/cLocale.h"
#include "platform/src/thread.h"
#include "win32tools/src/errorText.h"

namespace net {
namespace {

namespace inet = platform::inet;

constexpr int kFtpUpload = 11533, kFtpDownload = 11534;
constexpr std::uint32_t kFtpNoCache =
    inet::INTERNET_FLAG_RELOAD | inet::INTERNET_FLAG_NO_CACHE_WRITE;

std::wstring printed(const FtpRequest& request) {
  std::wostringstream line;
  request.print(line);
  return line.str();
}

// The steps that an FTP upload and download share: the URL, the connection with its
// options, progress with cancellation, and opening the remote file.
class FtpTransfer {
 public:
  FtpTransfer(internal::SessionHandle* session, const FtpRequest& request,
              FtpProgressCallback callback, std::uintptr_t context, int operation)
      : request_(request), callback_(callback), context_(context), operation_(operation) {
    PG_LOG(internal::ftpActivityGroup()) << L"Processing FTP request: " << printed(request);
    url_ = request.url;
    if (!platform::startsWithNoCase(url_, L"ftp:/")) url_ = L"ftp://" + url_;
    parts_ = crackUrl(url_);
    if (parts_.scheme != inet::INTERNET_SCHEME_FTP &&
        parts_.scheme != inet::INTERNET_SCHEME_UNKNOWN) {
      throw misc::wruntime_error(internal::istring(11535));
    }
    connect(session);
  }

  void report(const misc::CProgress& progress) {
    if (callback_ == nullptr) return;
    bool cancel = false;
    callback_(progress, request_, context_, &cancel);
    if (cancel) {
      throw misc::wruntime_error(internal::istring(11509).format(internal::istring(operation_)));
    }
  }

  void reportText(int id, const std::wstring& argument) {
    report(misc::CSimpleProgress(internal::istring(id).format(argument)));
  }

  void reportRange(std::uint64_t total, std::uint64_t position) {
    misc::CRangeProgress progress;
    progress.setRange(0, static_cast<int>(total));
    progress.setPosition(static_cast<int>(position));
    report(progress);
  }

  internal::ConnectionHandle& connection() { return *connection_; }
  const std::wstring& path() const { return parts_.path; }

  std::unique_ptr<internal::FtpFileHandle> openFile(std::uint32_t access, std::uint32_t flags) {
    reportText(11524, parts_.path);
    auto file = connection_->ftpOpenFile(parts_.path, access, flags, 0);
    if (!file) {
      throw misc::wruntime_error(
          internal::istring(11536).format(url_, win32tools::lastErrorText()));
    }
    configure(*file);
    return file;
  }

 private:
  void connect(internal::SessionHandle* session) {
    reportText(11521, parts_.host);
    const NetworkSettings& settings = networkSettings();
    std::optional<std::wstring> password;
    if (!request_.password.empty()) password = request_.password;
    if (session == nullptr) {
      platform::setLastError(inet::ERROR_INVALID_HANDLE);  // a closed InternetConn
    } else {
      connection_ = session->connect(parts_.host, parts_.port, request_.userName, password,
                                     inet::INTERNET_SERVICE_FTP,
                                     settings.ftpActiveMode ? 0 : inet::INTERNET_FLAG_PASSIVE, 0);
    }
    if (!connection_) {
      throw misc::wruntime_error(
          internal::istring(11522).format(parts_.host, win32tools::lastErrorText()));
    }
    configure(*connection_);
  }

  static void configure(internal::InternetHandle& handle) {
    configureInternetHandle(handle);
    setInternetOption(handle, inet::INTERNET_OPTION_READ_BUFFER_SIZE,
                      networkSettings().readBufferSize);
    setInternetOption(handle, inet::INTERNET_OPTION_WRITE_BUFFER_SIZE,
                      networkSettings().writeBufferSize);
  }

  const FtpRequest& request_;
  FtpProgressCallback callback_;
  std::uintptr_t context_;
  int operation_;
  std::wstring url_;
  inet::UrlComponents parts_;
  std::unique_ptr<internal::ConnectionHandle> connection_;
};

[[noreturn]] void failWithLastError() {
  throw misc::wruntime_error(win32tools::lastErrorText());
}

void checkDownloadStatus(const HttpResponse& response) {
  if (response.getStatusCode() == 200) return;
  throw misc::wruntime_error(internal::istring(11532).format(
      std::to_wstring(response.getStatusCode()), response.getStatusText()));
}

}  // namespace

InternetConn::InternetConn() : InternetConn(internal::realInternetApi()) {}

InternetConn::InternetConn(internal::InternetApi& api) : api_(api) {}

InternetConn::~InternetConn() {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  close(true);
}

void InternetConn::open(bool async) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  if (session_) return;
  session_ = api_.openSession(networkSettings().effectiveUserAgent(),
                              async ? inet::INTERNET_FLAG_ASYNC : 0);
  if (!session_) failWithLastError();
}

void InternetConn::close(bool lockHeld) {
  if (lockHeld) {
    session_.reset();
    return;
  }
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  session_.reset();
}

internal::SessionHandle* InternetConn::getInternetHandle() const {
  misc::ScopedReadLock guard(&lock_, __FILE__, __LINE__);
  return session_.get();
}

std::unique_ptr<HttpResponse> InternetConn::doHttpRequest(HttpRequest& request,
                                                          ProgressCallback callback,
                                                          std::uintptr_t context) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  PG_LOG(internal::httpActivityGroup()) << L"Processing HTTP request: " << request.printed();
  AsyncHttpPool pool;
  AsyncHttp http(*this, request, callback, context);
  pool.add(&http);
  AsyncHttp* finished = nullptr;
  const int status = pool.wait({}, finished, -1);
  if (status != AsyncHttpPool::kFinished) {
    throw misc::wruntime_error(internal::istring(11548).format(std::to_wstring(status)));
  }
  std::wstring message;
  finished->isFinished(&message, nullptr);
  if (!message.empty()) throw misc::wruntime_error(message);
  return finished->takeResponse();
}

std::unique_ptr<HttpResponse> InternetConn::doHttpRequest(HttpRequest& request) {
  return doHttpRequest(request, nullptr, 0);
}

void InternetConn::downloadToStream(const std::wstring& url, std::ostream& stream,
                                    ProgressCallback callback, std::uintptr_t context) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  HttpGetRequest request(url);
  request.setSaveStream(&stream);
  checkDownloadStatus(*doHttpRequest(request, callback, context));
}

void InternetConn::downloadToStream(const std::wstring& url, std::ostream& stream) {
  downloadToStream(url, stream, nullptr, 0);
}

std::wstring InternetConn::downloadUrl(const std::wstring& url, ByteVector& data,
                                       ProgressCallback callback, std::uintptr_t context) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  HttpGetRequest request(url);
  request.capturedHeaders[inet::HTTP_QUERY_CONTENT_TYPE] = kContentType;
  const std::unique_ptr<HttpResponse> response = doHttpRequest(request, callback, context);
  checkDownloadStatus(*response);
  data.swap(*response->takeData());
  return response->contentType();
}

std::wstring InternetConn::downloadUrl(const std::wstring& url, ByteVector& data) {
  return downloadUrl(url, data, nullptr, 0);
}

void InternetConn::ftpUpload(FtpRequest& request, FtpProgressCallback callback,
                             std::uintptr_t context) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  FtpTransfer transfer(session_.get(), request, callback, context, kFtpUpload);
  auto file = transfer.openFile(inet::GENERIC_WRITE, inet::FTP_TRANSFER_TYPE_BINARY);
  const ByteVector empty;
  const ByteVector& data = request.data != nullptr ? *request.data : empty;
  PG_LOG(internal::ftpActivityGroup()) << L"Sending " << data.size() << L" byte(s)...";
  transfer.reportText(11529, sizeText(data.size()));
  const std::size_t block = networkSettings().blockSize();
  for (std::size_t sent = 0; sent < data.size();) {
    const std::size_t size = std::min(block, data.size() - sent);
    std::size_t written = 0;
    if (!file->write(data.data() + sent, size, written)) failWithLastError();
    sent += size;
    transfer.reportRange(data.size(), sent);
  }
  // The server confirms the file only when the upload ends; a refusal shows there.
  if (!file->close()) failWithLastError();
  PG_LOG(internal::ftpActivityGroup()) << L"- Sent OK.";
}

void InternetConn::ftpUpload(FtpRequest& request) {
  ftpUpload(request, nullptr, 0);
}

void InternetConn::ftpDownload(FtpRequest& request, FtpProgressCallback callback,
                               std::uintptr_t context) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  FtpTransfer transfer(session_.get(), request, callback, context, kFtpDownload);
  inet::FtpFindData found;
  const std::uint32_t expected =
      transfer.connection().ftpFindFile(transfer.path(), kFtpNoCache, found)
          ? static_cast<std::uint32_t>(found.fileSize)
          : 0;
  auto file =
      transfer.openFile(inet::GENERIC_READ, kFtpNoCache | inet::INTERNET_FLAG_PRAGMA_NOCACHE |
                                                inet::FTP_TRANSFER_TYPE_BINARY);
  if (expected > 0) transfer.reportText(11528, sizeText(expected));
  PG_LOG(internal::ftpActivityGroup()) << L"Reading FTP data...";
  ByteVector empty;
  ByteVector& data = request.data != nullptr ? *request.data : empty;
  const std::size_t block = networkSettings().blockSize();
  for (;;) {
    const std::size_t before = data.size();
    data.resize(before + block);
    std::size_t got = 0;
    const bool ok = file->read(data.data() + before, block, got);
    data.resize(before + (ok ? got : 0));
    if (!ok) {
      throw misc::wruntime_error(internal::istring(11537).format(win32tools::lastErrorText()));
    }
    if (got == 0) break;
    if (expected > 0) {
      transfer.reportRange(expected, data.size());
    } else {
      transfer.reportText(11530, sizeText(data.size()));
    }
  }
  PG_LOG(internal::ftpActivityGroup()) << L"- Received " << data.size() << L" byte(s).";
}

void InternetConn::ftpDownload(FtpRequest& request) {
  ftpDownload(request, nullptr, 0);
}

}  // namespace net
