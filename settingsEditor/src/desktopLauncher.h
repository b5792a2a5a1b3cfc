#pragma once
// How the dialog hands things to the desktop: a viewer command started on its own, and the
// desktop's opener for a file or URL. Neither is ever waited on beyond a quick failure.

#include <string>
#include <vector>

namespace settingsEditor {

class DesktopLauncher {
 public:
  virtual ~DesktopLauncher() = default;

  // Starts the program args[0] with `args`, without a shell. False when it cannot be started.
  virtual bool startDetached(const std::vector<std::wstring>& args) = 0;
  // Opens `target` (a path or URL, as it stands) with the desktop's opener; the dialog calls
  // it from a thread of its own, never two at once. Returns 32 or
  // more when the opener took it, else a code below 32:
  //   2  the opener said the file does not exist or the text is not one it takes (exit 1, 2)
  //   3  the opener itself cannot be started
  //   31 no application takes it, or opening failed (exit 3, 4, or any other failure)
  virtual int openWithShell(const std::wstring& target) = 0;
};

// The desktop's own: `opener` (xdg-open unless a test says otherwise) for openWithShell.
class SystemDesktopLauncher : public DesktopLauncher {
 public:
  explicit SystemDesktopLauncher(std::wstring opener = L"xdg-open") : opener_(std::move(opener)) {}

  bool startDetached(const std::vector<std::wstring>& args) override;
  // Waits up to a second for the opener to fail; an opener still running then counts as a
  // success.
  int openWithShell(const std::wstring& target) override;

 private:
  std::wstring opener_;
};

// A SystemDesktopLauncher that lives for the process.
DesktopLauncher& defaultDesktopLauncher();

}  // namespace settingsEditor
