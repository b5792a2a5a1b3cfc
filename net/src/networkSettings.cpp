#include "net/src/networkSettings.h"

#include "lib/misc/src/readWriteLock.h"
#include "net/src/authenticator.h"

namespace net {
namespace {

constexpr std::uint32_t kDefaultBlockSize = 32768;

struct ProxyAuthentication {
  misc::ReadWriteLock lock;
  std::shared_ptr<const Authenticator> authenticator;
};

ProxyAuthentication& proxyAuthentication() {
  static ProxyAuthentication instance;
  return instance;
}

}  // namespace

std::wstring NetworkSettings::effectiveUserAgent() const {
  return userAgent.empty() ? NetworkSettings().userAgent : userAgent;
}

std::uint32_t NetworkSettings::blockSize() const {
  return transferBlockSize == 0 ? kDefaultBlockSize : transferBlockSize;
}

NetworkSettings& networkSettings() {
  static NetworkSettings settings;
  return settings;
}

void setProxyAuthenticator(std::shared_ptr<const Authenticator> authenticator) {
  ProxyAuthentication& proxy = proxyAuthentication();
  misc::ScopedWriteLock guard(&proxy.lock, __FILE__, __LINE__);
  proxy.authenticator = std::move(authenticator);
}

std::wstring proxyAuthorization() {
  ProxyAuthentication& proxy = proxyAuthentication();
  misc::ScopedReadLock guard(&proxy.lock, __FILE__, __LINE__);
  return proxy.authenticator ? proxy.authenticator->value() : std::wstring();
}

}  // namespace net
