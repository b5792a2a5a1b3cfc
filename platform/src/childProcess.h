#pragma once
// A child process started from an argument vector, without a shell, in a process group of
// its own. Between this process and the child stands a keeper process: it is the subreaper
// of everything the child starts, so that all of it can be ended together, whatever group
// or session a descendant moved to and even when its own parent is gone. This process's
// own subreaper setting is never touched.
//
//     ChildProcess child;
//     if (!child.start({"prog", "arg"}, outFd, errFd, {})) ...  // getLastError() says why
//     switch (child.wait(5000, &abortEvent)) { ... }

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/src/event.h"
#include "platform/src/fileDescriptor.h"

namespace platform {

class ChildProcess {
 public:
  enum class WaitResult { Exited, Aborted, Stopped, TimedOut };

  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // A child still owned here is ended as killAll() ends it.
  ~ChildProcess();

  // Starts argv[0] (looked up on PATH when it holds no '/'). Standard input reads
  // /dev/null; standard output and error go to the given descriptors, or to /dev/null for
  // -1. No other descriptor of this process reaches the child (nor stays open in its
  // keeper), and its signal mask and handlers start at their defaults. An empty
  // `workingDir` keeps ours. Failures to start, including a program that cannot be
  // executed and a keeper that cannot be made, return false with the errno value in
  // getLastError(); no process is left behind then.
  bool start(const std::vector<std::string>& argv, int stdoutFd, int stderrFd,
             const std::string& workingDir);

  // Waits until the child ends (Exited; exitCode() tells how), `abort` is set (Aborted; the
  // child is released and runs on) or `timeoutMs` passes (TimedOut; the child still runs).
  // timeoutMs < 0 waits without limit, 0 only tests. `abort` may be null, and so may
  // `stop`, which ends the wait as the time limit does, but at once (Stopped). Descendants that
  // outlive an exited child run on by themselves, unless the keeper was killed from outside:
  // then the wait goes on for the child itself, and when it ends, the processes still in
  // its group are killed.
  WaitResult wait(long timeoutMs, Event* abort, Event* stop = nullptr);

  // After Exited: the exit status, or minus the signal number for a child that a signal
  // ended, or -1 when the status was lost (its keeper was killed from outside).
  int exitCode() const { return exitCode_; }

  // Kills the child and every process descended from it, whatever group or session it is
  // in and whoever its parent now is, and returns once none of them runs any more and none
  // holds a file it was given. Also after the child itself has ended. Once the keeper was
  // killed from outside, only the child and its group can still be found: those are
  // killed, and the wait is for the child's end (up to two seconds).
  void killAll();

  // Gives up the running child: it runs on by itself and is collected when it ends.
  void release();

  pid_t pid() const { return pid_; }

 private:
  struct Watch;

  static void watchKeeper(std::shared_ptr<Watch> watch);
  void collect();
  // Whether the keeper went without reporting the child's end.
  bool keeperLost() const;
  WaitResult waitWithoutKeeper(long timeoutMs, std::chrono::steady_clock::time_point start,
                               Event* abort, Event* stop);
  void endGroup();

  pid_t pid_ = 0;
  FileDescriptor childFd_;  // a pidfd of the child, for as long as it is owned here
  int exitCode_ = -1;
  std::shared_ptr<Watch> watch_;
  std::thread watcher_;
};

}  // namespace platform
