#pragma once
// One HTTP exchange: made by Connection::openRequest, given headers, sent once, its
// response headers queried, its body read block by block. See session.h for modes,
// threads, the status callback and how failures are reported.
//
// The body is never held whole: the layer keeps at most a few hundred KB of it and stops
// the transfer until reads make room. Redirects (301, 302, 303, 307, 308 with a Location)
// are followed to http and https targets only, at most 10 in a row, none when the request
// has INTERNET_FLAG_NO_AUTO_REDIRECT; the headers and body are then those of the last
// answer. The body is handed over as the server sent it (no content decoding). Response
// headers may total at most 256 KB; a longer header block fails the request.
//
// Ownership: the caller owns the request. Destroying it ends its transfer at once: a
// pending asynchronous operation then completes with ERROR_INTERNET_OPERATION_CANCELLED
// (INTERNET_STATUS_REQUEST_COMPLETE, result 0), notifications queued before are dropped,
// and INTERNET_STATUS_HANDLE_CLOSING comes last.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/inet/src/handle.h"
#include "platform/inet/src/inetConstants.h"

namespace platform::inet {

namespace internal {
class Transfer;
}

class Request : public Handle {
  struct Key {};

 public:
  ~Request() override;

  // One or more header lines "Name: value" separated by CR LF, before send. Modifiers:
  // HTTP_ADDREQ_FLAG_ADD (0 acts alike) adds the header, _ADD_IF_NEW only when no header
  // of that name was added yet, _REPLACE replaces one of that name (an empty value
  // removes it). A line without a name and a colon fails with ERROR_HTTP_INVALID_HEADER,
  // an existing header with _ADD_IF_NEW with ERROR_HTTP_HEADER_ALREADY_EXISTS (12155).
  // Headers are sent in the order added, after Host and User-Agent.
  bool addRequestHeaders(const std::wstring& headers, std::uint32_t modifiers);

  // Before send: a check asked at least every 250 ms until the transfer ends, whatever the
  // server does (also while connecting, in the TLS handshake and while nothing arrives).
  // It runs on the thread that drives the transfer (the caller's in a synchronous session,
  // the session's in an asynchronous one) with the session locked, so it must not call this
  // layer. True ends the transfer with ERROR_INTERNET_OPERATION_CANCELLED.
  bool setAbortCheck(std::function<bool()> check);

  // Before send: the most bytes libcurl receives at once (0: its own 16 KB; it keeps it
  // within 1 KB and its maximum). Large blocks take fewer system calls for a body that a
  // synchronous reader takes through a sink as it arrives. A transfer that waits for its
  // reader may hold one block on top of the layer's buffer.
  bool setReceiveBlock(std::size_t bytes);

  // Sends the request with an optional body (copied). Synchronous: returns once the final
  // response's headers are in (true) or the transfer failed (false). Asynchronous: fails
  // with ERROR_IO_PENDING and completes through INTERNET_STATUS_REQUEST_COMPLETE. A second
  // send fails with ERROR_INTERNET_INCORRECT_HANDLE_STATE.
  bool send(const void* body = nullptr, std::size_t bodySize = 0);

  // The header or status value of `query` (HTTP_QUERY_*) as text: true when present and
  // shorter than `bufferChars` characters. Absent: ERROR_HTTP_HEADER_NOT_FOUND; too long:
  // ERROR_INSUFFICIENT_BUFFER; an unknown code or HTTP_QUERY_FLAG_NUMBER:
  // ERROR_HTTP_INVALID_QUERY_REQUEST; before the headers are in:
  // ERROR_INTERNET_INCORRECT_HANDLE_STATE. A header sent more than once gives its first
  // value. Header values are the bytes the server sent, read as UTF-8.
  bool queryInfo(std::uint32_t query, std::wstring& value,
                 std::size_t bufferChars = kQueryBufferChars) const;
  // As queryInfo, for a query with HTTP_QUERY_FLAG_NUMBER: the value as a decimal number
  // (ERROR_HTTP_INVALID_HEADER when it is none).
  bool queryInfoNumber(std::uint32_t query, std::uint32_t& value) const;
  // As queryInfo, for a header named by text (compared without regard to case).
  bool queryHeader(const std::wstring& name, std::wstring& value,
                   std::size_t bufferChars = kQueryBufferChars) const;

  // Copies up to `size` body bytes that have arrived into `buffer`; bytesRead 0 with true
  // means the body has ended. Synchronous: waits only until some bytes arrive, the body
  // ends or the transfer fails. Asynchronous: when nothing is there yet, fails with
  // ERROR_IO_PENDING and INTERNET_STATUS_REQUEST_COMPLETE follows once a read can be
  // answered at once. Bytes that arrived before a failure are read first; the failure
  // (ERROR_INTERNET_TIMEOUT, ERROR_INTERNET_CONNECTION_RESET, ...) comes after them.
  bool read(void* buffer, std::size_t size, std::size_t& bytesRead);
  // As read, but hands the bytes to `sink` without a copy into a buffer of the caller's:
  // what is queued, then (synchronous) what libcurl delivers while the read waits, straight
  // from libcurl's own buffer and as much as comes in one wait. bytesRead counts what `sink`
  // was given. An exception of `sink` ends the transfer and passes through.
  bool read(const std::function<void(std::string_view)>& sink, std::size_t& bytesRead);

  Request(Key, std::shared_ptr<internal::SessionCore> core, const HandleOptions& options,
          std::uintptr_t context, std::shared_ptr<internal::Transfer> transfer, std::string verb,
          std::uint32_t flags);

 private:
  friend class Connection;

  bool addHeaderLine(std::wstring_view line, std::uint32_t modifiers);
  void setUpTransfer(const void* body, std::size_t bodySize);
  // Checks that the session lives and the headers are in.
  bool answerable() const;
  // Checks that the body may be read; waits (synchronous) until some of it is queued or
  // the transfer is done, giving what arrives meanwhile to `direct` when there is one.
  bool awaitBody(const std::function<void(std::string_view)>* direct, std::size_t& bytesRead);
  bool answer(const std::string& bytes, std::wstring& value, std::size_t bufferChars) const;

  std::shared_ptr<internal::Transfer> transfer_;
  std::string verb_;
  std::uint32_t flags_;
  std::vector<std::pair<std::string, std::string>> headers_;  // names and whole lines
};

}  // namespace platform::inet
