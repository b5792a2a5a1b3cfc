#include "net/src/ftpRequest.h"

namespace net {

std::wostream& FtpRequest::print(std::wostream& out) const {
  return out << url << L" (user " << userName << L", " << (data ? data->size() : 0)
             << L" byte(s) of data)";
}

}  // namespace net
