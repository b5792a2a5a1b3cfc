#pragma once
// One server of a session: the HTTP server that requests go to, or a logged-in FTP server.
// Made by Session::connect; see session.h for modes, threads and failures.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/inet/src/handle.h"

namespace platform::inet {

class Request;
class FtpFile;

namespace internal {
class Transfer;
}

struct FtpFindData {
  std::wstring fileName;
  std::uint64_t fileSize = 0;
};

class Connection : public Handle {
  struct Key {};

 public:
  ~Connection() override;

  std::uint32_t service() const { return service_; }

  // An HTTP request for `objectName` (path and query, sent as they are; blanks and bytes
  // beyond ASCII are escaped). Version "HTTP/1.0" or "HTTP/1.1" (empty: 1.1). Flags:
  // INTERNET_FLAG_SECURE (https), INTERNET_FLAG_NO_AUTO_REDIRECT (3xx answers are handed
  // back), INTERNET_FLAG_PRAGMA_NOCACHE (adds "Pragma: no-cache"), and the cache flags,
  // which change nothing. Nothing is sent yet. Null on failure: an FTP connection gives
  // ERROR_INTERNET_INCORRECT_HANDLE_TYPE, another version ERROR_INVALID_PARAMETER.
  std::unique_ptr<Request> openRequest(const std::wstring& verb, const std::wstring& objectName,
                                       const std::wstring& version, std::uint32_t flags,
                                       std::uintptr_t context);

  // FTP: the file's size by the server's SIZE command. False with ERROR_NO_MORE_FILES when
  // the server knows no such file, with another code when it cannot be asked. Flags are
  // the cache flags, which change nothing. Returns when done, in both modes.
  bool ftpFindFile(const std::wstring& path, std::uint32_t flags, FtpFindData& found);

  // FTP: opens the file for GENERIC_READ (download) or GENERIC_WRITE (upload, creating or
  // replacing the file) with FTP_TRANSFER_TYPE_BINARY or _ASCII in the flags. Returns when
  // the server has accepted the transfer (or the whole file has already arrived). A
  // refusal (no such file, no permission) is ERROR_INTERNET_EXTENDED_ERROR with the
  // server's reply as last response text. Null on failure.
  std::unique_ptr<FtpFile> ftpOpenFile(const std::wstring& path, std::uint32_t access,
                                       std::uint32_t flags, std::uintptr_t context);

  Connection(Key, std::shared_ptr<internal::SessionCore> core, const HandleOptions& options,
             std::uintptr_t context, std::uint32_t service, std::wstring host, std::uint16_t port,
             std::wstring userName, std::optional<std::wstring> password, std::uint32_t flags);

 private:
  friend class Session;

  bool ftpLogIn();
  // An FTP transfer of `path` set up with this connection's server, account and mode.
  std::shared_ptr<internal::Transfer> ftpTransfer(int kind, const std::wstring& path,
                                                  std::uint32_t flags);
  // Adds the transfer and runs it until it is ready or done: false with its failure.
  bool runFtp(internal::Transfer& transfer, bool untilDone);

  std::uint32_t service_;
  std::wstring host_;
  std::uint16_t port_;
  std::wstring userName_;
  std::optional<std::wstring> password_;
  std::uint32_t flags_;
};

}  // namespace platform::inet
