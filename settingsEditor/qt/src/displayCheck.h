#pragma once
// Which window system the toolkit starts on, decided before it starts: a toolkit that
// cannot connect ends the whole process with a message of its own, so the program asks
// first and says in one line what is wrong.

#include <string>

namespace settingsEditor::qt {

struct DisplayChoice {
  // The toolkit platform to start ("wayland" or "xcb"); empty when QT_QPA_PLATFORM already
  // chose one, or when there is no display at all (see `failure`).
  std::string platform;
  // Why no display can be used, one line; empty when the window can be shown.
  std::wstring failure;
};

// With QT_QPA_PLATFORM set, checks only the X or Wayland displays that its list names (any
// other platform, such as offscreen, is taken as it is). Otherwise tries the Wayland display
// of WAYLAND_DISPLAY and the X display of DISPLAY, Wayland first in a Wayland session
// (XDG_SESSION_TYPE), and chooses the first that answers. Wayland counts only when Qt's
// Wayland platform plug-in is installed. Connects to each display it tries. Call on the main
// thread before the application object exists.
DisplayChoice chooseDisplay();

}  // namespace settingsEditor::qt
