#pragma once
// What came back for one request. AsyncHttp creates it once the status line has arrived and
// fills it while the body arrives; the caller of doHttpRequest then owns it.

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "net/src/byteVector.h"
#include "platform/src/cLocale.h"

namespace net {

inline constexpr wchar_t kContentType[] = L"Content-Type";

class HttpResponse {
 public:
  // Names compare ignoring case.
  using Headers = std::map<std::wstring, std::wstring, platform::NoCaseLess>;

  HttpResponse(std::int32_t statusCode, std::wstring statusText);
  virtual ~HttpResponse() = default;
  HttpResponse(const HttpResponse&) = delete;
  HttpResponse& operator=(const HttpResponse&) = delete;

  // Lines that each start with `prefix`: "<code> <text>", each header as "name: value" in
  // name order, then "Empty response data." for an empty (or taken) body, else a hex dump
  // of the body with `withData`, else "Response data size: <bytes>".
  virtual void dump(std::wostream& out, bool withData, const std::wstring& prefix) const;

  // A name already present, in any letter case, keeps its first value.
  void setHeader(const std::wstring& name, const std::wstring& value);
  void setRedirect(const std::wstring& url, bool permanent);
  // False, leaving the outputs alone, when no redirect URL is set.
  bool getRedirect(std::wstring& url, bool& permanent) const;

  std::int32_t getStatusCode() const { return statusCode_; }
  const std::wstring& getStatusText() const { return statusText_; }
  const Headers& getHeaders() const { return headers_; }
  // The Content-Type header's value when it was kept (see HttpRequest::capturedHeaders);
  // empty otherwise, and for a local file.
  std::wstring contentType() const;
  // The body; null once taken.
  ByteVector* getData() const { return data_.get(); }
  // Moves the body out without copying; the response no longer holds one.
  std::unique_ptr<ByteVector> takeData() { return std::move(data_); }

 private:
  std::int32_t statusCode_;
  std::wstring statusText_;
  Headers headers_;
  std::unique_ptr<ByteVector> data_;
  std::wstring redirectUrl_;
  bool permanentRedirect_ = false;
};

}  // namespace net
