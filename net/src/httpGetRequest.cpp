#include "net/src/httpGetRequest.h"

namespace net {

std::wstring HttpGetRequest::getVerb() const {
  return L"GET";
}

}  // namespace net
