#pragma once
// One FTP transfer of one file, made by Connection::ftpOpenFile. Every operation returns
// when it is done, in both session modes. See session.h for threads and failures.
//
// Ownership: the caller owns it; destroying it ends the transfer (an upload that was not
// closed may leave a partial file on the server) and reports
// INTERNET_STATUS_HANDLE_CLOSING.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/inet/src/handle.h"

namespace platform::inet {

namespace internal {
class Transfer;
}

class FtpFile : public Handle {
  struct Key {};

 public:
  ~FtpFile() override;

  // Download: as Request::read in a synchronous session (0 bytes with true: the end).
  // On an upload: ERROR_INTERNET_INCORRECT_HANDLE_TYPE.
  bool read(void* buffer, std::size_t size, std::size_t& bytesRead);

  // Upload: hands all `size` bytes to the transfer, waiting while its buffer is full; a
  // failure of the transfer fails the write (written tells how many were taken). On a
  // download: ERROR_INTERNET_INCORRECT_HANDLE_TYPE.
  bool write(const void* data, std::size_t size, std::size_t& written);

  // Ends the transfer: an upload waits until the server has confirmed the whole file and
  // reports its refusal otherwise; a download stops. Later calls fail with
  // ERROR_INTERNET_INCORRECT_HANDLE_STATE.
  bool close();

  FtpFile(Key, std::shared_ptr<internal::SessionCore> core, const HandleOptions& options,
          std::uintptr_t context, std::shared_ptr<internal::Transfer> transfer, bool upload);

 private:
  friend class Connection;

  // Checks that the session lives, the file is open and of the right direction.
  bool usable(bool forUpload) const;

  std::shared_ptr<internal::Transfer> transfer_;
  bool upload_;
  bool closed_ = false;
};

}  // namespace platform::inet
