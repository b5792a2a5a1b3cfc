#include "platform/src/childProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/src/fileDescriptor.h"
#include "platform/src/thread.h"

extern char** environ;

namespace platform {

// Shared by the owner and the watcher thread, which may outlive the owner after release().
struct ChildProcess::Watch {
  Watch(pid_t keeperPid, FileDescriptor channelEnd)
      : keeper(keeperPid), channel(std::move(channelEnd)) {}

  const pid_t keeper;
  const FileDescriptor channel;
  std::mutex mutex;
  bool released = false;  // the owner gave the child up: the watcher collects the keeper
  bool ended = false;     // the keeper reported the child's end
  bool finished = false;  // the keeper closed the channel
  int exitCode = -1;
  Event endedEvent{Event::Reset::Manual};
};

namespace {

// What the keeper tells its owner over their channel, in this order: Started (with a
// descriptor of the child) or StartFailed, then Ended when the child ends. The owner answers with
// kKillAll, or shuts its side down to let the keeper go.
struct Report {
  enum Kind : std::int32_t { Started, StartFailed, Ended };
  Kind kind;
  std::int32_t value;  // the child's id, the errno value, or the exit code
};
constexpr char kKillAll = 'k';

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

// Everything the keeper needs, made before the fork: after it only async-signal-safe
// calls are allowed, since other threads of this process may hold locks (malloc's among
// them) that are never released in the copy.
struct SpawnPlan {
  FileActions actions;
  SpawnAttributes attributes;
  std::vector<char*> args;
};

// ---- The keeper's side: no allocation, no locks, no exceptions. ----

void sendReport(int channel, Report::Kind kind, std::int32_t value) {
  const Report report{kind, value};
  while (::send(channel, &report, sizeof report, MSG_NOSIGNAL) < 0 && errno == EINTR) {
  }
}

// The child's descriptor goes with the report: should the keeper be killed, its owner can
// still follow the child and end its group.
void sendStarted(int channel, pid_t child, int childFd) {
  Report report{Report::Started, child};
  iovec data{&report, sizeof report};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof childFd)] = {};
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = SOL_SOCKET;
  header->cmsg_type = SCM_RIGHTS;
  header->cmsg_len = CMSG_LEN(sizeof childFd);
  std::memcpy(CMSG_DATA(header), &childFd, sizeof childFd);
  while (::sendmsg(channel, &message, MSG_NOSIGNAL) < 0 && errno == EINTR) {
  }
}

// Collects the child; returns its exit code as exitCode() documents it.
std::int32_t collectChild(pid_t child) {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED) < 0) {
    if (errno != EINTR) return -1;
  }
  return info.si_code == CLD_EXITED ? info.si_status : -info.si_status;
}

// The parent's id from the text of /proc/<pid>/stat: "pid (name) state ppid ...", where
// the name may hold anything, blanks and parentheses included.
pid_t parentInStat(const char* text, std::size_t length) {
  std::size_t end = length;
  while (end > 0 && text[end - 1] != ')') --end;
  if (end == 0 || end + 3 >= length) return 0;
  pid_t parent = 0;
  for (std::size_t i = end + 3; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
    parent = parent * 10 + (text[i] - '0');
  }
  return parent;
}

pid_t parentOf(const char* pidText) {
  char path[64] = "/proc/";
  std::size_t used = 6;
  for (const char* c = pidText; *c && used < sizeof path - 6; ++c) path[used++] = *c;
  for (const char* c = "/stat"; *c; ++c) path[used++] = *c;
  path[used] = '\0';
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[256];
  const ssize_t length = ::read(fd, text, sizeof text);
  ::close(fd);
  return length > 0 ? parentInStat(text, static_cast<std::size_t>(length)) : 0;
}

// Sends SIGKILL to every child of the calling process. Their ids stay theirs while this
// runs: only the caller collects its children.
void killChildren() {
  const pid_t self = ::getpid();
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (proc < 0) return;
  alignas(dirent64) char buffer[4096];
  for (ssize_t length; (length = ::getdents64(proc, buffer, sizeof buffer)) > 0;) {
    for (ssize_t at = 0; at < length;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
      at += entry->d_reclen;
      const char first = entry->d_name[0];
      if (first < '1' || first > '9' || parentOf(entry->d_name) != self) continue;
      pid_t pid = 0;
      for (const char* c = entry->d_name; *c; ++c) pid = pid * 10 + (*c - '0');
      ::kill(pid, SIGKILL);
    }
  }
  ::close(proc);
}

// As the subreaper, the keeper inherits the children of every descendant that dies; so
// killing its children until it has none left ends the whole tree, wherever a process of
// it moved. A killed process cannot fork any more, so this ends.
void killDescendants() {
  for (;;) {
    killChildren();
    if (::waitpid(-1, nullptr, 0) < 0 && errno == ECHILD) return;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
  }
}

