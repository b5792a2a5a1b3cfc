#include "platform/src/childProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <cerrno>
#include <mutex>

#include "platform/src/thread.h"

extern char** environ;

namespace platform {

// Shared by the owner and the watcher thread, which may outlive the owner after release().
struct ChildProcess::Watch {
  explicit Watch(pid_t child) : pid(child) {}

  const pid_t pid;
  std::mutex mutex;
  bool released = false;  // the owner gave the child up: the watcher collects it
  bool ended = false;
  Event endedEvent{Event::Reset::Manual};
};

namespace {

// Collects an ended child; returns its exit code as exitCode() documents it.
int reap(pid_t pid) {
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  if (done < 0) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return -WTERMSIG(status);
  return -1;
}

class FileActions {
 public:
  FileActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { ::posix_spawnattr_init(&attributes_); }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  posix_spawnattr_t* get() { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

int redirect(posix_spawn_file_actions_t* actions, int fd, int target) {
  if (fd >= 0) return ::posix_spawn_file_actions_adddup2(actions, fd, target);
  return ::posix_spawn_file_actions_addopen(actions, target, "/dev/null", O_WRONLY, 0);
}

int prepareFiles(FileActions& actions, int stdoutFd, int stderrFd, const std::string& workingDir) {
  int rc = ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
  if (rc == 0) rc = redirect(actions.get(), stdoutFd, 1);
  if (rc == 0) rc = redirect(actions.get(), stderrFd, 2);
  if (rc == 0 && !workingDir.empty()) {
    rc = ::posix_spawn_file_actions_addchdir_np(actions.get(), workingDir.c_str());
  }
  // Descriptors opened without close-on-exec (by us or by any library) must not leak.
  if (rc == 0) rc = ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
  return rc;
}

int prepareAttributes(SpawnAttributes& attributes) {
  sigset_t none, all;
  ::sigemptyset(&none);
  ::sigfillset(&all);
  int rc = ::posix_spawnattr_setpgroup(attributes.get(), 0);
  if (rc == 0) rc = ::posix_spawnattr_setsigmask(attributes.get(), &none);
  if (rc == 0) rc = ::posix_spawnattr_setsigdefault(attributes.get(), &all);
  if (rc == 0) {
    rc = ::posix_spawnattr_setflags(
        attributes.get(), POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  return rc;
}

}  // namespace

// Waits for the child's end without collecting it, so that its process id (and with it
// the id of its group) cannot be reused while the owner may still signal the group.
void ChildProcess::watchChild(std::shared_ptr<Watch> watch) {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(watch->pid), &info, WEXITED | WNOWAIT) < 0 &&
         errno == EINTR) {
  }
  std::lock_guard lock(watch->mutex);
  if (watch->released) {
    reap(watch->pid);
    return;
  }
  watch->ended = true;
  watch->endedEvent.set();
}

ChildProcess::~ChildProcess() {
  if (watch_) killGroup();
}

bool ChildProcess::start(const std::vector<std::string>& argv, int stdoutFd, int stderrFd,
                         const std::string& workingDir) {
  if (watch_) killGroup();
  if (argv.empty()) {
    setLastError(ENOENT);
    return false;
  }
  FileActions actions;
  SpawnAttributes attributes;
  int rc = prepareFiles(actions, stdoutFd, stderrFd, workingDir);
  if (rc == 0) rc = prepareAttributes(attributes);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  // glibc runs the child with CLONE_VFORK and hands an exec failure back as the result, so
  // a missing program fails here rather than as a child that exits with 127.
  if (rc == 0) {
    rc = ::posix_spawnp(&pid, args[0], actions.get(), attributes.get(), args.data(), environ);
  }
  if (rc != 0) {
    setLastError(static_cast<std::uint32_t>(rc));
    return false;
  }
  pid_ = pid;
  exitCode_ = -1;
  watch_ = std::make_shared<Watch>(pid);
  try {
    watcher_ = std::thread(watchChild, watch_);
  } catch (...) {
    ::kill(-pid, SIGKILL);
    reap(pid);
    watch_.reset();
    pid_ = 0;
    throw;
  }
  return true;
}

ChildProcess::WaitResult ChildProcess::wait(long timeoutMs, Event* abort) {
  if (!watch_) return WaitResult::Exited;
  // The child comes first: if it ended and abort is set as well, the end counts.
  std::array<Event*, 2> events{&watch_->endedEvent, abort};
  const int fired = waitAny(std::span<Event* const>(events.data(), abort ? 2 : 1), timeoutMs);
  if (fired == 0) {
    collect();
    return WaitResult::Exited;
  }
  if (fired == 1) {
    release();
    return WaitResult::Aborted;
  }
  return WaitResult::TimedOut;
}

void ChildProcess::killGroup() {
  if (!watch_) return;
  // The child is not collected before this, so its id and its group's still belong to it.
  // It is killed by id as well in case it left its group.
  ::kill(-pid_, SIGKILL);
  ::kill(pid_, SIGKILL);
  collect();
}

void ChildProcess::release() {
  if (!watch_) return;
  {
    std::lock_guard lock(watch_->mutex);
    if (!watch_->ended) {
      watch_->released = true;
      watcher_.detach();
      watch_.reset();
      pid_ = 0;
      return;
    }
  }
  collect();
}

void ChildProcess::collect() {
  watcher_.join();
  exitCode_ = reap(pid_);
  watch_.reset();
  pid_ = 0;
}

}  // namespace platform
