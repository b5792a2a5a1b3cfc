#include "net/src/asyncHttp.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <set>
#include <sstream>

#include "lib/log/src/log.h"
#include "lib/misc/src/progress.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/fileUrl.h"
#include "net/src/gzipStream.h"
#include "net/src/httpPostRequest.h"
#include "net/src/internal_net.h"
#include "net/src/internetApi.h"
#include "net/src/internetConn.h"
#include "net/src/istring.h"
#include "net/src/localPage.h"
#include "net/src/msgGroups.h"
#include "net/src/networkSettings.h"
#include "net/src/retryableAsyncHttpError.h"
#include "net/src/sizeText.h"
#include "net/src/urlSource.h"
#include "platform/src/cLocale.h"
#include "platform/src/prefaultMemory.h"
#include "platform/src/thread.h"
#include "win32tools/src/errorText.h"

namespace net {
namespace {

namespace inet = platform::inet;

// libcurl's own 16 KB takes 32 times the receive calls for a long body.
constexpr std::size_t kReceiveBlock = 512 * 1024;
// A page fault for every 4 KB of a body costs more than receiving it; taking the room a
// few MB ahead at a time costs one call each and holds little beyond the body.
constexpr std::size_t kFaultInStep = 8 << 20;

#define PG_LOG_A() PG_LOG(internal::asyncHttpGroup()) << tag()
#define PG_LOG_H() PG_LOG(internal::httpActivityGroup())
#define PG_LOG_HH() PG_LOG(internal::httpHeadersGroup())

// Every live AsyncHttp, so that a notification for one already destroyed is dropped.
struct LiveRegistry {
  misc::ReadWriteLock lock;
  std::set<AsyncHttp*> members;
};

LiveRegistry& liveRegistry() {
  static LiveRegistry* registry = new LiveRegistry;  // notifications may come until exit
  return *registry;
}

[[noreturn]] void fail(int id, const std::wstring& a1) {
  throw misc::wruntime_error(internal::istring(id).format(a1));
}

[[noreturn]] void failWithLastError(int id, const std::wstring& a1) {
  throw misc::wruntime_error(internal::istring(id).format(a1, win32tools::lastErrorText()));
}

// A stream that refuses bytes (a full disk, a closed pipe) would keep a body cut short.
void writeToStream(std::ostream& out, const char* data, std::size_t count) {
  if (!out.write(data, static_cast<std::streamsize>(count))) {
    throw misc::wruntime_error(internal::istring(11551));
  }
}

// Path and query; a fragment belongs to the client and is never sent.
std::wstring objectName(const inet::UrlComponents& parts) {
  return parts.path + parts.extraInfo.substr(0, parts.extraInfo.find(L'#'));
}

bool isRedirect(std::uint32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307;
}

// A plain path that leads to no file, or to a directory, names nothing to be found.
bool namesNoFile(const platform::RegularFileResult& result) {
  using Stage = platform::RegularFileResult::Stage;
  return (result.stage == Stage::Open && (result.error == ENOENT || result.error == ENOTDIR)) ||
         (result.stage == Stage::NotRegular && result.error == EISDIR);
}

const wchar_t* statusName(std::uint32_t status) {
  switch (status) {
    case inet::INTERNET_STATUS_CONNECTION_CLOSED:
      return L"INTERNET_STATUS_CONNECTION_CLOSED";
    case inet::INTERNET_STATUS_HANDLE_CLOSING:
      return L"INTERNET_STATUS_HANDLE_CLOSING";
    case inet::INTERNET_STATUS_REQUEST_COMPLETE:
      return L"INTERNET_STATUS_REQUEST_COMPLETE";
    default:
      return nullptr;
  }
}

}  // namespace

AsyncHttp::AsyncHttp(InternetConn& connection, HttpRequest& request, ProgressCallback callback,
                     std::uintptr_t context)
    : connection_(connection),
      request_(request),
      url_(request.getUrl()),
      callback_(callback),
      context_(context),
      maxRetries_(networkSettings().maxAutoRetries) {
  LiveRegistry& registry = liveRegistry();
  misc::ScopedWriteLock guard(&registry.lock, __FILE__, __LINE__);
  PG_LOG_A() << L"Created an AsyncHttp: " << request_.printed();
  registry.members.insert(this);
}

AsyncHttp::~AsyncHttp() {
  {
    LiveRegistry& registry = liveRegistry();
    misc::ScopedWriteLock guard(&registry.lock, __FILE__, __LINE__);
    PG_LOG_A() << L"Destroyed an AsyncHttp.";
    registry.members.erase(this);
  }
  // No new notification can find this object now; one found before may still run.
  std::unique_lock inFlight(inFlightMutex_);
  inFlightDone_.wait(inFlight, [this] { return inFlight_ == 0; });
  inFlight.unlock();
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  reset(true);
}

std::wstring AsyncHttp::tag() const {
  std::wostringstream text;
  text << L"[" << static_cast<const void*>(this) << L"]: ";
  return text.str();
}

void AsyncHttp::run() {
  endOnFailure([this] { start(); });
}

template <class Step>
void AsyncHttp::endOnFailure(Step step) {
  try {
    step();
  } catch (const RetryableAsyncHttpError& e) {
    end(e.wideMessage(), true);
  } catch (const std::exception& e) {
    end(misc::exceptionText(e), false);
  } catch (...) {
    end(internal::istring(11547), false);
  }
}

void AsyncHttp::report(const misc::CProgress& progress) {
  if (callback_ == nullptr) return;
  std::wstring text = progress.getText();
  {
    const std::lock_guard guard(progressMutex_);
    lastProgress_ = std::move(text);
  }
  bool cancel = false;
  callback_(progress, request_, context_, &cancel);
  if (cancel) throw misc::wruntime_error(internal::istring(11508));
}

bool AsyncHttp::shouldAbort() {
  const std::uint32_t limit = networkSettings().timeLimit;
  if (limit > 0 && std::chrono::steady_clock::now() - *startedAt_ >= std::chrono::seconds(limit)) {
    abort_ = Abort::kTimeLimit;
    return true;
  }
  if (callback_ == nullptr) return false;
  std::wstring text;
  {
    const std::lock_guard guard(progressMutex_);
    text = lastProgress_;
  }
  bool cancel = false;
  callback_(misc::CSimpleProgress(std::move(text)), request_, context_, &cancel);
  if (cancel) abort_ = Abort::kCancelled;
  return cancel;
}

void AsyncHttp::throwIfAborted() const {
  switch (abort_.load()) {
    case Abort::kNone:
      return;
    case Abort::kCancelled:
      throw misc::wruntime_error(internal::istring(11508));
    case Abort::kTimeLimit:
      fail(11560, std::to_wstring(networkSettings().timeLimit));
  }
}

void AsyncHttp::start() {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  PG_LOG_A() << L"Starting the AsyncHttp: " << url_;
  if (!startedAt_) startedAt_ = std::chrono::steady_clock::now();
  switch (urlSourceOf(url_)) {
    case UrlSource::kLocalPath:
      readLocalFile(url_, 11517);
      return;
    case UrlSource::kFile:
      readLocalFile(fileUrlPath(url_), 11518);
      return;
    case UrlSource::kHttp:
    case UrlSource::kHttps:
      startNetwork(crackUrl(url_));
      return;
    default:
      // An unknown scheme fails to split with its own message.
      fail(11520, crackUrl(url_).schemeText);
  }
}

void AsyncHttp::readLocalFile(const std::wstring& path, int notFoundMessage) {
  PG_LOG_A() << L"Reading the data from a local file: " << path;
  response_ = std::make_unique<HttpResponse>(200, L"OK");
  std::ostream* out = request_.getSaveStream();
  ByteVector& body = *response_->getData();
  std::uint64_t count = 0;
  const platform::RegularFileResult result = readLocalPage(path, [&](std::string_view block) {
    if (out != nullptr) {
      writeToStream(*out, block.data(), block.size());
    } else {
      body.insert(body.end(), block.begin(), block.end());
    }
    count += block.size();
  });
  if (!result.ok()) {
    using Stage = platform::RegularFileResult::Stage;
    if (result.stage == Stage::TooLarge) throw misc::wruntime_error(localPageErrorText(result));
    if (result.stage == Stage::Read || count > 0) fail(11519, path);
    response_.reset();  // refused before a byte was read, as an unopened file was
    fail(namesNoFile(result) ? notFoundMessage : 11518, path);
  }
  PG_LOG_A() << L"Read the local file OK: #bytes=" << count;
  end(L"", false);
}

void AsyncHttp::startNetwork(const inet::UrlComponents& parts) {
  internal::SessionHandle* session = connection_.getInternetHandle();
  if (session != nullptr) session->setStatusCallback(&AsyncHttp::statusCallback);
  PG_LOG_H() << L"Connecting to the remote host: " << parts.host;
  report(misc::CSimpleProgress(internal::istring(11521).format(parts.host)));
  const std::uint16_t port = parts.port < 1 ? 80 : parts.port;
  if (session == nullptr) {
    platform::setLastError(inet::ERROR_INVALID_HANDLE);  // a closed InternetConn
  } else {
    connectionHandle_ =
        session->connect(parts.host, port, L"", std::wstring(), inet::INTERNET_SERVICE_HTTP, 0,
                         reinterpret_cast<std::uintptr_t>(this));
  }
  if (!connectionHandle_) failWithLastError(11522, parts.host);
  PG_LOG_A() << L"Connected to the remote host: h=" << connectionHandle_->id() << L" (parent hConn="
             << session->id() << L")";
  configureInternetHandle(*connectionHandle_);
  setInternetOption(*connectionHandle_, inet::INTERNET_OPTION_READ_BUFFER_SIZE,
                    networkSettings().readBufferSize);
  setInternetOption(*connectionHandle_, inet::INTERNET_OPTION_WRITE_BUFFER_SIZE,
                    networkSettings().writeBufferSize);
  openRequest(parts);
  if (callback_ != nullptr || networkSettings().timeLimit > 0) {
    requestHandle_->setAbortCheck([this] { return shouldAbort(); });
  }
  // A synchronous read takes the body through the sink as it arrives, so the transfer
  // seldom waits with a block held: large blocks spare system calls.
  if (!session->isAsync()) requestHandle_->setReceiveBlock(kReceiveBlock);
  addHeaders();
  const std::wstring object = objectName(parts);
  PG_LOG_H() << L"Sending the HTTP request.";
  report(misc::CSimpleProgress(object.empty() ? internal::istring(11525)
                                              : internal::istring(11524).format(object)));
  received_ = 0;
  state_ = kSent;
  send();
}

void AsyncHttp::openRequest(const inet::UrlComponents& parts) {
  std::uint32_t flags = inet::INTERNET_FLAG_RELOAD | inet::INTERNET_FLAG_NO_CACHE_WRITE |
                        inet::INTERNET_FLAG_PRAGMA_NOCACHE;
  if (parts.scheme == inet::INTERNET_SCHEME_HTTPS) flags |= inet::INTERNET_FLAG_SECURE;
  if (request_.noAutoRedirect) flags |= inet::INTERNET_FLAG_NO_AUTO_REDIRECT;
  const std::wstring object = objectName(parts);
  PG_LOG_H() << L"Opening the HTTP request: " << object;
  requestHandle_ =
      connectionHandle_->openRequest(request_.getVerb(), object, networkSettings().httpVersion,
                                     flags, reinterpret_cast<std::uintptr_t>(this));
  if (!requestHandle_) {
    throw misc::wruntime_error(
        internal::istring(11523).format(parts.host, object, win32tools::lastErrorText()));
  }
  PG_LOG_A() << L"Opened the HTTP request: h=" << requestHandle_->id();
  configureInternetHandle(*requestHandle_);
  request_.setRequestHandle(requestHandle_.get());
}

void AsyncHttp::addHeaders() {
  for (const auto& [name, value] : request_.extraHeaders) {
    addRequestHeader(*requestHandle_, name, value);
  }
  const std::wstring& acceptEncoding = networkSettings().acceptEncoding;
  if (!acceptEncoding.empty() && request_.getSaveStream() == nullptr) {
    addRequestHeader(*requestHandle_, L"Accept-Encoding", acceptEncoding);
  }
  if (request_.authenticator) {
    const std::wstring value = request_.authenticator->value();
    if (!value.empty()) addRequestHeader(*requestHandle_, L"Authorization", value);
  }
  const std::wstring proxyValue = proxyAuthorization();
  if (!proxyValue.empty()) addRequestHeader(*requestHandle_, L"Proxy-Authorization", proxyValue);
}

void AsyncHttp::send() {
  const void* body = nullptr;
  std::size_t bodySize = 0;
  if (const auto* post = dynamic_cast<const HttpPostRequest*>(&request_)) {
    if (post->postData != nullptr) {
      body = post->postData->data();
      bodySize = post->postData->size();
    }
  }
  if (requestHandle_->send(body, bodySize)) {
    PG_LOG_A() << L"Sent the HTTP request OK.";
    onSendComplete(0);
  } else if (platform::getLastError() == inet::ERROR_IO_PENDING) {
    PG_LOG_A() << L"Sent the HTTP request - still in progress.";
  } else {
    const std::wstring reason = win32tools::lastErrorText();
    PG_LOG_A() << L"Couldn't send the HTTP request: " << reason;
    throwIfAborted();
    throw misc::wruntime_error(reason);
  }
}

void AsyncHttp::onSendComplete(std::uint32_t error) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  PG_LOG_A() << L"Send HTTP request has completed: statusCode=" << error;
  if (error != 0) {
    throwIfAborted();
    throw RetryableAsyncHttpError(win32tools::win32ErrorText(error));
  }
  std::uint32_t status = 0;
  if (!requestHandle_->queryInfoNumber(inet::HTTP_QUERY_STATUS_CODE | inet::HTTP_QUERY_FLAG_NUMBER,
                                       status)) {
    fail(11526, win32tools::lastErrorText());
  }
  std::wstring statusText;
  queryResponseHeader(*requestHandle_, L"Status", inet::HTTP_QUERY_STATUS_TEXT, statusText);
  PG_LOG_H() << L"HTTP response: " << status << L" " << statusText;
  response_ = std::make_unique<HttpResponse>(static_cast<std::int32_t>(status), statusText);
  if (redirectOrNotModified(status)) {
    end(L"", false);
    return;
  }
  captureHeaders(status);
  expectBody();
  state_ = kReading;
  readNextBlock();
}

