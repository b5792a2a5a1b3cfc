#include "net/src/httpPostRequest.h"

namespace net {

std::wstring HttpPostRequest::getVerb() const {
  return L"POST";
}

}  // namespace net
