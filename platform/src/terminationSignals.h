#pragma once
// SIGTERM, SIGINT and SIGHUP as requests to end, so that a program ends the way it would on
// its own (its temporary files removed) instead of at once. While the object lives, each of
// these signals only makes fd() readable, except one that was ignored already (nohup, a
// shell's background job), which stays ignored; the handlers that were in place come back
// on destruction. One object at a time; construct and destroy it on one thread, any thread
// may receive the signals.
//
//     TerminationSignals signals;
//     notifier on signals.fd() -> signals.take(); end the event loop

#include "platform/src/fileDescriptor.h"

#include <signal.h>

namespace platform {

class TerminationSignals {
 public:
  // When the pipe or a handler cannot be set up, every handler stays as it was and fd()
  // is -1.
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Readable (for poll() or an event loop's notifier) from the first signal on, until
  // take() has read what arrived.
  int fd() const { return readEnd_.get(); }
  // The last of the signals that arrived since the previous call, or 0 for none; never
  // blocks.
  int take();

 private:
  FileDescriptor readEnd_;
  FileDescriptor writeEnd_;
  struct sigaction previous_[3] = {};
};

}  // namespace platform