bool AsyncHttp::redirectOrNotModified(std::uint32_t status) {
  if (status == 304) return true;
  if (!isRedirect(status)) return false;
  std::wstring location;
  if (!queryResponseHeader(*requestHandle_, L"Location", inet::HTTP_QUERY_LOCATION, location)) {
    PG_LOG_HH() << L"No Location HTTP tag was returned.";
    return true;
  }
  PG_LOG_HH() << L"Found HTTP tag: Location='" << location << L"'";
  response_->setHeader(L"Location", location);
  report(misc::CSimpleProgress(internal::istring(11527).format(location)));
  // Relative to what was fetched now: after a redirect to another server, that server.
  const std::wstring absolute = resolveRedirectUrl(url_, location);
  PG_LOG_A() << L"Request is being redirected: " << status << L" " << absolute;
  response_->setRedirect(absolute, status == 301);
  return true;
}

void AsyncHttp::captureHeaders(std::uint32_t status) {
  std::wstring value;
  if (status == 200) {
    for (const auto& [name, code] : {std::pair{L"Last-Modified", inet::HTTP_QUERY_LAST_MODIFIED},
                                     std::pair{L"ETag", inet::HTTP_QUERY_ETAG}}) {
      if (queryResponseHeader(*requestHandle_, name, code, value))
        response_->setHeader(name, value);
    }
  }
  for (const auto& [code, name] : request_.getCapturedHeaders()) {
    if (queryResponseHeader(*requestHandle_, name, code, value)) response_->setHeader(name, value);
  }
}

