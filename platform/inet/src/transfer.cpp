#include "platform/inet/src/transfer.h"

#include <algorithm>
#include <cctype>

#include "platform/inet/src/curlErrors.h"
#include "platform/inet/src/extraCaFile.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/sessionCore.h"
#include "platform/src/utf8.h"

namespace platform::inet::internal {
namespace {

bool followedStatus(int code) {
  return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// An FTP reply's last line is "ddd text"; earlier lines of a reply are "ddd-text" or free.
bool endsReply(std::string_view line) {
  return line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
         std::isdigit(static_cast<unsigned char>(line[1])) &&
         std::isdigit(static_cast<unsigned char>(line[2])) && line[3] == ' ';
}

std::string_view withoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

std::shared_ptr<Transfer> Transfer::create(SessionCore& core, Kind kind, std::uint32_t handle,
                                           std::uintptr_t context) {
  CURL* easy = curl_easy_init();
  if (easy == nullptr) return nullptr;
  return std::make_shared<Transfer>(Key{}, core, kind, handle, context, easy);
}

Transfer::Transfer(Key, SessionCore& core, Kind kind, std::uint32_t handle, std::uintptr_t context,
                   CURL* easy)
    : core_(core), kind_(kind), handle_(handle), context_(context), easy_(easy) {}

Transfer::~Transfer() = default;

void Transfer::setUrl(std::string url) {
  url_ = std::move(url);
  curl_easy_setopt(easy(), CURLOPT_URL, url_.c_str());
}

void Transfer::setHeaderLines(const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(list, line.c_str());
    if (longer == nullptr) break;
    list = longer;
  }
  headerList_.reset(list);
  curl_easy_setopt(easy(), CURLOPT_HTTPHEADER, headerList_.get());
}

void Transfer::setBody(std::string body) {
  requestBody_ = std::move(body);
  curl_easy_setopt(easy(), CURLOPT_POSTFIELDSIZE_LARGE,
                   static_cast<curl_off_t>(requestBody_.size()));
  curl_easy_setopt(easy(), CURLOPT_POSTFIELDS, requestBody_.data());
}

void Transfer::prepare(const HandleOptions& options) {
  CURL* e = easy();
  const long connectTimeoutMs = options.connectTimeoutMs ? options.connectTimeoutMs : 60000;
  const std::uint32_t stallMs = std::max(options.receiveTimeoutMs, options.sendTimeoutMs);
  const long stallSeconds = stallMs == 0 ? 60 : (static_cast<long>(stallMs) + 999) / 1000;
  const std::string proxyUser = platform::toUtf8(options.proxyUserName);
  const std::string proxyPassword = platform::toUtf8(options.proxyPassword);
  curl_easy_setopt(e, CURLOPT_PRIVATE, reinterpret_cast<char*>(this));
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::onWrite);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
  // A transfer that moves less than a byte a second for that long has stalled.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, stallSeconds);
  curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, stallSeconds);
  if (!proxyUser.empty()) curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, proxyUser.c_str());
  if (!proxyPassword.empty()) curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, proxyPassword.c_str());
  // Each location replaces only its own default: libcurl copies the strings.
  const CaLocations ca = caLocations();
  if (!ca.file.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, ca.file.c_str());
  if (!ca.directory.empty()) curl_easy_setopt(e, CURLOPT_CAPATH, ca.directory.c_str());
  if (receiveBlock_ > 0) {
    const auto block = static_cast<long>(std::min<std::size_t>(receiveBlock_, CURL_MAX_READ_SIZE));
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, block);
  }
  if (kind_ == Kind::FtpUpload) {
    curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(e, CURLOPT_READFUNCTION, &Transfer::onRead);
    curl_easy_setopt(e, CURLOPT_READDATA, this);
  }
  installAbortCheck();
  started_ = true;
}

void Transfer::installAbortCheck() {
  if (!abortCheck_) return;
  curl_easy_setopt(easy(), CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
  curl_easy_setopt(easy(), CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(easy(), CURLOPT_NOPROGRESS, 0L);
}

// libcurl calls it on every run of the transfer's state machine, also while connecting,
// in the TLS handshake and while nothing arrives; the core runs it often enough.
int Transfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& transfer = *static_cast<Transfer*>(self);
  if (!transfer.abortCheck_()) return 0;
  transfer.overrideError_ = ERROR_INTERNET_OPERATION_CANCELLED;
  return 1;
}

std::size_t Transfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  return static_cast<Transfer*>(self)->header(std::string_view(data, size * count));
}

std::size_t Transfer::header(std::string_view line) {
  if (kind_ != Kind::Http) {
    ftpReply(line);
    return line.size();
  }
  switch (headers_.addLine(line)) {
    case ResponseHeaders::Line::TooLarge:
      overrideError_ = ERROR_HTTP_INVALID_SERVER_RESPONSE;
      return 0;  // ends the transfer
    case ResponseHeaders::Line::BlockEnd: {
      const int code = headers_.statusCode();
      std::string location;
      if (code >= 100 && code < 200) break;
      if (followsRedirects_ && followedStatus(code) && headers_.find("Location", location) &&
          !location.empty()) {
        ++redirects_;
        break;
      }
      ready_ = true;
      notifyDue();
      break;
    }
    case ResponseHeaders::Line::Header:
      break;
  }
  return line.size();
}

