#include "tools/src/externalCommand.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

#include "lib/misc/src/wruntimeError.h"
#include "lib/misc/tests/thrownMessage.h"
#include "platform/src/event.h"
#include "platform/src/systemError.h"
#include "platform/src/utf8.h"
#include "testSupport/src/scratchDir.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::wstring wide(const fs::path& path) {
  return platform::fromUtf8(path.string());
}

// Polls for something another process does; gives up after ten seconds.
template <class Condition>
bool eventually(Condition condition) {
  for (int i = 0; i < 1000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

bool processAlive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidField, name, state;
  return stat >> pidField >> name >> state && state != "Z";
}

class ExternalCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = wide(dir_ / "out.txt");
    err_ = wide(dir_ / "err.txt");
  }

  // A command line that runs the test child with `actions`.
  static std::wstring child(const std::wstring& actions) {
    return L"'" + platform::fromUtf8(PG_TEST_CHILD) + L"' " + actions;
  }

  // The message of the failure of a run, or "<no exception>" when the run succeeds.
  std::wstring failure(platform::Event* abort = nullptr) {
    return misc::test::thrownMessage([&] { command_.run(out_, err_, abort); });
  }

  std::string out() const { return readFile(platform::toUtf8(out_)); }
  std::string err() const { return readFile(platform::toUtf8(err_)); }

  testSupport::ScratchDir scratch_{"externalCommand"};
  const fs::path dir_ = scratch_.root();
  std::wstring out_, err_;
  ExternalCommand command_;
};

TEST_F(ExternalCommandTest, CapturesBothStreamsAndReturnsTheExitCode) {
  command_.setCommandLine(child(L"out 'to stdout' err 'to stderr' exit 7"));
  EXPECT_EQ(command_.run(out_, err_), 7);
  EXPECT_EQ(out(), "to stdout");
  EXPECT_EQ(err(), "to stderr");

  command_.setCommandLine(child(L"err only"));
  EXPECT_EQ(command_.run(out_, err_), 0);
  EXPECT_EQ(out(), "");
  EXPECT_EQ(err(), "only");
}

TEST_F(ExternalCommandTest, SecondRunTruncatesBothFiles) {
  command_.setCommandLine(child(L"out 'a long first output' err 'a long first error'"));
  command_.run(out_, err_);
  command_.setCommandLine(child(L"out x"));
  command_.run(out_, err_);
  EXPECT_EQ(out(), "x");
  EXPECT_EQ(err(), "");
}

TEST_F(ExternalCommandTest, ChildKilledBySignalReturnsMinusTheSignal) {
  command_.setCommandLine(child(L"out before raise 15 out after"));
  EXPECT_EQ(command_.run(out_, err_), -SIGTERM);
  EXPECT_EQ(out(), "before");
}

TEST_F(ExternalCommandTest, ArgumentsWithBlanksAndQuotesArriveIntact) {
  command_.setCommandLine(
      child(L"args 'a b' \"c \\\"d\\\" e\" f\\ g '' \"$HOME\" 'it'\"'\"'s' \u00fc\\\\"));
  EXPECT_EQ(command_.run(out_, err_), 0);
  EXPECT_EQ(out(), "[a b]\n[c \"d\" e]\n[f g]\n[]\n[$HOME]\n[it's]\n[\xc3\xbc\\]\n");
}

TEST_F(ExternalCommandTest, ChildGetsOnlyItsStreamsAnEmptyInputAndItsOwnGroup) {
  // Descriptors without close-on-exec are exactly what a careless library leaves behind.
  const int stray = ::open("/dev/null", O_RDONLY);
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  command_.workingDirectory = wide(dir_);
  command_.setCommandLine(child(L"report"));
  EXPECT_EQ(command_.run(out_, err_), 0);
  EXPECT_EQ(out(), "fds=0,1,2 stdin=eof leader=yes cwd=" + fs::canonical(dir_).string() + "\n");

  // Without paths the streams still exist (on /dev/null) and nothing else leaks.
  command_.setCommandLine(child(L"report err 'goes nowhere'"));
  EXPECT_EQ(command_.run(), 0);
  EXPECT_EQ(command_.run(std::nullopt, err_), 0);
  EXPECT_EQ(err(), "goes nowhere");
  EXPECT_EQ(command_.run(out_, std::nullopt), 0);
  EXPECT_EQ(out().substr(0, 15), "fds=0,1,2 stdin");
  for (int fd : {stray, pipeEnds[0], pipeEnds[1]}) ::close(fd);
}