void AsyncHttp::expectBody() {
  expected_ = 0;
  faultedIn_ = 0;
  limit_ = BodyLimit();
  const bool toStream = request_.getSaveStream() != nullptr;
  std::wstring length;
  if (queryResponseHeader(*requestHandle_, L"Content-Length", inet::HTTP_QUERY_CONTENT_LENGTH,
                          length)) {
    PG_LOG_A() << L"Expected amount of response data: " << length;
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(length.c_str(), &end, 10);
    const bool parsed = !length.empty() && std::iswdigit(length[0]) && *end == L'\0';
    // Compressed bytes inflate to at least as many: either way the body would not fit.
    if (parsed && !toStream) limit_.check(value);
    if (parsed && value <= UINT32_MAX) {
      expected_ = static_cast<std::uint32_t>(value);
      report(misc::CSimpleProgress(internal::istring(11528).format(sizeText(expected_))));
    }
  }
  gzip_.reset();
  std::wstring encoding;
  if (!toStream &&
      queryResponseHeader(*requestHandle_, L"Content-Encoding", inet::HTTP_QUERY_CONTENT_ENCODING,
                          encoding) &&
      platform::equalsNoCase(encoding, L"gzip")) {
    PG_LOG_H() << L"Decompressing a compressed HTTP response as it arrives.";
    gzip_ = std::make_unique<GzipStream>(*response_->getData(), limit_);
    // The inflated size is known only at the end: the limit's worth of address space, of
    // which only the pages that the body fills are ever taken, spares its growth.
    if (limit_.most() < UINT64_MAX) reserve(limit_.most() + GzipStream::kOutputStep);
  } else if (!toStream && expected_ > 0) {
    reserve(expected_);  // one allocation, which each read then fills in place
  }
}

