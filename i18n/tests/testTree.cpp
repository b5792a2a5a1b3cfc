#include "i18n/tests/testTree.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

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

// The module chains of the test program see no user registry and no language files: the
// program seems to live in an empty temporary directory.
class IsolatedProcess : public testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::make_unique<testSupport::ScratchDir>("i18nTest");
    ::setenv("XDG_CONFIG_HOME", dir_->file("config").c_str(), 1);
    internal::setProgramPathForTesting(dir_->wfile("prog"));
  }
  void TearDown() override { dir_.reset(); }

 private:
  std::unique_ptr<testSupport::ScratchDir> dir_;
};

[[maybe_unused]] testing::Environment* const isolated =
    testing::AddGlobalTestEnvironment(new IsolatedProcess);

}  // namespace

TestTree::TestTree() {
  std::filesystem::create_directories(binDir());
  oldProgramPath_ = internal::programPath();
  internal::setProgramPathForTesting(wide(binDir() / "PageGleanSettings"));
  forgetProcessState();
}

TestTree::~TestTree() {
  internal::setProgramPathForTesting(oldProgramPath_);
  forgetProcessState();
}

std::wstring TestTree::wide(const std::filesystem::path& path) const {
  return misc::fromUtf8(path.string());
}

void TestTree::write(const std::filesystem::path& relative, const std::string& content) const {
  dir_.write(relative.string(), content);
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
