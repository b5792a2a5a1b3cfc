#include "platform/inet/src/sessionLock.h"

#include "platform/inet/src/sessionCore.h"

namespace platform::inet::internal {

SessionLock::SessionLock(SessionCore& core) : core_(core) {
  core_.lockForCall();
}

SessionLock::~SessionLock() {
  core_.unlockAfterCall();
  // An asynchronous session's thread delivers them as soon as it has the lock back.
  if (!core_.async()) core_.deliverQueued();
}

}  // namespace platform::inet::internal
