#include "platform/inet/src/ftpFile.h"

#include "platform/inet/src/failure.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/sessionCore.h"
#include "platform/inet/src/sessionLock.h"
#include "platform/inet/src/transfer.h"

namespace platform::inet {

FtpFile::FtpFile(Key, std::shared_ptr<internal::SessionCore> core, const HandleOptions& options,
                 std::uintptr_t context, std::shared_ptr<internal::Transfer> transfer, bool upload)
    : Handle(std::move(core), options, context), transfer_(std::move(transfer)), upload_(upload) {}

FtpFile::~FtpFile() {
  const internal::SessionLock lock(core());
  core().remove(*transfer_);
  core().forget(id());
  core().queue({id(), context(), INTERNET_STATUS_HANDLE_CLOSING, 0, 0});
}

bool FtpFile::usable(bool forUpload) const {
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  if (closed_) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  if (upload_ != forUpload) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  return true;
}

bool FtpFile::read(void* buffer, std::size_t size, std::size_t& bytesRead) {
  bytesRead = 0;
  const internal::SessionLock lock(core());
  if (!usable(false)) return false;
  internal::Transfer& transfer = *transfer_;
  core().driveUntil([&] { return transfer.hasBody() || transfer.done(); });
  if (transfer.hasBody()) {
    bytesRead = transfer.takeBody(buffer, size);
    return true;
  }
  return transfer.error() == ERROR_SUCCESS ||
         internal::fail(transfer.error(), transfer.serverReply());
}

bool FtpFile::write(const void* data, std::size_t size, std::size_t& written) {
  written = 0;
  const internal::SessionLock lock(core());
  if (!usable(true)) return false;
  internal::Transfer& transfer = *transfer_;
  const auto* bytes = static_cast<const char*>(data);
  while (written < size) {
    if (transfer.done()) {
      // A server that ends the upload early without saying why has cut it off.
      const std::uint32_t error = transfer.error();
      return internal::fail(error != ERROR_SUCCESS ? error : ERROR_INTERNET_CONNECTION_ABORTED,
                            transfer.serverReply());
    }
    const std::size_t taken = transfer.giveUpload(bytes + written, size - written);
    written += taken;
    if (taken == 0) core().driveUntil([&] { return transfer.uploadDrained() || transfer.done(); });
  }
  return true;
}

bool FtpFile::close() {
  const internal::SessionLock lock(core());
  if (!usable(upload_)) return false;
  closed_ = true;
  internal::Transfer& transfer = *transfer_;
  if (!upload_) {
    core().remove(transfer);
    return true;
  }
  transfer.endUpload();
  core().driveUntil([&] { return transfer.done(); });
  return transfer.error() == ERROR_SUCCESS ||
         internal::fail(transfer.error(), transfer.serverReply());
}

}  // namespace platform::inet
