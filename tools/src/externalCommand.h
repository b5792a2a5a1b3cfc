#pragma once
// Runs another program as a child process with its standard output and standard error in
// files, waits for it with an optional time limit and an optional abort event, and returns
// its exit code. Every failure throws misc::wruntime_error with a localised message that
// names the command by its display name ("plugin", say; "external command" by default).
//
//     ExternalCommand command;
//     command.setName(L"plugin");
//     command.setCommandLine(L"/opt/tool \"/tmp/tarvo7.ini\"");
//     command.setTimeout(60);
//     const int code = command.run(outFile.fileName(), errFile.fileName());
//
// The command line is split into arguments by POSIX quoting rules (see commandLine.h) and
// the program is started without a shell, looked up on PATH when its name holds no '/'. It
// reads /dev/null as its standard input and runs in a process group of its own; no
// descriptor of this process reaches it except the two output files.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {
class Event;
}

namespace tools {

class ExternalCommand {
 public:
  ExternalCommand() = default;
  virtual ~ExternalCommand() = default;

  // Starts the program and waits:
  // - the output files are created or truncated first (throws "Can't open stdout." or
  //   "Can't open stderr."); a stream without a path goes to /dev/null;
  // - an output path that is the fileName() of a live TempFile reaches the file created
  //   there, never what the name may lead to since; a name that was removed or swapped
  //   throws "The temporary file <path> was removed or replaced by another file." and
  //   nothing is written or started;
  // - a command line that cannot be split or a program that cannot be started throws
  //   "Can't run the <name>: <reason>";
  // - when the child ends, its exit code is returned: the status it exited with, or minus
  //   the number of the signal that ended it;
  // - when `abortEvent` is set first, 0 is returned and the child runs on by itself;
  // - when the time limit passes first, the child and every process descended from it are
  //   killed, whatever group or session they moved to and even when their own parents are
  //   gone; "The <name> timed out." is thrown once none of them runs or holds an output
  //   file any more. Descendants of a child that ended by itself run on;
  // - when cancelEvent is set first, the child and its descendants are killed as at the
  //   time limit, at once, and "The <name> was cancelled." is thrown;
  // - a child that kills the process keeping its tree (its parent) is still waited for and
  //   timed out; when it ends, the processes left in its group are killed and -1 is
  //   returned, its status being lost.
  virtual std::int32_t run(const std::optional<std::wstring>& stdoutPath = {},
                           const std::optional<std::wstring>& stderrPath = {},
                           platform::Event* abortEvent = nullptr);

  void setCommandLine(const std::wstring& commandLine) { commandLine_ = commandLine; }
  void setName(const std::wstring& name) { name_ = name; }
  // Seconds; negative waits without limit, 0 gives a child that has not ended at once none.
  void setTimeout(std::int32_t seconds) { timeout_ = seconds; }

  // The name, or "external command" (loaded once per process) when it is empty.
  std::wstring displayName() const;

  // No window exists on this platform; kept for callers that set it.
  bool showWindow = false;
  // The directory the child starts in; empty means ours.
  std::wstring workingDirectory;
  // Not owned; null: none. Set from any thread.
  platform::Event* cancelEvent = nullptr;

 private:
  std::wstring commandLine_;
  std::int32_t timeout_ = -1;
  std::wstring name_;
};

}  // namespace tools
