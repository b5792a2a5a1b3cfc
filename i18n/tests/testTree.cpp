#include "i18n/tests/testTree.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "i18n/src/istringAlert.h"
#include "i18n/src/langId.h"
#include "i18n/src/pathText.h"
#include "lib/misc/src/textConversion.h"

namespace i18n::test {
namespace {

void forgetProcessState() {
  resetLangIdForTesting();
  resetIstringAlertDecisionForTesting();
}

std::filesystem::path makeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "i18nTestXXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

// The module chains of the test program see no user registry and no language files: the
// program seems to live in an empty temporary directory.
class IsolatedProcess : public testing::Environment {
 public:
  void SetUp() override {
    dir_ = makeTempDir();
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    internal::setProgramPathForTesting(misc::fromUtf8((dir_ / "prog").string()));
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

 private:
  std::filesystem::path dir_;
};

[[maybe_unused]] testing::Environment* const isolated =
    testing::AddGlobalTestEnvironment(new IsolatedProcess);

}  // namespace

TestTree::TestTree() : root_(makeTempDir()) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  hadConfigHome_ = old != nullptr;
  if (old) oldConfigHome_ = old;
  ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  std::filesystem::create_directories(binDir());
  oldProgramPath_ = internal::programPath();
  internal::setProgramPathForTesting(wide(binDir() / "PageGleanSettings"));
  forgetProcessState();
}

TestTree::~TestTree() {
  if (hadConfigHome_) {
    ::setenv("XDG_CONFIG_HOME", oldConfigHome_.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
  internal::setProgramPathForTesting(oldProgramPath_);
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
  forgetProcessState();
}

std::wstring TestTree::wide(const std::filesystem::path& path) const {
  return misc::fromUtf8(path.string());
}

void TestTree::write(const std::filesystem::path& relative, const std::string& content) const {
  const auto path = root_ / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

void TestTree::copyPack(const char* builtPack, const std::filesystem::path& relative) const {
  const auto path = root_ / relative;
  std::filesystem::create_directories(path.parent_path());
  std::filesystem::copy_file(builtPack, path, std::filesystem::copy_options::overwrite_existing);
}

void TestTree::setRegistry(const std::string& content) const {
  write("config/tarvo/registry.ini", content);
}

std::string TestTree::langFile(const std::vector<std::string>& strings, const std::string& type) {
  std::string text = "[Config]\nType=" + type + "\n\n[Strings]\n";
  for (const std::string& line : strings) text += line + "\n";
  return text;
}

MessageBoxRecorder::MessageBoxRecorder() {
  previous_ = platform::setMessageBoxHandler(
      [this](const std::wstring& caption, const std::wstring& text,
             platform::MessageButtons buttons, platform::MessageIcon icon) {
        boxes_.push_back({caption, text, buttons, icon});
        return platform::MessageAnswer::Ok;
      });
}

MessageBoxRecorder::~MessageBoxRecorder() {
  platform::setMessageBoxHandler(previous_);
}

}  // namespace i18n::test
