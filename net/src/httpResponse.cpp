#include "net/src/httpResponse.h"

#include "net/src/hexDump.h"
#include "net/src/istring.h"

namespace net {

HttpResponse::HttpResponse(std::int32_t statusCode, std::wstring statusText)
    : statusCode_(statusCode),
      statusText_(std::move(statusText)),
      data_(std::make_unique<ByteVector>()) {}

void HttpResponse::dump(std::wostream& out, bool withData, const std::wstring& prefix) const {
  out << prefix << statusCode_ << L' ' << statusText_ << L'\n';
  for (const auto& [name, value] : headers_) out << prefix << name << L": " << value << L'\n';
  if (!data_ || data_->empty()) {
    out << prefix << internal::istring(11507) << L'\n';
  } else if (withData) {
    internal::writeHexDump(out, *data_, prefix);
  } else {
    out << prefix << L"Response data size: " << data_->size() << L'\n';
  }
}

void HttpResponse::setHeader(const std::wstring& name, const std::wstring& value) {
  headers_.emplace(name, value);
}

std::wstring HttpResponse::contentType() const {
  const auto it = headers_.find(kContentType);
  return it == headers_.end() ? std::wstring() : it->second;
}

void HttpResponse::setRedirect(const std::wstring& url, bool permanent) {
  redirectUrl_ = url;
  permanentRedirect_ = permanent;
}

bool HttpResponse::getRedirect(std::wstring& url, bool& permanent) const {
  if (redirectUrl_.empty()) return false;
  url = redirectUrl_;
  permanent = permanentRedirect_;
  return true;
}

}  // namespace net