TEST_F(ExternalCommandTest, TimeLimitZeroEndsAtOnce) {
  command_.setName(L"plugin");
  command_.setTimeout(0);
  command_.setCommandLine(child(L"sleep 20000"));
  EXPECT_EQ(failure(), L"The plugin timed out.");
}

// The processes that have `path` open, whoever their parents are.
std::vector<pid_t> holdersOf(const fs::path& path) {
  struct stat file {};
  if (::stat(path.c_str(), &file) != 0) return {};
  std::vector<pid_t> holders;
  std::error_code error;
  for (const auto& process : fs::directory_iterator("/proc", error)) {
    const std::string name = process.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    for (const auto& fd : fs::directory_iterator(process.path() / "fd", error)) {
      struct stat open {};
      if (::stat(fd.path().c_str(), &open) == 0 && open.st_dev == file.st_dev &&
          open.st_ino == file.st_ino) {
        holders.push_back(std::stoi(name));
        break;
      }
    }
  }
  return holders;
}

TEST_F(ExternalCommandTest, TimeOutKillsTheChildAndItsChildren) {
  // However a descendant regrouped, and even when its parent is gone, the time-out ends it
  // and with it the last writer of the output file.
  for (const std::wstring how : {L"grandchild", L"setpgid", L"setsid"}) {
    SCOPED_TRACE(platform::toUtf8(how));
    const fs::path pidFile = dir_ / (platform::toUtf8(how) + ".pid");
    command_.setTimeout(1);
    command_.setCommandLine(
        child(L"out started " + how + L" '" + wide(pidFile) + L"' sleep 30000 out late"));
    EXPECT_EQ(failure(), L"The external command timed out.");
    EXPECT_EQ(out(), "started");

    pid_t descendant = 0;
    ASSERT_TRUE(std::ifstream(pidFile) >> descendant) << "the child was too slow to start";
    const bool alive = processAlive(descendant);
    EXPECT_FALSE(alive);
    EXPECT_EQ(holdersOf(platform::toUtf8(out_)), std::vector<pid_t>());
    if (alive) ::kill(descendant, SIGKILL);
  }
}

TEST_F(ExternalCommandTest, NegativeTimeLimitWaitsForTheEnd) {
  command_.setTimeout(-1);
  command_.setCommandLine(child(L"sleep 1500 out done exit 3"));
  EXPECT_EQ(command_.run(out_, err_), 3);
  EXPECT_EQ(out(), "done");
}

TEST_F(ExternalCommandTest, AbortReturnsZeroAndLeavesTheChildRunning) {
  platform::Event abort(platform::Event::Reset::Manual);
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    abort.set();
  });
  command_.setTimeout(-1);
  command_.setCommandLine(child(L"pid sleep 20000 exit 5"));
  EXPECT_EQ(command_.run(out_, err_, &abort), 0);
  setter.join();

  ASSERT_TRUE(eventually([&] { return out().find('\n') != std::string::npos; }));
  const pid_t pid = std::stoi(out());
  EXPECT_TRUE(processAlive(pid));
  ::kill(pid, SIGKILL);
  // The runner still collects the released child: no zombie stays behind.
  EXPECT_TRUE(eventually([&] { return !fs::exists("/proc/" + std::to_string(pid)); }));
}

TEST_F(ExternalCommandTest, ProgramThatCannotStartNamesTheCommand) {
  const std::wstring notFound = platform::systemErrorText(ENOENT);
  std::ofstream(platform::toUtf8(out_)) << "old";
  command_.setCommandLine(wide(dir_ / "missing program") + L" arg");
  EXPECT_EQ(failure(), L"Can't run the external command: " + notFound);
  EXPECT_EQ(out(), "");
  EXPECT_TRUE(fs::exists(platform::toUtf8(err_)));

  command_.setName(L"plugin");
  command_.setCommandLine(L"no-such-program-on-the-path \"/tmp/x.ini\"");
  EXPECT_EQ(failure(), L"Can't run the plugin: " + notFound);

  command_.setCommandLine(L"'" + wide(dir_) + L"'");
  EXPECT_EQ(failure(), L"Can't run the plugin: " + platform::systemErrorText(EACCES));

  command_.setCommandLine(child(L"out x"));
  command_.workingDirectory = wide(dir_ / "no such dir");
  EXPECT_EQ(failure(), L"Can't run the plugin: " + notFound);
}