void AsyncHttp::reserve(std::uint64_t bytes) {
  try {
    response_->getData()->reserve(static_cast<std::size_t>(bytes));
  } catch (const std::exception&) {
    // More than the address space allows; the body grows as it arrives instead.
  }
}

void AsyncHttp::readNextBlock() {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  if (isFinished()) return;
  for (;;) {
    const platform::Event* shutdown = networkSettings().shutdownEvent;
    if (shutdown != nullptr && shutdown->isSet()) {
      throw misc::wruntime_error(internal::istring(11550));
    }
    PG_LOG_A() << L"Reading the next block of response data.";
    std::size_t count = 0;
    blockBuffer_.clear();
    if (!requestHandle_->read(sink(), count)) {
      const std::uint32_t code = platform::getLastError();
      if (code == inet::ERROR_IO_PENDING) {
        PG_LOG_A() << L"No response data is available - have to wait.";
        return;
      }
      const std::wstring reason = win32tools::win32ErrorText(code);
      PG_LOG_A() << L"Can't read the response data: " << reason;
      throwIfAborted();
      if (code == inet::ERROR_INTERNET_INCORRECT_HANDLE_STATE || code == 0) {
        throw RetryableAsyncHttpError(reason);
      }
      fail(11546, reason);
    }
    if (state_ == kReadingClosed && count == 1 && dropClosingNul()) count = 0;
    PG_LOG_A() << L"Response data was available - processing it now.";
    if (processData(count)) return;
  }
}

