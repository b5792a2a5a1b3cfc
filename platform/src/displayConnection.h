#pragma once
// Whether a window system answers at a display, asked before the toolkit connects to it:
// the toolkit ends the whole process when it cannot connect. Each check connects, and
// closes the connection before it returns; none waits for more than the system's connect.
// Any thread may call.

#include <string>

namespace platform {

// An X server at `display`, written as DISPLAY holds it ("[host]:number[.screen]"),
// accepts this user: the X client library (found at run time, as the toolkit finds it)
// connects with the user's authorisation. False when the library is missing.
bool x11DisplayAnswers(const std::string& display);

// A Wayland compositor listens at `display`, written as WAYLAND_DISPLAY holds it: a
// socket name under $XDG_RUNTIME_DIR, or an absolute path. False for an empty name.
bool waylandDisplayAnswers(const std::string& display);

}  // namespace platform
