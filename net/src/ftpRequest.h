#pragma once

#include <ostream>
#include <string>

#include "net/src/byteVector.h"

namespace net {

// One FTP transfer as the caller describes it. `data` (not owned) is what an upload sends
// and what a download appends to.
class FtpRequest {
 public:
  FtpRequest(std::wstring url, std::wstring userName, std::wstring password, ByteVector* data)
      : url(std::move(url)),
        userName(std::move(userName)),
        password(std::move(password)),
        data(data) {}
  virtual ~FtpRequest() = default;

  // One line for the message log: the URL and the user, never the password.
  virtual std::wostream& print(std::wostream& out) const;

  std::wstring url;       // "ftp://" may be missing
  std::wstring userName;  // passed as it is
  std::wstring password;  // empty: none at all
  ByteVector* data;
};

}  // namespace net