void Transfer::ftpReply(std::string_view line) {
  const std::string_view text = withoutLineEnd(line);
  if (!replyLines_.empty()) replyLines_ += "\r\n";
  replyLines_ += text;
  if (!endsReply(text)) return;
  serverReply_ = platform::fromUtf8(replyLines_);
  replyLines_.clear();
  // 125 and 150: the data connection opens, so the file exists and is coming.
  if (kind_ == Kind::FtpDownload && (text.starts_with("150") || text.starts_with("125"))) {
    ready_ = true;
  }
}

std::size_t Transfer::onWrite(char* data, std::size_t size, std::size_t count, void* self) {
  auto& transfer = *static_cast<Transfer*>(self);
  const std::size_t bytes = size * count;
  if (transfer.kind_ == Kind::Http && !transfer.ready_) return bytes;  // a redirect's body
  if (transfer.directSink_ != nullptr && transfer.body_.empty())
    return transfer.deliver(data, bytes);
  if (transfer.body_.size() >= kBufferLimit) {
    transfer.paused_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  transfer.body_.put(data, bytes);
  transfer.ready_ = true;
  transfer.notifyDue();
  return bytes;
}

std::size_t Transfer::deliver(const char* data, std::size_t bytes) {
  try {
    (*directSink_)({data, bytes});
  } catch (...) {
    sinkFailure_ = std::current_exception();
    return 0;  // ends the transfer
  }
  directBytes_ += bytes;
  return bytes;
}

void Transfer::beginDirect(const BodySink& sink) {
  directSink_ = &sink;
  directBytes_ = 0;
}

std::size_t Transfer::endDirect() {
  directSink_ = nullptr;
  if (sinkFailure_) std::rethrow_exception(std::exchange(sinkFailure_, nullptr));
  return directBytes_;
}

std::size_t Transfer::onRead(char* data, std::size_t size, std::size_t count, void* self) {
  auto& transfer = *static_cast<Transfer*>(self);
  transfer.ready_ = true;
  if (transfer.upload_.empty()) {
    if (transfer.uploadEnded_) return 0;
    transfer.paused_ = true;
    return CURL_READFUNC_PAUSE;
  }
  return transfer.upload_.take(data, size * count);
}

std::size_t Transfer::takeBody(void* buffer, std::size_t size) {
  const std::size_t bytes = body_.take(buffer, size);
  // A resume makes libcurl receive at once, and what does not fit it keeps for itself
  // until the next resume: resuming only with half the room free keeps that small.
  if (body_.size() <= kBufferLimit / 2) resume();
  return bytes;
}

std::size_t Transfer::takeBody(const BodySink& sink) {
  const std::size_t bytes = body_.takeAll(sink);
  resume();
  return bytes;
}

std::size_t Transfer::giveUpload(const void* data, std::size_t size) {
  if (upload_.size() >= kBufferLimit) return 0;
  const std::size_t bytes = std::min(size, kBufferLimit - upload_.size());
  upload_.put(data, bytes);
  resume();
  return bytes;
}

void Transfer::endUpload() {
  uploadEnded_ = true;
  resume();
}

void Transfer::resume() {
  if (!paused_ || !running_) return;
  paused_ = false;
  // May call onWrite or onRead at once, with the lock still held: they take no lock.
  curl_easy_pause(easy(), CURLPAUSE_CONT);
}

void Transfer::finish(CURLcode result) {
  done_ = true;
  error_ = failureCode(result);
  if (kind_ == Kind::Http) {
    core_.queue({handle_, context_, INTERNET_STATUS_CONNECTION_CLOSED, 0, 0});
  }
  notifyDue();
}

std::uint32_t Transfer::failureCode(CURLcode result) const {
  if (overrideError_ != 0) return overrideError_;
  if (result == CURLE_OK) {
    return kind_ == Kind::Http && !ready_ ? ERROR_HTTP_INVALID_SERVER_RESPONSE : 0;
  }
  // libcurl refuses a single header line past its own limit as if memory ran out.
  if (result == CURLE_OUT_OF_MEMORY && kind_ == Kind::Http && !ready_) {
    return ERROR_HTTP_INVALID_SERVER_RESPONSE;
  }
  CurlFailure failure;
  failure.result = result;
  failure.redirects = redirects_;
  curl_easy_getinfo(easy(), CURLINFO_OS_ERRNO, &failure.osErrno);
  curl_easy_getinfo(easy(), CURLINFO_SSL_VERIFYRESULT, &failure.sslVerifyResult);
  long port = 0;
  curl_easy_getinfo(easy(), CURLINFO_PRIMARY_PORT, &port);
  failure.connected = port != 0;
  return internetErrorOf(failure);
}

void Transfer::notifyDue() {
  if (pendingSend && (ready_ || done_)) {
    pendingSend = false;
    const bool ok = ready_;
    core_.queue(
        {handle_, context_, INTERNET_STATUS_REQUEST_COMPLETE, ok ? 1u : 0u, ok ? 0 : error_},
        serverReply_);
  }
  if (pendingRead && (hasBody() || done_)) {
    pendingRead = false;
    core_.queue({handle_, context_, INTERNET_STATUS_REQUEST_COMPLETE, 1, 0});
  }
}

}  // namespace platform::inet::internal
