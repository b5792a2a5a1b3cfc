#include "platform/inet/src/session.h"

#include "platform/inet/src/connection.h"
#include "platform/inet/src/failure.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/sessionCore.h"
#include "platform/inet/src/sessionLock.h"
#include "platform/src/utf8.h"

namespace platform::inet {

std::unique_ptr<Session> Session::open(const std::wstring& userAgent, std::uint32_t flags) {
  auto core = std::make_shared<internal::SessionCore>(platform::toUtf8(userAgent),
                                                      (flags & INTERNET_FLAG_ASYNC) != 0);
  if (!core->start()) return nullptr;
  return std::make_unique<Session>(Key{}, std::move(core));
}

Session::Session(Key, std::shared_ptr<internal::SessionCore> core)
    : Handle(std::move(core), HandleOptions{}, 0) {}

Session::~Session() {
  core().close();
}

bool Session::isAsync() const {
  return core().async();
}

void Session::setStatusCallback(StatusCallback callback) {
  const internal::SessionLock lock(core());
  core().setCallback(std::move(callback));
}

std::unique_ptr<Connection> Session::connect(const std::wstring& host, std::uint16_t port,
                                             const std::wstring& userName,
                                             const std::optional<std::wstring>& password,
                                             std::uint32_t service, std::uint32_t flags,
                                             std::uintptr_t context) {
  if (service != INTERNET_SERVICE_HTTP && service != INTERNET_SERVICE_FTP) {
    internal::fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (host.empty()) {
    internal::fail(ERROR_INTERNET_INVALID_URL);
    return nullptr;
  }
  HandleOptions inherited;
  {
    const internal::SessionLock lock(core());
    if (core().closed()) {
      internal::fail(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    inherited = options();
  }
  auto connection =
      std::make_unique<Connection>(Connection::Key{}, sharedCore(), inherited, context, service,
                                   host, port, userName, password, flags);
  if (service == INTERNET_SERVICE_FTP && !connection->ftpLogIn()) return nullptr;
  return connection;
}

}  // namespace platform::inet
