// PageGleanSettings: one modal run of the settings dialog.

#include <QApplication>

#include <string>
#include <vector>

#include "platform/src/messageBox.h"
#include "settingsEditor/qt/src/cPageGleanSettingsWindow.h"
#include "settingsEditor/qt/src/cQtMessageBoxes.h"
#include "settingsEditor/qt/src/displayCheck.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"

int main(int argc, char** argv) {
  using namespace settingsEditor;
  const qt::DisplayChoice display = qt::chooseDisplay();
  if (!display.failure.empty()) {
    // No handler is installed yet: the box is one line on standard error.
    platform::defaultMessageBox(programName(), display.failure);
    return 1;
  }
  // The platform whose display answered, so that Qt does not guess another one.
  std::string option = "-platform";
  std::string platform = display.platform;
  std::vector<char*> arguments(argv, argv + argc);
  if (!platform.empty() && argc > 0) {
    arguments.insert(arguments.begin() + 1, {option.data(), platform.data()});
  }
  int count = static_cast<int>(arguments.size());
  arguments.push_back(nullptr);
  QApplication application(count, arguments.data());
  const qt::CQtMessageBoxes messageBoxes;
  return CPageGleanSettingsApp().run([] {
    qt::CPageGleanSettingsWindow window;
    window.exec();
  });
}
