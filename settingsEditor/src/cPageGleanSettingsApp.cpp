#include "settingsEditor/src/cPageGleanSettingsApp.h"

#include "i18n/src/istringGuards.h"
#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/messageBox.h"
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
  appConfig->loadFile(tools::changeExtension(modulePath, L".ini"));

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
