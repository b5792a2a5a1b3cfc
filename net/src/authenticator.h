#pragma once

#include <string>

namespace net {

// A source of an Authorization or Proxy-Authorization header value. An empty value sends
// no header.
class Authenticator {
 public:
  virtual ~Authenticator() = default;
  virtual std::wstring value() const = 0;
};

}  // namespace net