TEST_F(ExternalCommandTest, BadCommandLinesAreReportedAsStartFailures) {
  command_.setName(L"plugin");
  command_.setCommandLine(L"  \t ");
  EXPECT_EQ(failure(), L"Can't run the plugin: The command line is empty.");
  command_.setCommandLine(child(L"out 'open"));
  EXPECT_EQ(failure(),
            L"Can't run the plugin: The command line has a quote without its closing quote.");
}

TEST_F(ExternalCommandTest, OutputFilesAreCheckedInOrder) {
  const std::wstring nowhere = wide(dir_ / "no dir" / "file");
  std::ofstream(platform::toUtf8(out_)) << "old";
  command_.setCommandLine(L"never started");
  EXPECT_EQ(misc::test::thrownMessage([&] { command_.run(nowhere, nowhere); }),
            L"Can't open stdout.");
  EXPECT_EQ(misc::test::thrownMessage([&] { command_.run(out_, nowhere); }), L"Can't open stderr.");
  EXPECT_EQ(out(), "");
}

std::size_t openDescriptorCount() {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

// The processes of group `group` that still run.
std::vector<pid_t> liveMembersOf(pid_t group) {
  std::vector<pid_t> members;
  std::error_code error;
  for (const auto& process : fs::directory_iterator("/proc", error)) {
    const std::string name = process.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(process.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // "pid (name) state ppid pgrp ...": the name may hold anything.
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    std::string state;
    pid_t parent = 0, processGroup = 0;
    if (fields >> state >> parent >> processGroup && processGroup == group && state != "Z") {
      members.push_back(std::stoi(name));
    }
  }
  return members;
}

TEST_F(ExternalCommandTest, AChildThatKillsItsKeeperIsStillEndedWithItsGroup) {
  struct Case {
    const char* name;
    const char* script;  // runs with the group's id in $$
    const wchar_t* failure;
    std::int32_t exitCode;
    std::chrono::milliseconds atLeast;  // the time limit, or the child's own end
  };
  // Each first gives its keeper time to report the start: a keeper killed before that
  // leaves the start failed and the child unwatched, which this does not cover.
  const Case cases[] = {
      {"hangs", "sleep 0.2; kill -9 $PPID; sleep 30", L"The external command timed out.", 0,
       std::chrono::milliseconds(1900)},
      // Its status went with the keeper; what it left in its group is ended still.
      {"ends", "sleep 0.2; kill -9 $PPID; sleep 0.3; exit 4", L"<no exception>", -1,
       std::chrono::milliseconds(250)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    command_.setTimeout(2);
    command_.setCommandLine(L"/bin/sh -c 'echo $$; sleep 30 & " + platform::fromUtf8(c.script) +
                            L"'");
    std::int32_t code = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(misc::test::thrownMessage([&] { code = command_.run(out_, err_); }), c.failure);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(code, c.exitCode);
    EXPECT_GT(took, c.atLeast);
    EXPECT_LT(took, std::chrono::seconds(4));

    const pid_t group = std::atoi(out().c_str());
    ASSERT_GT(group, 0);
    EXPECT_TRUE(eventually([&] { return liveMembersOf(group).empty(); }));
    for (const pid_t member : liveMembersOf(group)) ::kill(member, SIGKILL);
  }
}

TEST_F(ExternalCommandTest, NoDescriptorOutlivesARunOnAnyPath) {
  command_.setCommandLine(wide(dir_ / "missing"));
  failure();  // loads the messages, which may keep files of their own open
  const std::size_t before = openDescriptorCount();
  EXPECT_THROW(command_.run(out_, wide(dir_ / "no dir" / "err")), misc::wruntime_error);
  failure();
  command_.setCommandLine(child(L"out x"));
  command_.run(out_, err_);
  command_.setCommandLine(child(L"'unclosed"));
  failure();
  command_.setTimeout(0);
  command_.setCommandLine(child(L"sleep 20000"));
  failure();
  EXPECT_EQ(openDescriptorCount(), before);
}

}  // namespace
}  // namespace tools
