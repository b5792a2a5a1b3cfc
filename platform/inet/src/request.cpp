#include "platform/inet/src/request.h"

#include <algorithm>
#include <charconv>

#include "platform/inet/src/failure.h"
#include "platform/inet/src/sessionCore.h"
#include "platform/inet/src/sessionLock.h"
#include "platform/inet/src/transfer.h"
#include "platform/src/utf8.h"

namespace platform::inet {
namespace {

constexpr long kMaxRedirects = 10;
constexpr std::uint32_t kQueryModifiers = 0xF0000000;

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

Request::Request(Key, std::shared_ptr<internal::SessionCore> core, const HandleOptions& options,
                 std::uintptr_t context, std::shared_ptr<internal::Transfer> transfer,
                 std::string verb, std::uint32_t flags)
    : Handle(std::move(core), options, context),
      transfer_(std::move(transfer)),
      verb_(std::move(verb)),
      flags_(flags) {
  transfer_->identify(id(), context);
}

Request::~Request() {
  const internal::SessionLock lock(core());
  core().remove(*transfer_);
  core().forget(id());
  // A caller waiting for a completion hears that the operation was cancelled.
  if (transfer_->pendingSend || transfer_->pendingRead) {
    core().queue(
        {id(), context(), INTERNET_STATUS_REQUEST_COMPLETE, 0, ERROR_INTERNET_OPERATION_CANCELLED});
  }
  core().queue({id(), context(), INTERNET_STATUS_HANDLE_CLOSING, 0, 0});
}

bool Request::addRequestHeaders(const std::wstring& headers, std::uint32_t modifiers) {
  const internal::SessionLock lock(core());
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  if (transfer_->started()) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  std::wstring_view rest = headers;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of(L"\r\n");
    const std::wstring_view line = rest.substr(0, end);
    rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
    if (!line.empty() && !addHeaderLine(line, modifiers)) return false;
  }
  return true;
}

bool Request::addHeaderLine(std::wstring_view line, std::uint32_t modifiers) {
  const std::string text = platform::toUtf8(line);
  const std::size_t colon = text.find(':');
  const std::string_view name = colon == std::string::npos
                                    ? std::string_view()
                                    : trimmed(std::string_view(text).substr(0, colon));
  if (name.empty() || name.find_first_of(" \t") != std::string_view::npos) {
    return internal::fail(ERROR_HTTP_INVALID_HEADER);
  }
  const std::string_view value = trimmed(std::string_view(text).substr(colon + 1));
  const auto existing = std::find_if(headers_.begin(), headers_.end(),
                                     [&](const auto& h) { return sameName(h.first, name); });
  if ((modifiers & HTTP_ADDREQ_FLAG_REPLACE) != 0) {
    if (existing == headers_.end()) return internal::fail(ERROR_HTTP_HEADER_NOT_FOUND);
    if (value.empty()) {
      headers_.erase(existing);
    } else {
      existing->second = std::string(name) + ": " + std::string(value);
    }
    return true;
  }
  if ((modifiers & HTTP_ADDREQ_FLAG_ADD_IF_NEW) != 0 && existing != headers_.end()) {
    return internal::fail(ERROR_HTTP_HEADER_ALREADY_EXISTS);
  }
  headers_.emplace_back(name, std::string(name) + ": " + std::string(value));
  return true;
}

void Request::setUpTransfer(const void* body, std::size_t bodySize) {
  CURL* easy = transfer_->easy();
  // libcurl adds Host and User-Agent; nothing else that the caller did not ask for.
  std::vector<std::string> lines{"Accept:"};
  if ((flags_ & INTERNET_FLAG_PRAGMA_NOCACHE) != 0) lines.emplace_back("Pragma: no-cache");
  bool hasContentType = false;
  for (const auto& [name, line] : headers_) {
    lines.push_back(line);
    hasContentType = hasContentType || sameName(name, "Content-Type");
  }
  if (body != nullptr) {
    if (!hasContentType) lines.emplace_back("Content-Type:");
    lines.emplace_back("Expect:");
    transfer_->setBody(std::string(static_cast<const char*>(body), bodySize));
  }
  transfer_->setHeaderLines(lines);
  if (verb_ == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (verb_ != "GET" || body != nullptr) {
    if (verb_ != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb_.c_str());
  }
  const std::string& agent = core().userAgent();
  if (!agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION,
                   (flags_ & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0 ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  transfer_->prepare(options());
}

bool Request::setAbortCheck(std::function<bool()> check) {
  const internal::SessionLock lock(core());
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  if (transfer_->started()) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  transfer_->setAbortCheck(std::move(check));
  return true;
}

bool Request::setReceiveBlock(std::size_t bytes) {
  const internal::SessionLock lock(core());
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  if (transfer_->started()) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  transfer_->setReceiveBlock(bytes);
  return true;
}

bool Request::send(const void* body, std::size_t bodySize) {
  const internal::SessionLock lock(core());
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  if (transfer_->started()) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  setUpTransfer(body, bodySize);
  if (!core().add(*transfer_)) return false;
  internal::Transfer& transfer = *transfer_;
  if (core().async()) {
    transfer.pendingSend = true;
    return internal::fail(ERROR_IO_PENDING);
  }
  core().driveUntil([&] { return transfer.ready() || transfer.done(); });
  return transfer.ready() || internal::fail(transfer.error());
}

bool Request::awaitBody(const std::function<void(std::string_view)>* direct,
                        std::size_t& bytesRead) {
  bytesRead = 0;
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  internal::Transfer& transfer = *transfer_;
  if (!transfer.ready() && !transfer.done()) {
    return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  }
  if (transfer.hasBody() || transfer.done()) return true;
  if (core().async()) {
    transfer.pendingRead = true;
    return internal::fail(ERROR_IO_PENDING);
  }
  if (direct == nullptr) {
    core().driveUntil([&] { return transfer.hasBody() || transfer.done(); });
    return true;
  }
  transfer.beginDirect(*direct);
  core().driveUntil(
      [&] { return transfer.directDelivered() || transfer.hasBody() || transfer.done(); });
  bytesRead = transfer.endDirect();
  return true;
}

bool Request::read(void* buffer, std::size_t size, std::size_t& bytesRead) {
  const internal::SessionLock lock(core());
  if (!awaitBody(nullptr, bytesRead)) return false;
  if (transfer_->hasBody()) {
    bytesRead = transfer_->takeBody(buffer, size);
    return true;
  }
  return transfer_->error() == ERROR_SUCCESS || internal::fail(transfer_->error());
}

bool Request::read(const std::function<void(std::string_view)>& sink, std::size_t& bytesRead) {
  const internal::SessionLock lock(core());
  if (!awaitBody(&sink, bytesRead)) return false;
  // What arrived while waiting is enough for one read; the queue holds older bytes only
  // when nothing came directly.
  if (bytesRead > 0) return true;
  if (transfer_->hasBody()) {
    bytesRead = transfer_->takeBody(sink);
    return true;
  }
  return transfer_->error() == ERROR_SUCCESS || internal::fail(transfer_->error());
}

bool Request::answerable() const {
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  if (!transfer_->ready()) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  return true;
}

bool Request::answer(const std::string& bytes, std::wstring& value, std::size_t bufferChars) const {
  std::wstring text = platform::fromUtf8(bytes);
  if (text.size() + 1 > bufferChars) return internal::fail(ERROR_INSUFFICIENT_BUFFER);
  value = std::move(text);
  return true;
}

bool Request::queryInfo(std::uint32_t query, std::wstring& value, std::size_t bufferChars) const {
  const internal::SessionLock lock(core());
  if (!answerable()) return false;
  const std::uint32_t code = query & ~kQueryModifiers;
  if ((query & kQueryModifiers) != 0 || !internal::ResponseHeaders::knownQuery(code)) {
    return internal::fail(ERROR_HTTP_INVALID_QUERY_REQUEST);
  }
  std::string bytes;
  if (!transfer_->headers().query(code, bytes)) return internal::fail(ERROR_HTTP_HEADER_NOT_FOUND);
  return answer(bytes, value, bufferChars);
}

bool Request::queryInfoNumber(std::uint32_t query, std::uint32_t& value) const {
  const internal::SessionLock lock(core());
  if (!answerable()) return false;
  const std::uint32_t code = query & ~kQueryModifiers;
  if ((query & kQueryModifiers & ~HTTP_QUERY_FLAG_NUMBER) != 0 ||
      !internal::ResponseHeaders::knownQuery(code)) {
    return internal::fail(ERROR_HTTP_INVALID_QUERY_REQUEST);
  }
  std::string bytes;
  if (!transfer_->headers().query(code, bytes)) return internal::fail(ERROR_HTTP_HEADER_NOT_FOUND);
  std::uint32_t number = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
  if (bytes.empty() || error != std::errc() || end != bytes.data() + bytes.size()) {
    return internal::fail(ERROR_HTTP_INVALID_HEADER);
  }
  value = number;
  return true;
}

bool Request::queryHeader(const std::wstring& name, std::wstring& value,
                          std::size_t bufferChars) const {
  const internal::SessionLock lock(core());
  if (!answerable()) return false;
  std::string bytes;
  if (!transfer_->headers().find(platform::toUtf8(name), bytes)) {
    return internal::fail(ERROR_HTTP_HEADER_NOT_FOUND);
  }
  return answer(bytes, value, bufferChars);
}

}  // namespace platform::inet
