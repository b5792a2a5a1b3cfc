#pragma once
// Holds a session's lock for one call of the layer; the notifications that the call
// caused are delivered once it is released (see sessionCore.h). Internal to the layer.

namespace platform::inet::internal {

class SessionCore;

class SessionLock {
 public:
  explicit SessionLock(SessionCore& core);
  ~SessionLock();
  SessionLock(const SessionLock&) = delete;
  SessionLock& operator=(const SessionLock&) = delete;

 private:
  SessionCore& core_;
};

}  // namespace platform::inet::internal
