#include "settingsEditor/qt/src/displayCheck.h"

#include "platform/src/environment.h"

namespace settingsEditor::qt {

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const auto value = platform::environmentVariable(name);
    if (value && !value->empty()) return true;
  }
  return false;
}

}  // namespace settingsEditor::qt
