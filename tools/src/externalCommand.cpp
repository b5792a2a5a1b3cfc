#include "tools/src/externalCommand.h"

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
  switch (child.wait(timeoutMs, abortEvent, cancelEvent)) {
    case platform::ChildProcess::WaitResult::Exited:
      return child.exitCode();
    case platform::ChildProcess::WaitResult::Aborted:
      return 0;
    case platform::ChildProcess::WaitResult::Stopped:
      child.killAll();
      throw misc::wruntime_error(internal::istring(kCancelled).format(displayName()));
    case platform::ChildProcess::WaitResult::TimedOut:
      break;
  }
  child.killAll();
  throw misc::wruntime_error(internal::istring(kTimedOut).format(displayName()));
}

}  // namespace tools
