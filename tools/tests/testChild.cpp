// The child program of the command runner's tests. It performs its arguments as a list of
// actions, in order:
//   out TEXT | err TEXT   write TEXT to standard output / standard error
//   sleep MS              sleep MS milliseconds
//   exit CODE             exit with CODE
//   raise SIGNAL          end by SIGNAL
//   pid                   print this process's id and a newline
//   grandchild FILE       start a grandchild that sleeps for a minute; write its id to FILE
//   setpgid FILE          the same, but the grandchild first moves to a process group of
//                         its own
//   setsid FILE           the same, but the sleeper is a daemon: a grandchild leaves group
//                         and session (setsid), starts the sleeper and exits at once, so the
//                         sleeper is an orphan outside everything this process belongs to
//   report                print the open descriptors, whether standard input is at its
//                         end, whether this process leads its own group, and the directory
//   args ARG...           print every remaining argument as [ARG] on a line of its own
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) std::exit(90);
    done += static_cast<std::size_t>(n);
  }
}

std::string openDescriptors() {
  std::string list;
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return "?";
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == ::dirfd(dir)) continue;
    list += (list.empty() ? "" : ",") + std::string(entry->d_name);
  }
  ::closedir(dir);
  return list;
}

void report() {
  char byte;
  const bool atEnd = ::read(0, &byte, 1) == 0;
  char cwd[4096] = {};
  const char* where = ::getcwd(cwd, sizeof cwd);
  writeAll(1, "fds=" + openDescriptors() + " stdin=" + (atEnd ? "eof" : "data") +
                  " leader=" + (::getpgrp() == ::getpid() ? "yes" : "no") +
                  " cwd=" + (where ? where : "?") + "\n");
}

enum class Escape { None, Group, Session };

// Runs in the sleeper: its id is written under another name first so that a reader never
// sees half an id.
[[noreturn]] void sleepAMinute(const char* pidFile) {
  const std::string temp = std::string(pidFile) + ".part";
  std::ofstream(temp) << ::getpid() << "\n";
  std::rename(temp.c_str(), pidFile);
  ::sleep(60);
  ::_exit(0);
}

void startGrandchild(const char* pidFile, Escape escape) {
  const pid_t pid = ::fork();
  if (pid < 0) std::exit(92);
  if (pid == 0) {
    if (escape == Escape::Group && ::setpgid(0, 0) != 0) ::_exit(93);
    if (escape != Escape::Session) sleepAMinute(pidFile);
    if (::setsid() < 0) ::_exit(94);
    const pid_t sleeper = ::fork();
    if (sleeper == 0) sleepAMinute(pidFile);
    ::_exit(sleeper < 0 ? 92 : 0);
  }
  if (escape == Escape::Session) ::waitpid(pid, nullptr, 0);
  // The caller's next action must find the sleeper running.
  for (int i = 0; i < 1000 && ::access(pidFile, F_OK) != 0; ++i) ::usleep(10000);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string action = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "";
    if (action == "out" || action == "err") {
      writeAll(action == "out" ? 1 : 2, value);
      ++i;
    } else if (action == "sleep") {
      ::usleep(static_cast<useconds_t>(std::atol(value)) * 1000);
      ++i;
    } else if (action == "exit") {
      return std::atoi(value);
    } else if (action == "raise") {
      ::raise(std::atoi(value));
      ++i;
    } else if (action == "pid") {
      writeAll(1, std::to_string(::getpid()) + "\n");
    } else if (action == "grandchild" || action == "setpgid" || action == "setsid") {
      startGrandchild(value, action == "setpgid"  ? Escape::Group
                             : action == "setsid" ? Escape::Session
                                                  : Escape::None);
      ++i;
    } else if (action == "report") {
      report();
    } else if (action == "args") {
      for (++i; i < argc; ++i) writeAll(1, "[" + std::string(argv[i]) + "]\n");
    } else {
      return 99;
    }
  }
  return 0;
}
