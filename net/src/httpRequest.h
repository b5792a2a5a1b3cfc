#pragma once
// What to fetch and how the answer is to be received. A request is built by its owner,
// handed to InternetConn or AsyncHttp by reference and must outlive the transfer, which
// changes nothing in it but the recorded request handle.

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "net/src/authenticator.h"

namespace net {

class HttpRequest {
 public:
  explicit HttpRequest(std::wstring url) : url_(std::move(url)) {}
  virtual ~HttpRequest() = default;
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  virtual std::wstring getVerb() const = 0;
  // The verb, one blank and the URL.
  virtual std::wostream& print(std::wostream& out) const;
  // Lines that each start with `prefix`: the print line, "Save stream: enabled" when a save
  // stream is set, then each extra header as "name: value" in list order.
  virtual void dump(std::wostream& out, const std::wstring& prefix) const;

  const std::wstring& getUrl() const { return url_; }
  std::wstring printed() const;  // the print line as text

  // Not owned; when set the body goes to this stream block by block as it arrives, is not
  // un-gzipped and no Accept-Encoding is sent.
  std::ostream* getSaveStream() const { return saveStream_; }
  void setSaveStream(std::ostream* stream) { saveStream_ = stream; }

  // The Internet layer's handle of the transfer that runs for this request, for
  // diagnostics; null when none has been opened.
  const void* getRequestHandle() const { return requestHandle_; }
  void setRequestHandle(const void* handle) { requestHandle_ = handle; }

  // Hand 3xx answers back instead of letting the Internet layer follow them.
  bool noAutoRedirect = false;
  // Sent as request headers in this order, before any the library adds.
  std::vector<std::pair<std::wstring, std::wstring>> extraHeaders;
  // Source of an Authorization header; none by default.
  std::unique_ptr<Authenticator> authenticator;
  // Response headers to keep: query code -> the name to store the value under.
  std::map<std::uint32_t, std::wstring> capturedHeaders;
  const std::map<std::uint32_t, std::wstring>& getCapturedHeaders() const {
    return capturedHeaders;
  }

 private:
  std::wstring url_;
  std::ostream* saveStream_ = nullptr;
  const void* requestHandle_ = nullptr;
};

}  // namespace net
