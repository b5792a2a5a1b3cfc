#pragma once

#include "net/src/httpRequest.h"

namespace net {

// A GET of the URL; the only request kind the program builds.
class HttpGetRequest : public HttpRequest {
 public:
  explicit HttpGetRequest(std::wstring url) : HttpRequest(std::move(url)) {}
  std::wstring getVerb() const override;
};

}  // namespace net