// Reports the child's end and waits for the owner's word: kill what is left, or let go.
[[noreturn]] void superviseChild(int channel, pid_t child, int childFd) {
  bool running = true;
  for (;;) {
    std::array<pollfd, 2> fds{{{channel, POLLIN, 0}, {childFd, POLLIN, 0}}};
    if (::poll(fds.data(), running ? 2 : 1, -1) < 0) continue;
    if (running && fds[1].revents != 0) {
      sendReport(channel, Report::Ended, collectChild(child));
      running = false;
      continue;
    }
    char word = 0;
    const ssize_t got = ::read(channel, &word, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got == 1 && word == kKillAll) {
      killDescendants();
    } else if (running) {
      collectChild(child);  // let go: the released child runs on, its keeper with it
    }
    ::_exit(0);
  }
}

// Closes every descriptor except `first` and `second` (first < second).
void closeAllBut(int first, int second) {
  const auto closeFromTo = [](int from, int to) {
    if (from <= to) ::close_range(static_cast<unsigned>(from), static_cast<unsigned>(to), 0);
  };
  closeFromTo(0, first - 1);
  closeFromTo(first + 1, second - 1);
  ::close_range(static_cast<unsigned>(second) + 1, ~0u, 0);
}

[[noreturn]] void runKeeper(int channel, SpawnPlan& plan) {
  // Signals meant for this process's group (an interrupt from the terminal) must not end
  // the keeper while its child runs; and a SIGCHLD that this process ignores would make
  // the kernel discard the child's status.
  sigset_t all;
  ::sigfillset(&all);
  ::sigprocmask(SIG_SETMASK, &all, nullptr);
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  ::sigaction(SIGCHLD, &byDefault, nullptr);
  if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
    sendReport(channel, Report::StartFailed, errno);
    ::_exit(0);
  }
  pid_t child = 0;
  int rc = ::posix_spawnp(&child, plan.args[0], plan.actions.get(), plan.attributes.get(),
                          plan.args.data(), environ);
  // A descriptor of the child, for poll(); glibc 2.36 declares pidfd_open without C linkage.
  const int childFd = rc == 0 ? static_cast<int>(::syscall(SYS_pidfd_open, child, 0)) : -1;
  if (rc == 0 && childFd < 0) {
    rc = errno;
    ::kill(child, SIGKILL);
    collectChild(child);
  }
  if (rc != 0) {
    sendReport(channel, Report::StartFailed, rc);
    ::_exit(0);
  }
  // The output files among them: once the child is gone, nothing of ours holds them.
  closeAllBut(std::min(channel, childFd), std::max(channel, childFd));
  sendStarted(channel, child, childFd);
  superviseChild(channel, child, childFd);
}

// ---- The owner's side. ----

// The descriptor that came with a message, if one did.
FileDescriptor passedDescriptor(msghdr& message) {
  for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) continue;
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
    return FileDescriptor(fd);
  }
  return {};
}

