#include "platform/src/detachedProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "platform/src/fileDescriptor.h"

namespace platform {

namespace {

// What the go-between process reports back, in one write.
struct Report {
  std::int32_t error;  // errno of a failed start, else 0
  std::int32_t ended;  // 1 when the program ended within the window
  std::int32_t exitCode;
};

void writeAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
}

bool readAll(int fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

int exitCodeOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// In the program's process: only async-signal-safe calls from here to exec.
[[noreturn]] void execProgram(char* const* argv, int execReportFd) {
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
  }
  ::execvp(argv[0], argv);
  const std::int32_t error = errno;
  writeAll(execReportFd, &error, sizeof error);
  ::_exit(127);
}

// Waits up to `windowMs` for `pid` to end; fills `report`.
void watchEarly(pid_t pid, int windowMs, Report& report) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(windowMs);
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      report.ended = 1;
      report.exitCode = exitCodeOf(status);
      return;
    }
    ::usleep(10000);
  }
}

// In the go-between: starts the program, reports, and ends, leaving the program to init.
[[noreturn]] void goBetween(char* const* argv, int windowMs, int reportFd) {
  ::setsid();
  int execPipe[2];
  Report report{0, 0, 0};
  if (::pipe2(execPipe, O_CLOEXEC) != 0) {
    report.error = errno;
    writeAll(reportFd, &report, sizeof report);
    ::_exit(0);
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(execPipe[0]);
    execProgram(argv, execPipe[1]);
  }
  ::close(execPipe[1]);
  if (pid < 0) {
    report.error = errno;
  } else {
    std::int32_t error = 0;
    if (readAll(execPipe[0], &error, sizeof error)) {
      report.error = error;
      ::waitpid(pid, nullptr, 0);
    } else if (windowMs > 0) {
      watchEarly(pid, windowMs, report);
    }
  }
  writeAll(reportFd, &report, sizeof report);
  ::_exit(0);
}

}  // namespace

DetachedStart startDetached(const std::vector<std::string>& argv, int earlyWindowMs) {
  DetachedStart result;
  if (argv.empty()) {
    result.error = EINVAL;
    return result;
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  int reportPipe[2];
  if (::pipe2(reportPipe, O_CLOEXEC) != 0) {
    result.error = errno;
    return result;
  }
  FileDescriptor readEnd(reportPipe[0]);
  FileDescriptor writeEnd(reportPipe[1]);
  const pid_t goBetweenPid = ::fork();
  if (goBetweenPid == 0) goBetween(args.data(), earlyWindowMs, writeEnd.get());
  writeEnd = FileDescriptor();
  if (goBetweenPid < 0) {
    result.error = errno;
    return result;
  }
  Report report{EIO, 0, 0};
  readAll(readEnd.get(), &report, sizeof report);
  while (::waitpid(goBetweenPid, nullptr, 0) < 0 && errno == EINTR) {
  }
  result.started = report.error == 0;
  result.error = report.error;
  if (report.ended) result.exitCode = report.exitCode;
  return result;
}

}  // namespace platform