const std::function<void(std::string_view)>& AsyncHttp::sink() {
  // A plain body that is kept is written once, in place; the rest waits in the block
  // buffer for the stream or the inflater, after the closing NUL is looked for.
  if (!sink_) {
    sink_ = [this](std::string_view block) {
      ByteVector& body = *response_->getData();
      if (gzip_ || request_.getSaveStream() != nullptr) {
        blockBuffer_.insert(blockBuffer_.end(), block.begin(), block.end());
        return;
      }
      limit_.check(body.size() + block.size());
      limit_.makeRoom(body, block.size());
      faultInAhead(body, block.size());
      body.insert(body.end(), block.begin(), block.end());
    };
  }
  return sink_;
}

void AsyncHttp::faultInAhead(ByteVector& body, std::size_t bytes) {
  const std::size_t needed = body.size() + bytes;
  if (needed <= faultedIn_ || needed > body.capacity()) return;
  const std::size_t until = std::min(body.capacity(), needed + kFaultInStep);
  platform::prefaultMemory(body.data() + faultedIn_, until - faultedIn_);
  faultedIn_ = until;
}

bool AsyncHttp::dropClosingNul() {
  ByteVector& held =
      gzip_ || request_.getSaveStream() != nullptr ? blockBuffer_ : *response_->getData();
  if (held.empty() || held.back() != '\0') return false;
  held.pop_back();
  return true;
}

bool AsyncHttp::processData(std::size_t count) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  PG_LOG_A() << L"Processing response data: #bytes=" << count;
  if (count == 0) {
    finishBody();
    return true;
  }
  if (std::ostream* out = request_.getSaveStream()) {
    writeToStream(*out, blockBuffer_.data(), blockBuffer_.size());
  } else if (gzip_) {
    gzip_->write({blockBuffer_.data(), blockBuffer_.size()});
  }
  received_ += count;
  if (callback_ == nullptr) return false;
  if (expected_ > 0) {
    misc::CRangeProgress progress;
    progress.setRange(0, static_cast<int>(expected_));
    progress.setPosition(static_cast<int>(received_));
    report(progress);
  } else {
    report(misc::CSimpleProgress(internal::istring(11530).format(sizeText(received_))));
  }
  return false;
}

