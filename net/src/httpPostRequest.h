#pragma once

#include "net/src/byteVector.h"
#include "net/src/httpRequest.h"

namespace net {

// A POST of the URL whose body is `postData` (not owned; null sends no body).
class HttpPostRequest : public HttpRequest {
 public:
  explicit HttpPostRequest(std::wstring url, const ByteVector* postData = nullptr)
      : HttpRequest(std::move(url)), postData(postData) {}
  std::wstring getVerb() const override;

  const ByteVector* postData;
};

}  // namespace net
