#include "win32tools/src/themeManager.h"

namespace win32tools {

ThemeManager& ThemeManager::instance() {
  static ThemeManager manager;
  return manager;
}

void ThemeManager::load(const wchar_t*) {}

long ThemeManager::enableDialogTexture(const void*, bool) {
  return -1;
}

}  // namespace win32tools