void AsyncHttp::finishBody() {
  if (gzip_) gzip_->finish();
  end(L"", false);
}

void AsyncHttp::end(const std::wstring& message, bool retryable) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  PG_LOG_A() << L"Ending the AsyncHttp: " << (message.empty() ? L"<successful>" : message);
  message_ = message;
  retryable_ = retryable;
  state_ = kEnded;
  finished_.set();
}

bool AsyncHttp::isFinished(std::wstring* message, bool* retryable) const {
  misc::ScopedReadLock guard(&lock_, __FILE__, __LINE__);
  if (!finished_.isSet()) return false;
  if (message != nullptr) *message = message_;
  if (retryable != nullptr) *retryable = retryable_;
  return true;
}

void AsyncHttp::cancel() {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  PG_LOG_A() << L"Cancelling the AsyncHttp: hHttpRequest="
             << (requestHandle_ ? requestHandle_->id() : 0);
  requestHandle_.reset();
  request_.setRequestHandle(nullptr);
  if (!isFinished()) end(internal::istring(11508), false);
}

void AsyncHttp::onInternetStatus(const inet::StatusInfo& info) {
  // A notification of a request closed by a reset or a cancel is not about this transfer.
  if (!requestHandle_ || info.handle != requestHandle_->id()) return;
  if (info.status == inet::INTERNET_STATUS_REQUEST_COMPLETE) {
    if (state_ == kSent) {
      onSendComplete(info.error);
    } else if (state_ == kReading || state_ == kReadingClosed) {
      // Also after the close: the layer reports the end of a connection before the read
      // that waited for it completes.
      readNextBlock();
    }
  } else if (info.status == inet::INTERNET_STATUS_CONNECTION_CLOSED && state_ == kReading) {
    state_ = kReadingClosed;
  }
}

void AsyncHttp::logStatus(const inet::StatusInfo& info) {
  if (!internal::wininetCallbacksGroup().isEnabled()) return;
  std::wostringstream line;
  line << info.handle;
  if (const wchar_t* name = statusName(info.status)) {
    line << L" " << name;
  } else {
    line << L" INTERNET-STATUS:" << info.status;
  }
  if (info.status == inet::INTERNET_STATUS_REQUEST_COMPLETE) {
    line << L": rc=" << info.error << L" ; result=" << info.result;
  }
  PG_LOG(internal::wininetCallbacksGroup()) << line.str();
}

void AsyncHttp::statusCallback(const inet::StatusInfo& info) {
  logStatus(info);
  AsyncHttp* target = nullptr;
  {
    LiveRegistry& registry = liveRegistry();
    misc::ScopedReadLock guard(&registry.lock, __FILE__, __LINE__);
    const auto found = registry.members.find(reinterpret_cast<AsyncHttp*>(info.context));
    if (found == registry.members.end()) return;
    target = *found;
    std::lock_guard inFlight(target->inFlightMutex_);
    ++target->inFlight_;
  }
  target->endOnFailure([&] {
    misc::ScopedWriteLock guard(&target->lock_, __FILE__, __LINE__);
    target->onInternetStatus(info);
  });
  std::lock_guard inFlight(target->inFlightMutex_);
  if (--target->inFlight_ == 0) target->inFlightDone_.notify_all();
}

void AsyncHttp::reset(bool quiet) {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  if (!quiet) {
    PG_LOG_A() << L"Resetting the AsyncHttp.";
  }
  requestHandle_.reset();
  connectionHandle_.reset();
  request_.setRequestHandle(nullptr);
  gzip_.reset();
  response_.reset();
  abort_ = Abort::kNone;
  blockBuffer_.clear();
  state_ = kIdle;
  finished_.reset();
}

std::unique_ptr<HttpResponse> AsyncHttp::takeResponse() {
  misc::ScopedWriteLock guard(&lock_, __FILE__, __LINE__);
  return std::move(response_);
}

const void* AsyncHttp::getRequestHandle() const {
  misc::ScopedReadLock guard(&lock_, __FILE__, __LINE__);
  return requestHandle_.get();
}

std::wstring AsyncHttp::getUrl() const {
  misc::ScopedReadLock guard(&lock_, __FILE__, __LINE__);
  return url_;
}

AsyncHttp::State AsyncHttp::getState() const {
  misc::ScopedReadLock guard(&lock_, __FILE__, __LINE__);
  return state_;
}

}  // namespace net
