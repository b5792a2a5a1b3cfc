#pragma once
// Dialog theming: the tab-page background texture of a dialog. No theming library exists
// here, so every call is a harmless no-op that reports "not applied". Call from the
// window's thread.

namespace win32tools {

class ThemeManager {
 public:
  // The one instance, created on first use and destroyed at process exit.
  static ThemeManager& instance();

  // Looks for the theming library (empty path: the default one) and forgets any found
  // before. Finding none is not an error.
  void load(const wchar_t* dllPath);
  // Applies (or removes) the texture to `window`. Returns -1 when there is no theming
  // library or `window` is null, and then does nothing.
  long enableDialogTexture(const void* window, bool enable);

 private:
  ThemeManager() = default;
};

}  // namespace win32tools
