#include "tools/src/externalCommand.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/childProcess.h"
#include "platform/src/fileDescriptor.h"
#include "platform/src/thread.h"
#include "tools/src/commandLine.h"
#include "tools/src/istring.h"
#include "tools/src/tempFile.h"
#include "win32tools/src/errorText.h"

namespace tools {
namespace {

constexpr int kCannotOpenStdout = 11101;
constexpr int kCannotOpenStderr = 11102;
constexpr int kCannotRun = 11103;
constexpr int kTimedOut = 11104;
constexpr int kDefaultName = 11105;
constexpr int kCancelled = 11190;
// How often a wait looks at the cancel event.
constexpr long kCancelPollMs = 50;

// An absent path gives an invalid descriptor, which the child sees as /dev/null.
platform::FileDescriptor openOutput(const std::optional<std::wstring>& path, int messageId) {
  if (!path) return {};
  platform::FileDescriptor fd = TempFile::openForWriting(*path);
  if (!fd.valid()) throw misc::wruntime_error(internal::istring(messageId));
  return fd;
}

std::vector<std::string> narrowArguments(const std::vector<std::wstring>& args) {
  std::vector<std::string> narrow;
  narrow.reserve(args.size());
  for (const std::wstring& arg : args) narrow.push_back(misc::toAnsi(arg));
  return narrow;
}

// As child.wait(); a set `cancel` ends the wait as the time limit does.
platform::ChildProcess::WaitResult waitFor(platform::ChildProcess& child, long timeoutMs,
                                           platform::Event* abortEvent, platform::Event* cancel) {
  using WaitResult = platform::ChildProcess::WaitResult;
  if (cancel == nullptr) return child.wait(timeoutMs, abortEvent);
  const auto start = std::chrono::steady_clock::now();
  const auto elapsedMs = [&start] {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
  };
  for (;;) {
    const long slice =
        timeoutMs < 0 ? kCancelPollMs : std::clamp(timeoutMs - elapsedMs(), 0L, kCancelPollMs);
    const WaitResult result = child.wait(slice, abortEvent);
    if (result != WaitResult::TimedOut || cancel->isSet()) return result;
    if (timeoutMs >= 0 && elapsedMs() >= timeoutMs) return result;
  }
}

}  // namespace

std::wstring ExternalCommand::displayName() const {
  if (!name_.empty()) return name_;
  static const std::wstring defaultName = internal::istring(kDefaultName);
  return defaultName;
}

std::int32_t ExternalCommand::run(const std::optional<std::wstring>& stdoutPath,
                                  const std::optional<std::wstring>& stderrPath,
                                  platform::Event* abortEvent) {
  platform::FileDescriptor out = openOutput(stdoutPath, kCannotOpenStdout);
  platform::FileDescriptor err = openOutput(stderrPath, kCannotOpenStderr);

  std::vector<std::wstring> args;
  std::wstring reason;
  if (!splitCommandLine(commandLine_, args, reason)) {
    throw misc::wruntime_error(internal::istring(kCannotRun).format(displayName(), reason));
  }
  platform::ChildProcess child;
  if (!child.start(narrowArguments(args), out.get(), err.get(), misc::toAnsi(workingDirectory))) {
    reason = win32tools::lastErrorText();
    throw misc::wruntime_error(internal::istring(kCannotRun).format(displayName(), reason));
  }
  // Only the child holds the files from here on.
  out.reset();
  err.reset();

  const long timeoutMs = timeout_ < 0 ? -1 : static_cast<long>(timeout_) * 1000;
  switch (waitFor(child, timeoutMs, abortEvent, cancelEvent)) {
    case platform::ChildProcess::WaitResult::Exited:
      return child.exitCode();
    case platform::ChildProcess::WaitResult::Aborted:
      return 0;
    case platform::ChildProcess::WaitResult::TimedOut:
      break;
  }
  child.killAll();
  const bool cancelled = cancelEvent != nullptr && cancelEvent->isSet();
  throw misc::wruntime_error(
      internal::istring(cancelled ? kCancelled : kTimedOut).format(displayName()));
}

}  // namespace tools
