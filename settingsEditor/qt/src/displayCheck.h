#pragma once
// Whether a window can be shown at all, asked before the toolkit starts: without a display
// Qt would end the process with a message of its own.

namespace settingsEditor::qt {

// True when DISPLAY or WAYLAND_DISPLAY is set and not empty, or when QT_QPA_PLATFORM names
// a platform (offscreen, vnc...) that needs neither.
bool hasDisplay();

}  // namespace settingsEditor::qt
