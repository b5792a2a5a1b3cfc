#include "settingsEditor/src/desktopLauncher.h"

#include "lib/misc/src/textConversion.h"
#include "platform/src/detachedProcess.h"

namespace settingsEditor {

namespace {

constexpr int kOpenerWindowMs = 1000;
constexpr int kOpened = 33;

std::vector<std::string> narrow(const std::vector<std::wstring>& args) {
  std::vector<std::string> result;
  for (const std::wstring& arg : args) result.push_back(misc::toUtf8(arg));
  return result;
}

}  // namespace

bool SystemDesktopLauncher::startDetached(const std::vector<std::wstring>& args) {
  return platform::startDetached(narrow(args), 0).started;
}

int SystemDesktopLauncher::openWithShell(const std::wstring& target) {
  // The opener takes no "--": a text that looks like an option is named as a relative path.
  const std::wstring argument = target.starts_with(L"-") ? L"./" + target : target;
  const platform::DetachedStart start =
      platform::startDetached(narrow({opener_, argument}), kOpenerWindowMs);
  if (!start.started) return 3;
  if (!start.exitCode || *start.exitCode == 0) return kOpened;
  return *start.exitCode == 1 || *start.exitCode == 2 ? 2 : 31;
}

DesktopLauncher& defaultDesktopLauncher() {
  static SystemDesktopLauncher launcher;
  return launcher;
}

}  // namespace settingsEditor
