// PageGleanSettings: one modal run of the settings dialog.

#include <QApplication>

#include "platform/src/messageBox.h"
#include "settingsEditor/qt/src/cPageGleanSettingsWindow.h"
#include "settingsEditor/qt/src/cQtMessageBoxes.h"
#include "settingsEditor/qt/src/displayCheck.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/istring.h"

int main(int argc, char** argv) {
  using namespace settingsEditor;
  if (!qt::hasDisplay()) {
    // No handler is installed yet: the box is one line on standard error.
    platform::defaultMessageBox(programName(), internal::istring(14040));
    return 1;
  }
  QApplication application(argc, argv);
  const qt::CQtMessageBoxes messageBoxes;
  return CPageGleanSettingsApp().run([] {
    qt::CPageGleanSettingsWindow window;
    window.exec();
  });
}
