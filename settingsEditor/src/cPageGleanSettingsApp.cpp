#include "settingsEditor/src/cPageGleanSettingsApp.h"

#include "config/src/overlayFile.h"
#include "i18n/src/istringGuards.h"
#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/messageBox.h"
#include "platform/src/xdgDirectories.h"
#include "settingsEditor/src/istring.h"
#include "win32tools/src/themeManager.h"

namespace settingsEditor {

std::wstring appDir;
config::IniFileStore* appConfig = nullptr;

std::wstring programName() {
  std::wstring name;
  tools::splitPath(tools::getModulePath(), nullptr, nullptr, &name, nullptr);
  return name;
}

std::vector<std::wstring> configurationFiles(const std::wstring& modulePath) {
  std::wstring name;
  tools::splitPath(modulePath, nullptr, nullptr, &name, nullptr);
  const std::wstring below = L"/pagegleansettings/" + name + L".ini";
  std::vector<std::wstring> files{tools::changeExtension(modulePath, L".ini")};
  const std::vector<std::string> systemDirs = platform::configDirs();
  for (auto dir = systemDirs.rbegin(); dir != systemDirs.rend(); ++dir) {
    files.push_back(misc::fromUtf8(*dir) + below);
  }
  files.push_back(misc::fromUtf8(platform::configHome()) + below);
  return files;
}

bool CPageGleanSettingsApp::initInstance(const std::function<void()>& runDialog) {
  // The module's name string doubles as its guard: a string table without it is caught here.
  i18n::registerIstringGuard(internal::stringChain(), 14000);
  i18n::checkIstringGuards();

  const std::wstring modulePath = tools::getModulePath();
  appDir = tools::getDirectory(modulePath);
  // Lives for the process, like the strings that may be read during static destruction.
  if (appConfig == nullptr) {
    appConfig = new config::IniFileStore(nullptr, config::IniFileStore::useDefaultFlags);
  }
  const std::vector<std::wstring> files = configurationFiles(modulePath);
  appConfig->loadFile(files.front());
  for (auto file = files.begin() + 1; file != files.end(); ++file) {
    config::overlayFile(*appConfig, *file);
  }

  win32tools::ThemeManager::instance().load(L"");
  runDialog();
  return false;
}

int CPageGleanSettingsApp::run(const std::function<void()>& runDialog) {
  try {
    initInstance(runDialog);
    return 0;
  } catch (const std::exception& e) {
    platform::messageBox(programName(), misc::exceptionText(e), platform::MessageButtons::Ok,
                         platform::MessageIcon::Error);
    return 1;
  }
}

}  // namespace settingsEditor
