#include "platform/src/terminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iterator>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end for the handler, -1 while no object lives.
std::atomic<int> notifyFd{-1};

void noteSignal(int number) {
  const int savedErrno = errno;
  const int fd = notifyFd.load();
  if (fd < 0) {
    // Left in place by objects destroyed out of order: the signal takes its default action.
    ::signal(number, SIG_DFL);
    ::raise(number);
  }
  const auto byte = static_cast<unsigned char>(number);
  // A full pipe already says that a signal came.
  if (fd >= 0) (void)!::write(fd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readEnd_ = FileDescriptor(ends[0]);
  writeEnd_ = FileDescriptor(ends[1]);
  notifyFd.store(writeEnd_.get());
  struct sigaction action {};
  action.sa_handler = noteSignal;
  action.sa_flags = SA_RESTART;
  ::sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    // An ignored signal stays ignored, as under nohup or in a shell's background job.
    if (::sigaction(kSignals[i], nullptr, &previous_[i]) == 0 &&
        (previous_[i].sa_handler == SIG_IGN || ::sigaction(kSignals[i], &action, nullptr) == 0)) {
      continue;
    }
    while (i-- > 0) ::sigaction(kSignals[i], &previous_[i], nullptr);
    notifyFd.store(-1);
    readEnd_.reset();
    writeEnd_.reset();
    return;
  }
}

TerminationSignals::~TerminationSignals() {
  if (!readEnd_.valid()) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &previous_[i], nullptr);
  }
  notifyFd.store(-1);
}

int TerminationSignals::take() {
  int last = 0;
  unsigned char bytes[16];
  for (ssize_t got; (got = ::read(readEnd_.get(), bytes, sizeof bytes)) > 0;) {
    last = bytes[got - 1];
  }
  return last;
}

}  // namespace platform
