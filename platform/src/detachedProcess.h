#pragma once
// Programs started to run on their own: a viewer, the desktop's opener. The program runs in a
// session of its own with /dev/null as its standard streams, is never killed or waited on
// beyond the early window asked for, and never becomes this process's zombie.
//
//     DetachedStart s = startDetached({"xdg-open", "/tmp/tarvo4.xml"}, 1000);
//     if (!s.started) ...                  // s.error: why it could not be started
//     else if (s.exitCode && *s.exitCode)  // it ended within the window and failed

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct DetachedStart {
  // False when the program could not be started (not found, not executable, no process
  // left); `error` holds the errno value then.
  bool started = false;
  int error = 0;
  // The exit code when the program ended within the early window (128 + n when signal n
  // ended it); none when it runs on or the window was 0.
  std::optional<int> exitCode;
};

// Starts argv[0] (looked up on PATH when it holds no '/') with `argv`, without a shell, and
// returns after it has been executed or failed to, plus at most `earlyWindowMs` while
// waiting for it to end. Any thread may call.
DetachedStart startDetached(const std::vector<std::string>& argv, int earlyWindowMs);

}  // namespace platform
