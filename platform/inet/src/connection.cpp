#include "platform/inet/src/connection.h"

#include "platform/inet/src/failure.h"
#include "platform/inet/src/ftpFile.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/request.h"
#include "platform/inet/src/sessionCore.h"
#include "platform/inet/src/sessionLock.h"
#include "platform/inet/src/transfer.h"
#include "platform/inet/src/urlText.h"
#include "platform/src/utf8.h"

namespace platform::inet {
namespace {

using internal::Transfer;

constexpr std::uint16_t kFtpPort = 21;
constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;

}  // namespace

Connection::Connection(Key, std::shared_ptr<internal::SessionCore> core,
                       const HandleOptions& options, std::uintptr_t context, std::uint32_t service,
                       std::wstring host, std::uint16_t port, std::wstring userName,
                       std::optional<std::wstring> password, std::uint32_t flags)
    : Handle(std::move(core), options, context),
      service_(service),
      host_(std::move(host)),
      port_(port),
      userName_(std::move(userName)),
      password_(std::move(password)),
      flags_(flags) {}

Connection::~Connection() {
  const internal::SessionLock lock(core());
  core().forget(id());
  core().queue({id(), context(), INTERNET_STATUS_HANDLE_CLOSING, 0, 0});
}

std::unique_ptr<Request> Connection::openRequest(const std::wstring& verb,
                                                 const std::wstring& objectName,
                                                 const std::wstring& version, std::uint32_t flags,
                                                 std::uintptr_t context) {
  if (service_ != INTERNET_SERVICE_HTTP) {
    internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }
  long curlVersion = CURL_HTTP_VERSION_1_1;
  if (version == L"HTTP/1.0") {
    curlVersion = CURL_HTTP_VERSION_1_0;
  } else if (!version.empty() && version != L"HTTP/1.1") {
    internal::fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const internal::SessionLock lock(core());
  if (core().closed()) {
    internal::fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto transfer = Transfer::create(core(), Transfer::Kind::Http, 0, context);
  if (!transfer) {
    internal::fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  const bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
  const std::uint16_t port = port_ != 0 ? port_ : secure ? kHttpsPort : kHttpPort;
  std::string object = platform::toUtf8(objectName);
  if (!object.starts_with('/')) object.insert(0, 1, '/');
  transfer->setUrl(internal::urlOrigin(secure ? "https" : "http", platform::toUtf8(host_), port) +
                   internal::escapeObjectName(object));
  transfer->setFollowsRedirects((flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0);
  curl_easy_setopt(transfer->easy(), CURLOPT_HTTP_VERSION, curlVersion);
  return std::make_unique<Request>(Request::Key{}, sharedCore(), options(), context,
                                   std::move(transfer), platform::toUtf8(verb), flags);
}

std::shared_ptr<Transfer> Connection::ftpTransfer(int kind, const std::wstring& path,
                                                  std::uint32_t flags) {
  auto transfer = Transfer::create(core(), static_cast<Transfer::Kind>(kind), 0, 0);
  if (!transfer) {
    internal::fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::string file = platform::toUtf8(path);
  // "%2F" makes libcurl name the file from the root rather than from the login directory.
  const bool absolute = file.starts_with('/');
  if (absolute) file.erase(0, 1);
  transfer->setUrl(internal::urlOrigin("ftp", platform::toUtf8(host_), port_ ? port_ : kFtpPort) +
                   (absolute ? "/%2F" : "/") + internal::escapeFtpPath(file));
  CURL* easy = transfer->easy();
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(easy, CURLOPT_USERNAME,
                   userName_.empty() ? "anonymous" : platform::toUtf8(userName_).c_str());
  curl_easy_setopt(easy, CURLOPT_PASSWORD, password_ ? platform::toUtf8(*password_).c_str() : "");
  curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  if ((flags_ & INTERNET_FLAG_PASSIVE) == 0) curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
  curl_easy_setopt(easy, CURLOPT_TRANSFERTEXT, (flags & FTP_TRANSFER_TYPE_ASCII) != 0 ? 1L : 0L);
  transfer->prepare(options());
  return transfer;
}

bool Connection::runFtp(Transfer& transfer, bool untilDone) {
  if (!core().add(transfer)) return false;
  core().driveUntil([&] { return transfer.done() || (!untilDone && transfer.ready()); });
  if (transfer.done() && transfer.error() != ERROR_SUCCESS) {
    return internal::fail(transfer.error(), transfer.serverReply());
  }
  return true;
}

bool Connection::ftpLogIn() {
  const internal::SessionLock lock(core());
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  auto transfer = ftpTransfer(static_cast<int>(Transfer::Kind::FtpCommand), L"", 0);
  if (!transfer) return false;
  curl_easy_setopt(transfer->easy(), CURLOPT_NOBODY, 1L);
  return runFtp(*transfer, true);
}

bool Connection::ftpFindFile(const std::wstring& path, std::uint32_t flags, FtpFindData& found) {
  if (service_ != INTERNET_SERVICE_FTP) return internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  const internal::SessionLock lock(core());
  if (core().closed()) return internal::fail(ERROR_INVALID_HANDLE);
  auto transfer = ftpTransfer(static_cast<int>(Transfer::Kind::FtpCommand), path, flags);
  if (!transfer) return false;
  curl_easy_setopt(transfer->easy(), CURLOPT_NOBODY, 1L);
  if (!runFtp(*transfer, true)) {
    if (transfer->serverReply().starts_with(L"550")) return internal::fail(ERROR_NO_MORE_FILES);
    return false;
  }
  curl_off_t size = -1;
  curl_easy_getinfo(transfer->easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
  if (size < 0) return internal::fail(ERROR_NO_MORE_FILES);
  const std::size_t slash = path.rfind(L'/');
  found.fileName = slash == std::wstring::npos ? path : path.substr(slash + 1);
  found.fileSize = static_cast<std::uint64_t>(size);
  return true;
}

std::unique_ptr<FtpFile> Connection::ftpOpenFile(const std::wstring& path, std::uint32_t access,
                                                 std::uint32_t flags, std::uintptr_t context) {
  if (service_ != INTERNET_SERVICE_FTP) {
    internal::fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }
  if (access != GENERIC_READ && access != GENERIC_WRITE) {
    internal::fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const bool upload = access == GENERIC_WRITE;
  const internal::SessionLock lock(core());
  if (core().closed()) {
    internal::fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const auto kind = upload ? Transfer::Kind::FtpUpload : Transfer::Kind::FtpDownload;
  auto transfer = ftpTransfer(static_cast<int>(kind), path, flags);
  if (!transfer || !runFtp(*transfer, false)) return nullptr;
  return std::make_unique<FtpFile>(FtpFile::Key{}, sharedCore(), options(), context,
                                   std::move(transfer), upload);
}

}  // namespace platform::inet
