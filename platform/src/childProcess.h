#pragma once
// A child process started from an argument vector, without a shell, in a process group of
// its own so that it can be ended together with everything it started.
//
//     ChildProcess child;
//     if (!child.start({"prog", "arg"}, outFd, errFd, {})) ...  // getLastError() says why
//     switch (child.wait(5000, &abortEvent)) { ... }

#include <sys/types.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/src/event.h"

namespace platform {

class ChildProcess {
 public:
  enum class WaitResult { Exited, Aborted, TimedOut };

  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // A child still owned here is killed with its group and collected.
  ~ChildProcess();

  // Starts argv[0] (looked up on PATH when it holds no '/'). Standard input reads
  // /dev/null; standard output and error go to the given descriptors, or to /dev/null for
  // -1. No other descriptor of this process reaches the child, and its signal mask and
  // handlers start at their defaults. An empty `workingDir` keeps ours. Failures to start,
  // including a program that cannot be executed, return false with the errno value in
  // getLastError(); no child is left behind then.
  bool start(const std::vector<std::string>& argv, int stdoutFd, int stderrFd,
             const std::string& workingDir);

  // Waits until the child ends (Exited; exitCode() tells how), `abort` is set (Aborted; the
  // child is released and runs on) or `timeoutMs` passes (TimedOut; the child still runs).
  // timeoutMs < 0 waits without limit, 0 only tests. `abort` may be null.
  WaitResult wait(long timeoutMs, Event* abort);

  // After Exited: the exit status, or minus the signal number for a child that a signal
  // ended, or -1 when the status was lost (SIGCHLD ignored by this process).
  int exitCode() const { return exitCode_; }

  // Kills every process in the child's group and collects the child.
  void killGroup();

  // Gives up the running child: it runs on by itself and is collected when it ends.
  void release();

  pid_t pid() const { return pid_; }

 private:
  struct Watch;

  static void watchChild(std::shared_ptr<Watch> watch);
  void collect();

  pid_t pid_ = 0;
  int exitCode_ = -1;
  std::shared_ptr<Watch> watch_;
  std::thread watcher_;
};

}  // namespace platform
