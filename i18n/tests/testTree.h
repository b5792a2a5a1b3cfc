#pragma once
// A temporary program tree for end-to-end tests of the string machinery:
//   <root>/app/bin/PageGleanSettings   the program the chains take as theirs (no real file)
//   <root>/config/tarvo/registry.ini   the registry, with XDG_CONFIG_HOME = <root>/config
// The language id and the alert decision are forgotten on entry and exit, so each test
// reads its own registry.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/src/messageBox.h"
#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"

namespace i18n::test {

class TestTree {
 public:
  TestTree();
  ~TestTree();
  TestTree(const TestTree&) = delete;
  TestTree& operator=(const TestTree&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path binDir() const { return root_ / "app" / "bin"; }
  std::wstring wide(const std::filesystem::path& path) const;

  // Writes `content` to root/relative, creating directories.
  void write(const std::filesystem::path& relative, const std::string& content) const;
  // Copies a built sample pack to root/relative.
  void copyPack(const char* builtPack, const std::filesystem::path& relative) const;
  void setRegistry(const std::string& content) const;

  // A LANG file: the type line, then "key=value" lines in section Strings.
  static std::string langFile(const std::vector<std::string>& strings,
                              const std::string& type = "Tarvo LANG file");

 private:
  testSupport::ScratchDir dir_{"i18nTest"};
  std::filesystem::path root_ = dir_.root();
  testSupport::ScopedVariable configHome_{"XDG_CONFIG_HOME", (root_ / "config").string()};
  std::wstring oldProgramPath_;
};

// Records message boxes while alive.
class MessageBoxRecorder {
 public:
  struct Box {
    std::wstring caption;
    std::wstring text;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
  };
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  const std::vector<Box>& boxes() const { return boxes_; }

 private:
  std::vector<Box> boxes_;
  platform::MessageBoxHandler previous_;
};

}  // namespace i18n::test