// One whole report, or false at the end of the channel. A descriptor sent with it goes to
// `passed`.
bool receiveReport(int channel, Report& report, FileDescriptor* passed = nullptr) {
  auto* bytes = reinterpret_cast<char*>(&report);
  std::size_t done = 0;
  while (done < sizeof report) {
    iovec data{bytes + done, sizeof report - done};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = ::recvmsg(channel, &message, MSG_CMSG_CLOEXEC);
    if (got < 0 && errno == EINTR) continue;
    FileDescriptor fd = passedDescriptor(message);
    if (passed && fd.valid()) *passed = std::move(fd);
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool hasEnded(const FileDescriptor& childFd, int timeoutMs) {
  pollfd ready{childFd.get(), POLLIN, 0};
  return ::poll(&ready, 1, timeoutMs) > 0;
}

void collectKeeper(pid_t keeper) {
  while (::waitpid(keeper, nullptr, 0) < 0 && errno == EINTR) {
  }
}

void tell(const FileDescriptor& channel, char word) {
  while (::send(channel.get(), &word, 1, MSG_NOSIGNAL) < 0 && errno == EINTR) {
  }
}

}  // namespace

// Follows the keeper's reports until it closes the channel, which it does only after its
// last act: the child's release, or the end of every descendant.
void ChildProcess::watchKeeper(std::shared_ptr<Watch> watch) {
  for (Report report{}; receiveReport(watch->channel.get(), report);) {
    if (report.kind != Report::Ended) continue;
    {
      std::lock_guard lock(watch->mutex);
      watch->exitCode = report.value;
      watch->ended = true;
    }
    watch->endedEvent.set();
  }
  std::lock_guard lock(watch->mutex);
  watch->finished = true;
  watch->endedEvent.set();  // a keeper killed from outside ends the wait too
  if (watch->released) collectKeeper(watch->keeper);
}

ChildProcess::~ChildProcess() {
  if (watch_) killAll();
}

bool ChildProcess::start(const std::vector<std::string>& argv, int stdoutFd, int stderrFd,
                         const std::string& workingDir) {
  if (watch_) killAll();
  if (argv.empty()) {
    setLastError(ENOENT);
    return false;
  }
  SpawnPlan plan;
  int rc = prepareFiles(plan.actions, stdoutFd, stderrFd, workingDir);
  if (rc == 0) rc = prepareAttributes(plan.attributes);
  for (const std::string& arg : argv) plan.args.push_back(const_cast<char*>(arg.c_str()));
  plan.args.push_back(nullptr);
  int ends[2] = {-1, -1};
  if (rc == 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) rc = errno;
  FileDescriptor channel(ends[0]), keeperEnd(ends[1]);
  const pid_t keeper = rc == 0 ? ::fork() : -1;
  if (keeper == 0) runKeeper(keeperEnd.get(), plan);
  if (rc == 0 && keeper < 0) rc = errno;
  if (rc != 0) {
    setLastError(static_cast<std::uint32_t>(rc));
    return false;
  }
  keeperEnd.reset();

  Report report{};
  FileDescriptor childFd;
  if (!receiveReport(channel.get(), report, &childFd) || report.kind != Report::Started) {
    collectKeeper(keeper);
    setLastError(report.kind == Report::StartFailed ? static_cast<std::uint32_t>(report.value)
                                                    : ECHILD);
    return false;
  }
  pid_ = report.value;
  childFd_ = std::move(childFd);
  exitCode_ = -1;
  watch_ = std::make_shared<Watch>(keeper, std::move(channel));
  try {
    watcher_ = std::thread(watchKeeper, watch_);
  } catch (...) {
    tell(watch_->channel, kKillAll);
    collectKeeper(keeper);
    watch_.reset();
    pid_ = 0;
    throw;
  }
  return true;
}

ChildProcess::WaitResult ChildProcess::wait(long timeoutMs, Event* abort, Event* stop) {
  if (!watch_) return WaitResult::Exited;
  const auto start = std::chrono::steady_clock::now();
  // The child comes first: if it ended and abort or stop is set as well, the end counts.
  std::array<Event*, 3> events{&watch_->endedEvent};
  std::array<WaitResult, 3> results{WaitResult::Exited};
  std::size_t count = 1;
  for (const auto& [event, result] :
       {std::pair{abort, WaitResult::Aborted}, {stop, WaitResult::Stopped}}) {
    if (!event) continue;
    events[count] = event;
    results[count++] = result;
  }
  const int fired = waitAny(std::span<Event* const>(events.data(), count), timeoutMs);
  const WaitResult result =
      fired < 0 ? WaitResult::TimedOut : results[static_cast<std::size_t>(fired)];
  if (result == WaitResult::Exited && keeperLost()) {
    return waitWithoutKeeper(timeoutMs, start, abort, stop);
  }
  if (result == WaitResult::Exited) collect();
  if (result == WaitResult::Aborted) release();
  return result;
}

void ChildProcess::killAll() {
  if (!watch_) return;
  if (keeperLost()) endGroup();
  tell(watch_->channel, kKillAll);
  collect();
}

bool ChildProcess::keeperLost() const {
  std::lock_guard lock(watch_->mutex);
  return watch_->finished && !watch_->ended;
}

// Without its keeper the child belongs to someone else, so its end is seen through its
// descriptor only, and the time limit and abort are checked between short polls.
ChildProcess::WaitResult ChildProcess::waitWithoutKeeper(
    long timeoutMs, std::chrono::steady_clock::time_point start, Event* abort, Event* stop) {
  constexpr int kPollMs = 20;
  for (;;) {
    if (hasEnded(childFd_, kPollMs)) {
      endGroup();
      collect();
      return WaitResult::Exited;
    }
    if (abort && abort->isSet()) {
      release();
      return WaitResult::Aborted;
    }
    if (stop && stop->isSet()) return WaitResult::Stopped;
    if (timeoutMs >= 0 &&
        std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(timeoutMs)) {
      return WaitResult::TimedOut;
    }
  }
}

// What a keeper would have killed can no longer be found wherever it went; the group the
// child leads can, and the child itself through its descriptor.
void ChildProcess::endGroup() {
  ::kill(-pid_, SIGKILL);
  ::syscall(SYS_pidfd_send_signal, childFd_.get(), SIGKILL, nullptr, 0);
  constexpr int kGraceMs = 2000;
  hasEnded(childFd_, kGraceMs);
}

void ChildProcess::release() {
  if (!watch_) return;
  bool finished;
  {
    std::lock_guard lock(watch_->mutex);
    watch_->released = true;
    finished = watch_->finished;
  }
  ::shutdown(watch_->channel.get(), SHUT_WR);
  if (finished) {
    collect();
    return;
  }
  watcher_.detach();
  watch_.reset();
  childFd_.reset();
  pid_ = 0;
}

// Lets the keeper go unless it was told otherwise already, and waits for its end.
void ChildProcess::collect() {
  ::shutdown(watch_->channel.get(), SHUT_WR);
  watcher_.join();
  exitCode_ = watch_->exitCode;
  collectKeeper(watch_->keeper);
  watch_.reset();
  childFd_.reset();
  pid_ = 0;
}

}  // namespace platform
