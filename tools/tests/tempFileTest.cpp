#include "tools/src/tempFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/wruntimeError.h"
#include "lib/misc/tests/thrownMessage.h"
#include "platform/src/replaceFile.h"
#include "platform/src/utf8.h"
#include "testSupport/src/scratchDir.h"
#include "tools/src/externalCommand.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

fs::path narrow(const std::wstring& path) {
  return platform::toUtf8(path);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Points TMP and TMPDIR at a fresh directory for one test and restores them afterwards.
class TempFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TMP", "TMPDIR"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("TMP", dir_.c_str(), 1);
    ::unsetenv("TMPDIR");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  testSupport::ScratchDir scratch_{"tempFile"};
  const fs::path dir_ = scratch_.root();
};

TEST_F(TempFileTest, CreatesAnEmptyPrivateFileThatTheDestructorRemoves) {
  fs::path path;
  {
    TempFile file(L".xml");
    path = narrow(file.fileName());
    EXPECT_EQ(path.parent_path(), dir_);
    EXPECT_EQ(path.filename().string().rfind("tarvo", 0), 0u);
    EXPECT_EQ(path.extension(), ".xml");
    EXPECT_FALSE(file.is_open());
    ASSERT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(TempFileTest, ExtensionIsOptionalAndGetsItsDot) {
  TempFile bare;
  EXPECT_EQ(narrow(bare.fileName()).extension(), "");
  TempFile dotless(L"ini");
  EXPECT_EQ(narrow(dotless.fileName()).extension(), ".ini");
}

TEST_F(TempFileTest, DestructorClosesAnOpenStreamAndRemovesTheFile) {
  fs::path path;
  {
    TempFile file(L".txt");
    path = narrow(file.fileName());
    file.open(path);
    file << "written through the stream";
    file.flush();
    EXPECT_EQ(readFile(path), "written through the stream");
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(TempFileTest, ExistingFilesAreNeverTouched) {
  auto first = std::make_unique<TempFile>(L".xml");
  const std::string firstName = narrow(first->fileName()).stem().string();
  const long number = std::stol(firstName.substr(5));
  // The names the following numbers would give, with and without the extension.
  std::vector<fs::path> planted;
  for (long n = number; n < number + 20; ++n) {
    for (const char* ext : {".xml", ""}) {
      planted.push_back(dir_ / ("tarvo" + std::to_string(n) + ext));
    }
  }
  first.reset();
  for (const fs::path& path : planted) std::ofstream(path) << "keep";

  std::vector<std::unique_ptr<TempFile>> files;
  for (int i = 0; i < 5; ++i) files.push_back(std::make_unique<TempFile>(L".xml"));
  for (const auto& file : files) {
    EXPECT_EQ(std::count(planted.begin(), planted.end(), narrow(file->fileName())), 0);
  }
  files.clear();
  for (const fs::path& path : planted) EXPECT_EQ(readFile(path), "keep") << path;
}

TEST_F(TempFileTest, NamesAreUniqueWithinAndAcrossProcesses) {
  TempFile seed;  // both processes continue from the same counter after the fork
  int toParent[2], toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  constexpr int kCount = 50;
  if (pid == 0) {
    std::string names;
    {
      std::vector<std::unique_ptr<TempFile>> files;
      for (int i = 0; i < kCount; ++i) {
        files.push_back(std::make_unique<TempFile>(L".tmp"));
        names += platform::toUtf8(files.back()->fileName()) + "\n";
      }
      (void)!::write(toParent[1], names.data(), names.size());
      ::close(toParent[1]);
      char done;
      (void)!::read(toChild[0], &done, 1);  // keep the files until the parent has its own
    }
    ::_exit(0);
  }
  ::close(toParent[1]);
  std::vector<std::unique_ptr<TempFile>> files;
  std::set<std::wstring> names;
  for (int i = 0; i < kCount; ++i) {
    files.push_back(std::make_unique<TempFile>(L".tmp"));
    names.insert(files.back()->fileName());
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kCount));

  std::string childNames;
  char buffer[4096];
  for (ssize_t n; (n = ::read(toParent[0], buffer, sizeof buffer)) > 0;) {
    childNames.append(buffer, static_cast<std::size_t>(n));
  }
  std::istringstream lines(childNames);
  int childCount = 0;
  for (std::string line; std::getline(lines, line); ++childCount) {
    EXPECT_EQ(names.count(platform::fromUtf8(line)), 0u) << line;
  }
  EXPECT_EQ(childCount, kCount);
  (void)!::write(toChild[1], "x", 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  for (int fd : {toParent[0], toChild[0], toChild[1]}) ::close(fd);
}

TEST_F(TempFileTest, DirectoryComesFromTmpThenTmpdirThenTmp) {
  const fs::path other = dir_ / "other dir";
  fs::create_directories(other);

  ::setenv("TMP", ("\"" + other.string() + "\"").c_str(), 1);
  EXPECT_EQ(narrow(TempFile().fileName()).parent_path(), other);

  ::setenv("TMP", (dir_ / "missing").c_str(), 1);
  ::setenv("TMPDIR", other.c_str(), 1);
  EXPECT_EQ(narrow(TempFile().fileName()).parent_path(), other);

  ::unsetenv("TMP");
  ::setenv("TMPDIR", (dir_ / "missing").c_str(), 1);
  EXPECT_EQ(narrow(TempFile().fileName()).parent_path(), "/tmp");
}

TEST_F(TempFileTest, RelativeDirectoryGivesAFullPathThatOutlivesAChangeOfDirectory) {
  const fs::path previous = fs::current_path();
  fs::create_directories(dir_ / "sub");
  fs::current_path(dir_);
  ::setenv("TMP", "sub", 1);
  auto file = std::make_unique<TempFile>(L".txt");
  fs::current_path(previous);

  const fs::path path = narrow(file->fileName());
  EXPECT_TRUE(path.is_absolute()) << path;
  EXPECT_TRUE(fs::equivalent(path.parent_path(), dir_ / "sub")) << path;
  file.reset();
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(TempFileTest, ANameSwappedForALinkNeverLeadsAWriteToTheLinkTarget) {
  // Where TMP is shared without the sticky bit, anyone may swap a name for a link.
  const fs::path target = dir_ / "precious";
  auto file = std::make_unique<TempFile>(L".txt");
  const fs::path path = narrow(file->fileName());
  fs::remove(path);
  fs::create_symlink(target, path);
  const std::wstring replaced =
      L"The temporary file " + file->fileName() + L" was removed or replaced by another file.";
  ExternalCommand command;
  command.setCommandLine(L"'" + platform::fromUtf8(PG_TEST_CHILD) + L"' out overwritten");

  const std::vector<std::pair<const char*, std::function<void()>>> writers = {
      {"stream",
       [&] {
         file->open(path);
         *file << "overwritten";
         file->close();
       }},
      {"child", [&] { command.run(file->fileName(), file->fileName()); }},
      {"replacement",
       [&] {
         const auto result = platform::replaceFile(path, "overwritten");
         if (!result.ok()) throw misc::wruntime_error(replaced);
       }},
  };
  for (const auto& [name, write] : writers) {
    SCOPED_TRACE(name);
    std::ofstream(target) << "keep";
    EXPECT_EQ(misc::test::thrownMessage(write), replaced);
    EXPECT_FALSE(file->is_open());
    EXPECT_EQ(readFile(target), "keep");
  }
  file.reset();  // removes nothing that is not its own
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(readFile(target), "keep");

  // A name left alone is written, from its start, by all three; a replacement stays the
  // file's own, to be written and removed again.
  auto intact = std::make_unique<TempFile>(L".txt");
  const fs::path intactPath = narrow(intact->fileName());
  intact->open(intactPath);
  *intact << "a longer text first";
  intact->close();
  command.run(intact->fileName());
  EXPECT_EQ(readFile(intactPath), "overwritten");
  ASSERT_TRUE(platform::replaceFile(intactPath, "replaced").ok());
  EXPECT_EQ(readFile(intactPath), "replaced");
  command.run(intact->fileName());
  EXPECT_EQ(readFile(intactPath), "overwritten");
  intact.reset();
  EXPECT_FALSE(fs::exists(intactPath));
}

TEST_F(TempFileTest, UnusableDirectoryThrows) {
  // Nobody, not even root, can create files in /proc.
  ::setenv("TMP", "/proc", 1);
  EXPECT_EQ(misc::test::thrownMessage([] { TempFile file(L".txt"); }),
            L"Can't create temporary file.");
}

}  // namespace
}  // namespace tools
