#include "net/src/msgGroups.h"

namespace net::internal {

#define PG_NET_GROUP(function, name) \
  msgGroup& function() {             \
    static msgGroup group(name);     \
    return group;                    \
  }

PG_NET_GROUP(httpActivityGroup, L"HttpActivity")
PG_NET_GROUP(httpHeadersGroup, L"HttpHeaders")
PG_NET_GROUP(ftpActivityGroup, L"FtpActivity")
PG_NET_GROUP(isConnectedGroup, L"IsConnected")
PG_NET_GROUP(asyncHttpGroup, L"AsyncHttp")
PG_NET_GROUP(asyncHttpAutoRetryGroup, L"AsyncHttpAutoRetry")
PG_NET_GROUP(wininetCallbacksGroup, L"WininetCallbacks")

#undef PG_NET_GROUP

namespace {

bool registerGroups() {
  httpActivityGroup();
  httpHeadersGroup();
  ftpActivityGroup();
  isConnectedGroup();
  asyncHttpGroup();
  asyncHttpAutoRetryGroup();
  wininetCallbacksGroup();
  return true;
}

// Registered at start-up, in this order, so that they can be switched on by name before use.
[[maybe_unused]] const bool registered = registerGroups();

}  // namespace

}  // namespace net::internal
